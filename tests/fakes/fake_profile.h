// A profile seam for tests: passes file reads and writes to the platform's
// own, answers the module-path and application-data queries as scripted, and
// records every call in order. Installed for the life of the object. One
// thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile.h"

namespace fakes {

class FakeProfile : public platform::ProfileFiles {
 public:
  FakeProfile();
  ~FakeProfile() override;

  void SetModulePath(std::u16string path) { modulePath_ = std::move(path); }
  // The shell's answer: its HRESULT, and what it leaves in the buffer.
  void SetAppDataFolder(std::int32_t result, std::u16string folder) {
    appDataResult_ = result;
    appDataFolder_ = std::move(folder);
  }

  struct Call {
    std::string op;  // "readint", "readstring", "write", "module", "appdata", "createfolder"
    std::u16string path;  // the file or folder, when there is one
    std::u16string section;
    std::u16string key;
    std::u16string value;  // what was written
  };
  const std::vector<Call>& calls() const { return calls_; }
  // How many calls of the given kind were made.
  int Count(const std::string& op) const;
  void ClearCalls() { calls_.clear(); }

  int ReadInt(const std::u16string& section, const std::u16string& key, int defaultValue,
              const std::u16string& file) override;
  std::uint32_t ReadString(const std::u16string& section, const std::u16string& key,
                           const std::u16string& defaultText, char16_t* buffer, std::uint32_t size,
                           const std::u16string& file) override;
  bool WriteString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                   const std::u16string& file) override;
  std::uint32_t ModuleFileName(char16_t* buffer, std::uint32_t size) override;
  std::int32_t AppDataFolder(char16_t* buffer) override;
  bool CreateFolder(const std::u16string& path) override;

 private:
  platform::ProfileFiles& real_;
  std::u16string modulePath_;
  std::int32_t appDataResult_ = platform::kShellFail;
  std::u16string appDataFolder_;
  std::vector<Call> calls_;
};

}  // namespace fakes
