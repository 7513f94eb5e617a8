// A registry of default values for tests: keys case-insensitive, parents made
// implicitly, every call logged in order. Installed for its lifetime. One thread.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace fakes {

class FakeRegistry : public platform::ClassesRegistry {
 public:
  FakeRegistry();
  ~FakeRegistry() override;

  std::u16string moduleFileName = u"C:\\Program Files\\Ulvex\\UlvexDriver_Monitor.exe";
  bool typeLibraryOk = true;

  // "set KEY", "delete KEY", "register-typelib", "unregister-typelib 1.0 0".
  std::vector<std::string> log;
  // When set, every entry also goes here, interleaved with other fakes'.
  std::vector<std::string>* journal = nullptr;
  std::map<std::u16string, std::u16string> values;  // folded keys
  bool Has(const std::u16string& key) const;
  std::u16string Value(const std::u16string& key) const;

  bool GetDefaultValue(const std::u16string& key, std::u16string* value) override;
  bool SetDefaultValue(const std::u16string& key, const std::u16string& value) override;
  bool DeleteTree(const std::u16string& key) override;
  bool RegisterTypeLibrary(const platform::Guid& libid) override;
  bool UnregisterTypeLibrary(const platform::Guid& libid, std::uint16_t major, std::uint16_t minor,
                             std::uint32_t locale) override;
  std::u16string ModuleFileName() override { return moduleFileName; }

  std::vector<platform::Guid> typeLibraries;

 private:
  void Note(const std::string& entry);
};

}  // namespace fakes
