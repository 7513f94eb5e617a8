// Where the settings and language files lie, and the few values read from and
// written to them. Nothing is cached: every call composes its path afresh and
// reads or writes the file at that moment through platform::Profile(). Called
// from the user-interface thread only.
//
// Paths are composed with backslash pieces on every platform; see
// platform/profile.h for how the POSIX build maps them to '/'.
#pragma once

#include <cstddef>
#include <string>

// The directory of the running program file, without a trailing backslash;
// empty when its path holds no backslash.
std::u16string GetAppDirectory();
// The user's roaming application-data folder, or empty when the shell gives
// no usable one.
std::u16string GetAppDataFolder();
// GetAppDataFolder() followed by "\Ulvex".
std::u16string GetUserDataDirectory();
// GetUserDataDirectory() followed by "\config.ini".
std::u16string GetConfigFilePath();

// The settings below use config.ini only while the application-data folder
// is known. Without it the path would begin at the root of the current
// drive, where any user may plant a file; then every read gives its default
// and the write is skipped.

// GetAppDirectory() followed by "\language\gb.ini" when `language` in section
// `common` is exactly 1 (also its default), else "\language\en.ini".
std::u16string GetLanguageFilePath();
// "major.minor" from section `product_info`, each 0 when missing.
std::u16string GetVersionText();
// `autoConnect` in section `setting`, 0 when missing; non-zero means on.
int ReadAutoConnect();
// Stores "1" or "0" as `autoConnect`, creating the per-user folder (that one
// level) first so that the choice outlives the program.
void WriteAutoConnect(bool on);

// A text of the language file holds at most this many units, terminator included.
constexpr std::size_t kWindowTextUnits = 512;

// Fills the whole buffer with zeros, then reads the key of section `frmMain`
// into it, cut to 511 units; "" when the file or key is missing.
void ReadWindowText(const std::u16string& key, const std::u16string& languageFilePath,
                    char16_t (&buffer)[kWindowTextUnits]);
