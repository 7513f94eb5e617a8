// The settings and language files: paths, defaults, the one write and its
// folder, and what happens without an application-data folder. The module
// path and the shell's folder are scripted; the files are real, read and
// written by the platform's own profile functions (POSIX natively, Windows'
// under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "settings/settings.h"
#include "tests/fakes/fake_profile.h"
#include "tests/unit/profile_test_files.h"

namespace {

namespace fs = std::filesystem;
using profile_test_files::ReadBytes;
using profile_test_files::ScratchFolder;
using profile_test_files::SeamPath;
using profile_test_files::WriteBytes;

std::string Printable(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    out += unit < 0x80 ? std::string(1, static_cast<char>(unit)) : "\\u" + std::to_string(unsigned{unit});
  }
  return out;
}

bool EndsWith(const std::u16string& text, const std::u16string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(appData());
    fs::create_directories(programFolder());
    profile_.SetModulePath(SeamPath(programFolder() / "UlvexDriver_Monitor.exe"));
    profile_.SetAppDataFolder(platform::kShellOk, SeamPath(appData()));
  }

  fs::path appData() const { return scratch_.path() / "AppData" / "Roaming"; }
  fs::path userFolder() const { return appData() / "Ulvex"; }
  fs::path configFile() const { return userFolder() / "config.ini"; }
  fs::path programFolder() const { return scratch_.path() / "Program Files" / "Ulvex"; }

  void WriteConfig(const std::string& text) {
    fs::create_directories(userFolder());
    WriteBytes(configFile(), text);
  }

  std::u16string ConfigText(const char16_t* section, const char16_t* key) {
    char16_t buffer[512] = {};
    platform::SystemProfile().ReadString(section, key, u"<missing>", buffer, 512, SeamPath(configFile()));
    return buffer;
  }

  ScratchFolder scratch_;
  fakes::FakeProfile profile_;
};

TEST_F(SettingsTest, PathsAreComposedFromTheirPieces) {
  EXPECT_EQ(GetAppDirectory(), SeamPath(programFolder()));
  EXPECT_EQ(GetAppDataFolder(), SeamPath(appData()));
  EXPECT_EQ(GetUserDataDirectory(), SeamPath(appData()) + u"\\Ulvex");
  EXPECT_EQ(GetConfigFilePath(), SeamPath(appData()) + u"\\Ulvex\\config.ini");
  EXPECT_EQ(GetLanguageFilePath(), SeamPath(programFolder()) + u"\\language\\gb.ini");
}

struct ModulePathCase {
  std::u16string modulePath;
  std::u16string appDirectory;
};

const ModulePathCase kModulePaths[] = {
    {u"C:\\Program Files\\Ulvex\\UlvexDriver_Monitor.exe", u"C:\\Program Files\\Ulvex"},
    {u"C:\\UlvexDriver_Monitor.exe", u"C:"},
    {u"\\\\server\\share\\UlvexDriver_Monitor.exe", u"\\\\server\\share"},
    {u"UlvexDriver_Monitor.exe", u""},
    {u"", u""},
    // Cut by the 260-unit buffer: the directory is what precedes the last
    // backslash that survived the cut.
    {u"C:\\" + std::u16string(250, u'a') + u"\\bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb\\x.exe",
     u"C:\\" + std::u16string(250, u'a')},
    {u"C:\\" + std::u16string(240, u'a') + u"\\b\\" + std::u16string(30, u'c'),
     u"C:\\" + std::u16string(240, u'a') + u"\\b"},
};

TEST_F(SettingsTest, AppDirectoryIsWhatPrecedesTheLastBackslash) {
  for (const ModulePathCase& c : kModulePaths) {
    SCOPED_TRACE(Printable(c.modulePath));
    profile_.SetModulePath(c.modulePath);
    EXPECT_EQ(Printable(GetAppDirectory()), Printable(c.appDirectory));
    EXPECT_EQ(Printable(GetLanguageFilePath()), Printable(c.appDirectory + u"\\language\\gb.ini"));
  }
}

struct ConfigCase {
  const char* name;
  const char* config;  // null: no config.ini at all
  const char16_t* languagePiece;
  const char16_t* version;
  int autoConnect;
};

const ConfigCase kConfigs[] = {
    {"no config.ini", nullptr, u"\\language\\gb.ini", u"0.0", 0},
    {"empty config.ini", "", u"\\language\\gb.ini", u"0.0", 0},
    {"language 1", "[common]\r\nlanguage=1\r\n", u"\\language\\gb.ini", u"0.0", 0},
    {"language 0", "[common]\r\nlanguage=0\r\n", u"\\language\\en.ini", u"0.0", 0},
    {"language 2", "[common]\r\nlanguage=2\r\n", u"\\language\\en.ini", u"0.0", 0},
    {"language missing", "[common]\r\nother=0\r\n", u"\\language\\gb.ini", u"0.0", 0},
    {"section names ignore case", "[COMMON]\r\nLanguage=0\r\n", u"\\language\\en.ini", u"0.0", 0},
    {"autoConnect 7", "[setting]\r\nautoConnect=7\r\n", u"\\language\\gb.ini", u"0.0", 7},
    {"autoConnect 0", "[setting]\r\nautoConnect=0\r\n", u"\\language\\gb.ini", u"0.0", 0},
    {"only major_version 3", "[product_info]\r\nmajor_version=3\r\n", u"\\language\\gb.ini", u"3.0", 0},
    {"version 2 and 10", "[product_info]\r\nmajor_version=2\r\nminor_version=10\r\n", u"\\language\\gb.ini",
     u"2.10", 0},
    {"version printed signed", "[product_info]\r\nmajor_version=-1\r\nminor_version=4294967295\r\n",
     u"\\language\\gb.ini", u"-1.-1", 0},
    {"all sections", "[setting]\r\nautoConnect=1\r\n[common]\r\nlanguage=0\r\n[product_info]\r\nmajor_version=1\r\n",
     u"\\language\\en.ini", u"1.0", 1},
};

TEST_F(SettingsTest, ValuesAndDefaultsOfConfigIni) {
  for (const ConfigCase& c : kConfigs) {
    SCOPED_TRACE(c.name);
    std::error_code ignored;
    fs::remove_all(userFolder(), ignored);
    if (c.config) WriteConfig(c.config);
    EXPECT_EQ(Printable(GetLanguageFilePath()), Printable(SeamPath(programFolder()) + c.languagePiece));
    EXPECT_EQ(Printable(GetVersionText()), Printable(c.version));
    EXPECT_EQ(ReadAutoConnect(), c.autoConnect);
  }
}

TEST_F(SettingsTest, EveryReadComposesItsPathAndReadsTheFileAnew) {
  WriteConfig("[common]\r\nlanguage=0\r\n");
  EXPECT_TRUE(EndsWith(GetLanguageFilePath(), u"\\language\\en.ini"));
  WriteConfig("[common]\r\nlanguage=1\r\n");
  EXPECT_TRUE(EndsWith(GetLanguageFilePath(), u"\\language\\gb.ini"));

  profile_.ClearCalls();
  GetVersionText();
  EXPECT_EQ(profile_.Count("appdata"), 2) << "one fresh path for each number";
  EXPECT_EQ(profile_.Count("readint"), 2);
}

TEST_F(SettingsTest, AutoConnectWrittenWhenThePerUserFolderIsMissing) {
  ASSERT_FALSE(fs::exists(userFolder()));
  WriteAutoConnect(true);
  ASSERT_TRUE(fs::is_directory(userFolder()));
  EXPECT_EQ(Printable(ConfigText(u"setting", u"autoConnect")), "1");
  EXPECT_EQ(ReadAutoConnect(), 1);

  WriteAutoConnect(false);
  EXPECT_EQ(Printable(ConfigText(u"setting", u"autoConnect")), "0");
  EXPECT_EQ(ReadAutoConnect(), 0);

  const auto& calls = profile_.calls();
  const auto first = [&](const char* op) {
    return std::find_if(calls.begin(), calls.end(), [&](const auto& call) { return call.op == op; });
  };
  const auto create = first("createfolder");
  const auto write = first("write");
  ASSERT_NE(create, calls.end());
  ASSERT_NE(write, calls.end());
  EXPECT_LT(create - calls.begin(), write - calls.begin()) << "the folder comes before the write";
  EXPECT_EQ(create->path, SeamPath(userFolder()));
  EXPECT_EQ(write->path, SeamPath(configFile()));
  EXPECT_EQ(write->section, u"setting");
  EXPECT_EQ(write->key, u"autoConnect");
}

TEST_F(SettingsTest, AutoConnectWriteKeepsTheOtherSettings) {
  WriteConfig("[common]\r\nlanguage=0\r\n[product_info]\r\nmajor_version=2\r\nminor_version=10\r\n");
  WriteAutoConnect(true);
  EXPECT_EQ(ReadAutoConnect(), 1);
  EXPECT_TRUE(EndsWith(GetLanguageFilePath(), u"\\language\\en.ini"));
  EXPECT_EQ(Printable(GetVersionText()), "2.10");
}

TEST_F(SettingsTest, OnlyThePerUserFolderIsEverCreated) {
  const fs::path missing = scratch_.path() / "Nobody" / "Roaming";
  profile_.SetAppDataFolder(platform::kShellOk, SeamPath(missing));
  WriteAutoConnect(true);
  EXPECT_FALSE(fs::exists(scratch_.path() / "Nobody"));
  EXPECT_EQ(ReadAutoConnect(), 0);
}

struct NoFolderCase {
  const char* name;
  std::int32_t result;
};

// S_FALSE is a success code, but names a folder that does not exist.
const NoFolderCase kNoFolder[] = {
    {"E_FAIL", platform::kShellFail},
    {"S_FALSE", platform::kShellFalse},
    {"E_INVALIDARG", static_cast<std::int32_t>(0x80070057u)},
};

TEST_F(SettingsTest, WithoutTheAppDataFolderNothingIsReadOrWritten) {
  WriteConfig("[setting]\r\nautoConnect=1\r\n[common]\r\nlanguage=0\r\n[product_info]\r\nmajor_version=5\r\n");
  for (const NoFolderCase& c : kNoFolder) {
    SCOPED_TRACE(c.name);
    // The buffer still names a real folder: only the result may count.
    profile_.SetAppDataFolder(c.result, SeamPath(appData()));
    profile_.ClearCalls();

    EXPECT_EQ(Printable(GetAppDataFolder()), "");
    EXPECT_EQ(Printable(GetUserDataDirectory()), "\\Ulvex");
    EXPECT_EQ(Printable(GetConfigFilePath()), "\\Ulvex\\config.ini");
    EXPECT_EQ(Printable(GetLanguageFilePath()), Printable(SeamPath(programFolder()) + u"\\language\\gb.ini"));
    EXPECT_EQ(Printable(GetVersionText()), "0.0");
    EXPECT_EQ(ReadAutoConnect(), 0);
    WriteAutoConnect(false);

    EXPECT_EQ(profile_.Count("readint"), 0);
    EXPECT_EQ(profile_.Count("write"), 0);
    EXPECT_EQ(profile_.Count("createfolder"), 0);
  }
  EXPECT_EQ(Printable(ConfigText(u"setting", u"autoConnect")), "1") << "the file itself is untouched";
}

struct WindowTextCase {
  const char* name;
  const char16_t* key;
  std::u16string expected;
};

const std::u16string k600 = [] {
  std::u16string text;
  for (int i = 0; i < 600; ++i) text += static_cast<char16_t>(u'a' + i % 26);
  return text;
}();

const WindowTextCase kWindowTexts[] = {
    {"a text", u"buttonRun", u"Run"},
    {"key names ignore case", u"BUTTONSTOP", u"Stop"},
    {"600 characters arrive as their first 511", u"staticNotice", k600.substr(0, 511)},
    {"a missing key", u"Caption", u""},
};

TEST_F(SettingsTest, WindowTextsFillTheWholeBuffer) {
  const fs::path file = programFolder() / "en.ini";
  WriteBytes(file, "[frmMain]\r\nbuttonRun=Run\r\nbuttonStop=Stop\r\nstaticNotice=" +
                       std::string(k600.begin(), k600.end()) + "\r\n");
  for (const WindowTextCase& c : kWindowTexts) {
    SCOPED_TRACE(c.name);
    char16_t buffer[kWindowTextUnits];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    ReadWindowText(c.key, SeamPath(file), buffer);
    EXPECT_EQ(Printable(buffer), Printable(c.expected));
    EXPECT_TRUE(std::all_of(buffer + c.expected.size(), std::end(buffer), [](char16_t unit) { return unit == 0; }))
        << "zeros after the text";
  }
}

TEST_F(SettingsTest, WindowTextOfAMissingLanguageFileIsEmpty) {
  char16_t buffer[kWindowTextUnits];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  ReadWindowText(u"Caption", SeamPath(programFolder() / "language" / "gb.ini"), buffer);
  EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](char16_t unit) { return unit == 0; }));
}

struct LanguageFileCase {
  const char* file;
  const char16_t* key;
  std::u16string expected;  // empty: any non-empty text
};

const LanguageFileCase kShipped[] = {
    {"gb.ini", u"Caption", u"Tallowmere\u865A\u62DF\u58F0\u5361\u76D1\u63A7\u7A0B\u5E8F"},
    {"gb.ini", u"staticVirtualAudioDevice", u"\u865A\u62DF\u58F0\u5361"},
    {"gb.ini", u"staticPlayDevice", u"\u64AD\u653E\u8BBE\u5907"},
    {"gb.ini", u"buttonRun", u"\u542F\u52A8"},
    {"gb.ini", u"buttonStop", u"\u505C\u6B62"},
    {"gb.ini", u"checkboxAutoRun", u"\u7A0B\u5E8F\u8FD0\u884C\u65F6\u81EA\u52A8\u8FDE\u63A5"},
    {"gb.ini", u"staticNotice", u""},
    {"gb.ini", u"msgOnlyVistaAndLater", u""},
    {"en.ini", u"Caption", u""},
    {"en.ini", u"staticVirtualAudioDevice", u""},
    {"en.ini", u"staticPlayDevice", u""},
    {"en.ini", u"buttonRun", u"Run"},
    {"en.ini", u"buttonStop", u"Stop"},
    {"en.ini", u"checkboxAutoRun", u""},
    {"en.ini", u"staticNotice", u""},
    {"en.ini", u"msgOnlyVistaAndLater", u""},
};

TEST_F(SettingsTest, ShippedLanguageFilesCarryEveryText) {
  const fs::path folder = profile_test_files::SourceFolder() / "resources" / "language";
  for (const LanguageFileCase& c : kShipped) {
    SCOPED_TRACE(std::string(c.file) + " " + Printable(c.key));
    const std::string bytes = ReadBytes(folder / c.file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16LE with a byte-order mark";
    char16_t buffer[kWindowTextUnits];
    ReadWindowText(c.key, SeamPath(folder / c.file), buffer);
    if (c.expected.empty()) {
      EXPECT_NE(buffer[0], u'\0');
    } else {
      EXPECT_EQ(Printable(buffer), Printable(c.expected));
    }
  }
}

}  // namespace
