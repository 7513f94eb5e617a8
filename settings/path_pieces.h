// The pieces the settings paths are made of, appended exactly as written.
#pragma once

inline constexpr char16_t kUserFolderPiece[] = u"\\Ulvex";
inline constexpr char16_t kConfigFilePiece[] = u"\\config.ini";
inline constexpr char16_t kChineseLanguagePiece[] = u"\\language\\gb.ini";
inline constexpr char16_t kEnglishLanguagePiece[] = u"\\language\\en.ini";
