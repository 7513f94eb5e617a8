// The seam for the automation server's registration: default string values
// under HKEY_CLASSES_ROOT, tree removal, the type library in the program's
// own resources, and the program's file name. Main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "platform/policy_config.h"

namespace platform {

class ClassesRegistry {
 public:
  virtual ~ClassesRegistry() = default;
  // False when the key or its default value is missing.
  virtual bool GetDefaultValue(const std::u16string& key, std::u16string* value) = 0;
  // Creates the key and its parents as needed.
  virtual bool SetDefaultValue(const std::u16string& key, const std::u16string& value) = 0;
  // The key and everything under it.
  virtual bool DeleteTree(const std::u16string& key) = 0;
  // Loads TYPELIB 1 of the program file, checks its LIBID and registers it.
  virtual bool RegisterTypeLibrary(const Guid& libid) = 0;
  virtual bool UnregisterTypeLibrary(const Guid& libid, std::uint16_t major, std::uint16_t minor,
                                     std::uint32_t locale) = 0;
  // The program file's full path as the system reports it.
  virtual std::u16string ModuleFileName() = 0;
};

ClassesRegistry& Registry();
ClassesRegistry& SystemRegistry();
void SetRegistryForTesting(ClassesRegistry* registry);

}  // namespace platform
