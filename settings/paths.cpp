#include "platform/profile.h"
#include "settings/path_pieces.h"
#include "settings/settings.h"

std::u16string GetAppDirectory() {
  char16_t path[platform::kPathUnits] = {};
  platform::Profile().ModuleFileName(path, platform::kPathUnits);
  // Windows XP and Wine leave a cut path unterminated.
  path[platform::kPathUnits - 1] = u'\0';
  const std::u16string full(path);
  const std::size_t lastBackslash = full.rfind(u'\\');
  if (lastBackslash == std::u16string::npos) return {};
  return full.substr(0, lastBackslash);
}

std::u16string GetAppDataFolder() {
  char16_t folder[platform::kPathUnits] = {};
  // S_FALSE is a success code too, but the folder it names does not exist.
  if (platform::Profile().AppDataFolder(folder) != platform::kShellOk) return {};
  folder[platform::kPathUnits - 1] = u'\0';
  return folder;
}

std::u16string GetUserDataDirectory() { return GetAppDataFolder() + kUserFolderPiece; }

std::u16string GetConfigFilePath() { return GetUserDataDirectory() + kConfigFilePiece; }
