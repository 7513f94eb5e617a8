#include <optional>
#include <string>

#include "platform/profile.h"
#include "settings/path_pieces.h"
#include "settings/settings.h"

namespace {

// The per-user folder, but only under a known application-data folder.
std::optional<std::u16string> KnownUserDataDirectory() {
  const std::u16string folder = GetAppDataFolder();
  if (folder.empty()) return std::nullopt;
  return folder + kUserFolderPiece;
}

int ReadConfigInt(const std::u16string& section, const std::u16string& key, int defaultValue) {
  const std::optional<std::u16string> directory = KnownUserDataDirectory();
  if (!directory) return defaultValue;
  return platform::Profile().ReadInt(section, key, defaultValue, *directory + kConfigFilePiece);
}

std::u16string DecimalText(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string GetLanguageFilePath() {
  const std::u16string directory = GetAppDirectory();
  const int language = ReadConfigInt(u"common", u"language", 1);
  return directory + (language == 1 ? kChineseLanguagePiece : kEnglishLanguagePiece);
}

std::u16string GetVersionText() {
  const int major = ReadConfigInt(u"product_info", u"major_version", 0);
  const int minor = ReadConfigInt(u"product_info", u"minor_version", 0);
  return DecimalText(major) + u"." + DecimalText(minor);
}

int ReadAutoConnect() { return ReadConfigInt(u"setting", u"autoConnect", 0); }

void WriteAutoConnect(bool on) {
  const std::optional<std::u16string> directory = KnownUserDataDirectory();
  if (!directory) return;
  // Only the last level: the application-data folder itself is the shell's.
  platform::Profile().CreateFolder(*directory);
  platform::Profile().WriteString(u"setting", u"autoConnect", on ? u"1" : u"0", *directory + kConfigFilePiece);
}
