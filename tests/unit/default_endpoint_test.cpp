#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "endpoints/default_endpoint.h"
#include "platform/policy_config_ids.h"
#include "platform/version_conditions.h"
#include "tests/fakes/fake_policy_config.h"

namespace {

using fakes::FakePolicyConfig;

const char16_t kId[] = u"{0.0.0.00000000}.{5b7e5a2c-7f4e-4b8a-9a1e-3c1d2f0e9b71}";

struct VersionCase {
  std::uint32_t major, minor;
  int result;
  int creations;
  platform::Guid clsid, iid;
  int slot;
};

TEST(DefaultEndpoint, ReportedVersionChoosesThePath) {
  const VersionCase cases[] = {
      {5, 1, -1, 0, {}, {}, 0},
      {6, 0, -1, 0, {}, {}, 0},
      {6, 1, 0, 1, platform::kClsidPolicyConfigVistaClient, platform::kIidPolicyConfigVista, 12},
      {6, 2, 0, 1, platform::kClsidPolicyConfigClient, platform::kIidUnknown, 13},
      {6, 3, 0, 1, platform::kClsidPolicyConfigClient, platform::kIidUnknown, 13},
      {10, 0, -1, 0, {}, {}, 0},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "reported " << c.major << "." << c.minor);
    FakePolicyConfig policy(c.major, c.minor);
    EXPECT_EQ(SetDefaultRenderEndpoint(kId), c.result);
    ASSERT_EQ(static_cast<int>(policy.creations.size()), c.creations);
    if (c.creations == 0) {
      EXPECT_TRUE(policy.sets.empty());
      continue;
    }
    EXPECT_TRUE(policy.creations[0].clsid == c.clsid);
    EXPECT_TRUE(policy.creations[0].iid == c.iid);
    ASSERT_EQ(policy.sets.size(), 1u);
    EXPECT_EQ(policy.sets[0].slot, c.slot);
    EXPECT_EQ(policy.sets[0].role, 1);
    EXPECT_EQ(policy.sets[0].id, kId) << "the ID is passed unchanged";
    EXPECT_EQ(policy.releases, 1);
  }
}

TEST(DefaultEndpoint, BothVersionTestsComeFirstInOrder) {
  for (std::uint32_t minor : {0u, 1u, 2u}) {
    FakePolicyConfig policy(6, minor);
    SetDefaultRenderEndpoint(kId);
    ASSERT_GE(policy.log.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(policy.log.begin(), policy.log.begin() + 6),
              (std::vector<std::string>{"mask", "mask", "verify", "mask", "mask", "verify"}));
    ASSERT_EQ(policy.probes.size(), 2u);
    const std::uint64_t expectedConditions = platform::EncodeCondition(
        platform::EncodeCondition(0, platform::kVerMajorVersion, platform::kVerEqual), platform::kVerMinorVersion,
        platform::kVerGreater);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(policy.probes[i].size, 284u);
      EXPECT_EQ(policy.probes[i].major, 6u);
      EXPECT_EQ(policy.probes[i].minor, static_cast<std::uint32_t>(i));
      EXPECT_EQ(policy.probes[i].typeMask, 3u);
      EXPECT_EQ(policy.probes[i].conditionMask, expectedConditions);
    }
  }
}

struct RefusalCase {
  const char* name;
  platform::HResult createResult;
  bool objectEvenOnFailure;
  platform::HResult callResult;
  int expectedReleases;
};

TEST(DefaultEndpoint, RefusalsFailAndReleaseWhatCameBack) {
  const RefusalCase cases[] = {
      {"class not registered", platform::kClassNotRegistered, false, platform::kOk, 0},
      {"refused but a pointer came back", platform::kNoInterface, true, platform::kOk, 1},
      {"the call fails", platform::kOk, false, platform::kFail, 1},
      {"the call answers S_FALSE", platform::kOk, false, 1, 1},
  };
  for (std::uint32_t minor : {1u, 2u}) {
    for (const RefusalCase& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << " on 6." << minor);
      FakePolicyConfig policy(6, minor);
      policy.createResult = c.createResult;
      policy.objectEvenOnFailure = c.objectEvenOnFailure;
      policy.callResult = c.callResult;
      EXPECT_EQ(SetDefaultRenderEndpoint(kId), -1);
      EXPECT_EQ(policy.releases, c.expectedReleases);
      EXPECT_EQ(policy.releases, policy.objectsHandedOut) << "every pointer handed out is released";
      if (c.createResult != platform::kOk) {
        EXPECT_TRUE(policy.sets.empty()) << "no call through a refused object";
      }
    }
  }
}

}  // namespace
