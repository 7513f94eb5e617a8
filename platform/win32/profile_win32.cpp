// The profile-file seam on Win32: the system's own profile functions, module
// path, shell folder lookup and CreateDirectoryW.
#include <windows.h>
#include <shlobj.h>

#include "platform/profile.h"

namespace platform {
namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
wchar_t* Wide(char16_t* buffer) { return reinterpret_cast<wchar_t*>(buffer); }

class Win32Profile final : public ProfileFiles {
 public:
  int ReadInt(const std::u16string& section, const std::u16string& key, int defaultValue,
              const std::u16string& file) override {
    return static_cast<int>(::GetPrivateProfileIntW(Wide(section), Wide(key), defaultValue, Wide(file)));
  }

  std::uint32_t ReadString(const std::u16string& section, const std::u16string& key,
                           const std::u16string& defaultText, char16_t* buffer, std::uint32_t size,
                           const std::u16string& file) override {
    return ::GetPrivateProfileStringW(Wide(section), Wide(key), Wide(defaultText), Wide(buffer), size, Wide(file));
  }

  bool WriteString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                   const std::u16string& file) override {
    return ::WritePrivateProfileStringW(Wide(section), Wide(key), Wide(value), Wide(file)) != FALSE;
  }

  std::uint32_t ModuleFileName(char16_t* buffer, std::uint32_t size) override {
    return ::GetModuleFileNameW(nullptr, Wide(buffer), size);
  }

  std::int32_t AppDataFolder(char16_t* buffer) override {
    return ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, Wide(buffer));
  }

  bool CreateFolder(const std::u16string& path) override {
    if (::CreateDirectoryW(Wide(path), nullptr)) return true;
    const DWORD attributes = ::GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

}  // namespace

ProfileFiles& SystemProfile() {
  static Win32Profile profile;
  return profile;
}

}  // namespace platform
