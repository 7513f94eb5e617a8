// The profile-file seam: INI reads and the one kind of write, the running
// program's path, the per-user application-data folder and the creation of a
// single folder. It owns nothing between calls: every call opens, reads or
// writes its file anew. The settings code calls it from the user-interface
// thread only.
//
// Paths are Windows-shaped on every platform: the code above composes them
// with '\\' pieces. The POSIX implementation maps each '\\' of a path it is
// given to '/', and each '/' of a path it returns (module path, folder) to
// '\\', so "/home/u/.config" arrives as "\home\u\.config" and the settings
// logic finds, cuts and appends backslashes exactly as on Windows. A Linux
// file name holding a literal backslash is therefore not reachable; none of
// ours does.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Windows' MAX_PATH: the buffer size of the module-path and folder queries.
constexpr std::uint32_t kPathUnits = 260;

// Shell results. Only kShellOk means the folder path is usable; S_FALSE and
// every failure code leave it unknown.
constexpr std::int32_t kShellOk = 0;
constexpr std::int32_t kShellFalse = 1;
constexpr std::int32_t kShellFail = static_cast<std::int32_t>(0x80004005u);

class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;

  // GetPrivateProfileIntW: the value of the key, or defaultValue when the
  // file, section or key is missing or the value is empty. Windows returns a
  // UINT; it arrives here as the int of the same bits.
  virtual int ReadInt(const std::u16string& section, const std::u16string& key, int defaultValue,
                      const std::u16string& file) = 0;

  // GetPrivateProfileStringW: copies the key's text, or defaultText, into
  // buffer, cut to size - 1 units and terminated; returns the units copied.
  virtual std::uint32_t ReadString(const std::u16string& section, const std::u16string& key,
                                   const std::u16string& defaultText, char16_t* buffer, std::uint32_t size,
                                   const std::u16string& file) = 0;

  // WritePrivateProfileStringW: sets the key, adding the key, the section and
  // the file as needed; creates no folder. False when nothing was written.
  virtual bool WriteString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                           const std::u16string& file) = 0;

  // GetModuleFileNameW(null): the running program's full path. A path that
  // does not fit is cut to size units and may be left unterminated (Windows
  // XP and Wine do so); the caller terminates. Returns the units copied, or
  // size when cut, 0 on failure.
  virtual std::uint32_t ModuleFileName(char16_t* buffer, std::uint32_t size) = 0;

  // SHGetFolderPathW(CSIDL_APPDATA, SHGFP_TYPE_CURRENT) into a buffer of
  // kPathUnits, without creating the folder. Returns the shell's HRESULT.
  virtual std::int32_t AppDataFolder(char16_t* buffer) = 0;

  // Creates the last level of path only. True when the folder exists afterwards.
  virtual bool CreateFolder(const std::u16string& path) = 0;
};

// The implementation in force: the platform's own unless a test installed another.
ProfileFiles& Profile();
ProfileFiles& SystemProfile();
// For tests; pass null to go back to the platform's own.
void SetProfileForTesting(ProfileFiles* profile);

}  // namespace platform
