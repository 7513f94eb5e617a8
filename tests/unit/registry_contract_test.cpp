// The registration seam's contract, run against the platform's own
// implementation: an in-process store natively, HKEY_CLASSES_ROOT under Wine.
#include <gtest/gtest.h>

#include "framework/server_registration.h"
#include "platform/registry.h"

namespace {

using platform::Registry;

const std::u16string kRoot = u"UlvexContractTest.Key";

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override { Registry().DeleteTree(kRoot); }
  void TearDown() override { Registry().DeleteTree(kRoot); }
};

TEST_F(RegistryContract, SetsReadsAndReplacesDefaultValues) {
  std::u16string value = u"sentinel";
  EXPECT_FALSE(Registry().GetDefaultValue(kRoot, &value));
  EXPECT_EQ(value, u"sentinel") << "a missing key leaves the output alone";
  ASSERT_TRUE(Registry().SetDefaultValue(kRoot + u"\\Child\\Grandchild", u"deep"));
  ASSERT_TRUE(Registry().GetDefaultValue(kRoot + u"\\Child\\Grandchild", &value));
  EXPECT_EQ(value, u"deep");
  ASSERT_TRUE(Registry().SetDefaultValue(kRoot + u"\\Child\\Grandchild", u"\"C:\\Program Files\\x.exe\""));
  ASSERT_TRUE(Registry().GetDefaultValue(kRoot + u"\\child\\GRANDCHILD", &value)) << "keys ignore letter case";
  EXPECT_EQ(value, u"\"C:\\Program Files\\x.exe\"");
}

TEST_F(RegistryContract, DeleteTreeRemovesTheKeyAndEverythingUnderIt) {
  ASSERT_TRUE(Registry().SetDefaultValue(kRoot, u"top"));
  ASSERT_TRUE(Registry().SetDefaultValue(kRoot + u"\\A\\B", u"deep"));
  ASSERT_TRUE(Registry().SetDefaultValue(kRoot + u"Sibling", u"kept"));
  EXPECT_TRUE(Registry().DeleteTree(kRoot));
  std::u16string value;
  EXPECT_FALSE(Registry().GetDefaultValue(kRoot, &value));
  EXPECT_FALSE(Registry().GetDefaultValue(kRoot + u"\\A\\B", &value));
  EXPECT_TRUE(Registry().GetDefaultValue(kRoot + u"Sibling", &value));
  Registry().DeleteTree(kRoot + u"Sibling");
}

TEST_F(RegistryContract, ModuleFileNameIsAFullPath) {
  const std::u16string path = Registry().ModuleFileName();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(path[0] == u'/' || (path.size() > 2 && path[1] == u':' && path[2] == u'\\'));
}

TEST_F(RegistryContract, ServerClassRoundTrip) {
  const ServerClass server = {{0x0BADF00D, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}}, u"UlvexContractTest.Key"};
  RegisterServerClass(server);
  std::u16string value;
  ASSERT_TRUE(Registry().GetDefaultValue(u"CLSID\\{0BADF00D-1234-5678-0102-030405060708}\\LocalServer32", &value));
  EXPECT_EQ(value, u"\"" + Registry().ModuleFileName() + u"\"");
  UnregisterServerClass(server);
  EXPECT_FALSE(Registry().GetDefaultValue(u"CLSID\\{0BADF00D-1234-5678-0102-030405060708}", &value));
  EXPECT_FALSE(Registry().GetDefaultValue(u"UlvexContractTest.Key\\CLSID", &value));
}

}  // namespace
