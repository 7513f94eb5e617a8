// The profile-file contract that the settings rely on, run against the
// platform's own implementation with the same fixture files: natively on our
// POSIX reader and writer, under Wine on Windows' profile functions. The
// expected values are what Wine's reader returns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/profile.h"
#include "tests/unit/profile_test_files.h"

namespace {

namespace fs = std::filesystem;
using platform::Profile;
using profile_test_files::Fixture;
using profile_test_files::ReadBytes;
using profile_test_files::ScratchFolder;
using profile_test_files::SeamPath;
using profile_test_files::WriteBytes;

constexpr int kDefault = 99;

std::u16string ReadText(const std::u16string& section, const std::u16string& key, const std::u16string& file,
                        std::uint32_t size = 512, const std::u16string& defaultText = u"") {
  std::u16string buffer(size, u'#');
  const std::uint32_t count = Profile().ReadString(section, key, defaultText, buffer.data(), size, file);
  const std::u16string text(buffer.c_str());
  EXPECT_EQ(count, text.size()) << "the count returned is the length of the text";
  return text;
}

std::string Printable(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    out += unit < 0x80 ? std::string(1, static_cast<char>(unit)) : "\\u" + std::to_string(unsigned{unit});
  }
  return out;
}

struct IntegerCase {
  const char* file;
  const char16_t* section;
  const char16_t* key;
  int expected;
};

const IntegerCase kIntegers[] = {
    {"integers.ini", u"numbers", u"seven", 7},
    {"integers.ini", u"numbers", u"zero", 0},
    {"integers.ini", u"numbers", u"negative", -1},
    {"integers.ini", u"numbers", u"plus", 12},
    {"integers.ini", u"numbers", u"spaced", 42},
    {"integers.ini", u"numbers", u"leadingzero", 10},
    {"integers.ini", u"numbers", u"hex", 31},
    {"integers.ini", u"numbers", u"hexupper", 0},
    {"integers.ini", u"numbers", u"octal", 15},
    {"integers.ini", u"numbers", u"binary", 5},
    {"integers.ini", u"numbers", u"trailing", 12},
    {"integers.ini", u"numbers", u"letters", 0},
    {"integers.ini", u"numbers", u"empty", kDefault},
    {"integers.ini", u"numbers", u"noequals", kDefault},
    {"integers.ini", u"numbers", u"wrap", 1},
    // Only the first 29 digits are read, and the value wraps at 32 bits.
    {"integers.ini", u"numbers", u"long", 1849262357},
    {"integers.ini", u"numbers", u"quoted", 7},
    {"integers.ini", u"numbers", u"hexletters", 1},
    {"integers.ini", u"numbers", u"minushex", -16},
    {"integers.ini", u"numbers", u"signonly", 0},
    {"integers.ini", u"numbers", u"inner", 1},
    {"integers.ini", u"numbers", u"tab", 9},
    {"integers.ini", u"numbers", u"absent", kDefault},
    {"integers.ini", u"absent", u"seven", kDefault},
    {"absent.ini", u"numbers", u"seven", kDefault},
    {"names.ini", u"setting", u"autoconnect", 3},
    {"names.ini", u"SETTING", u"AutoConnect", 3},
    {"names.ini", u"  Setting ", u" AUTOCONNECT  ", 3},
    {"names.ini", u"Setting", u"; a comment", 5},
    // Only the first section of a name is searched.
    {"names.ini", u"setting", u"second", kDefault},
    {"names.ini", u"spaced", u"inside", 5},
    {"names.ini", u"common", u"language", 2},
    {"names.ini", u"common", u"indented", 4},
    // A '[' line without ']' is a key line of the section before it.
    {"names.ini", u"common", u"afterbroken", 6},
    {"names.ini", u"broken", u"afterbroken", kDefault},
    {"names.ini", u"last", u"final", 8},
};

TEST(ProfileRead, IntegersAsWindowsReadsThem) {
  for (const IntegerCase& c : kIntegers) {
    SCOPED_TRACE(std::string(c.file) + " [" + Printable(c.section) + "] " + Printable(c.key));
    const fs::path path = profile_test_files::FixtureFolder() / c.file;
    EXPECT_EQ(Profile().ReadInt(c.section, c.key, kDefault, SeamPath(path)), c.expected);
  }
}

struct TextCase {
  const char16_t* key;
  std::u16string expected;
  bool asciiOnly;  // present in the file without a byte-order mark too
};

const std::u16string kLong600 = [] {
  std::u16string text;
  for (int i = 0; i < 600; ++i) text += static_cast<char16_t>(u'0' + i % 10);
  return text;
}();

const TextCase kTexts[] = {
    {u"Caption", u"Tallowmere\u865A\u62DF\u58F0\u5361\u76D1\u63A7\u7A0B\u5E8F", false},
    {u"padded", u"inner text", true},
    {u"quoted", u"quoted text", true},
    {u"single", u"x", true},
    {u"halfquoted", u"\"open", true},
    {u"emoji", u"a\U0001F600b", false},
    // Only ASCII white space is trimmed.
    {u"ideographic", u"\u3000x\u3000", false},
    {u"verticaltab", u"v", true},
    {u"long", kLong600.substr(0, 511), true},
    {u"empty", u"", true},
    {u"absent", u"", true},
};

TEST(ProfileRead, TextsInEveryEncodingCutTo511) {
  for (const char* file : {"texts_utf16.ini", "texts_utf8bom.ini", "texts_ansi.ini"}) {
    const bool ascii = std::string(file) == "texts_ansi.ini";
    const std::u16string path = SeamPath(Fixture(file));
    for (const TextCase& c : kTexts) {
      if (ascii && !c.asciiOnly) continue;
      SCOPED_TRACE(std::string(file) + " " + Printable(c.key));
      EXPECT_EQ(Printable(ReadText(u"frmMain", c.key, path)), Printable(c.expected));
    }
  }
}

TEST(ProfileRead, DefaultTextOnlyWhenTheKeyIsMissing) {
  const std::u16string path = SeamPath(Fixture("texts_utf16.ini"));
  EXPECT_EQ(Printable(ReadText(u"frmMain", u"empty", path, 512, u"fallback")), "");
  EXPECT_EQ(Printable(ReadText(u"frmMain", u"absent", path, 512, u"fallback")), "fallback");
  EXPECT_EQ(Printable(ReadText(u"frmMain", u"absent", path, 512, u"fallback  ")), "fallback");
  EXPECT_EQ(Printable(ReadText(u"absent", u"Caption", path, 512, u"fallback")), "fallback");
  EXPECT_EQ(Printable(ReadText(u"frmMain", u"Caption", SeamPath(Fixture("integers.ini").parent_path() / "absent.ini"),
                               512, u"fallback")),
            "fallback");
}

TEST(ProfileRead, SmallBufferCutsAndTerminates) {
  const std::u16string path = SeamPath(Fixture("texts_ansi.ini"));
  EXPECT_EQ(Printable(ReadText(u"frmMain", u"long", path, 5)), "0123");
  EXPECT_EQ(Printable(ReadText(u"frmMain", u"padded", path, 6)), "inner");
}

class ProfileWrite : public ::testing::Test {
 protected:
  fs::path Copy(const char* fixture) {
    const fs::path target = scratch_.path() / fixture;
    fs::copy_file(Fixture(fixture), target);
    return target;
  }

  ScratchFolder scratch_;
};

TEST_F(ProfileWrite, NewFileInAnExistingFolder) {
  const fs::path file = scratch_.path() / "config.ini";
  ASSERT_TRUE(Profile().WriteString(u"setting", u"autoConnect", u"1", SeamPath(file)));
  EXPECT_TRUE(fs::is_regular_file(file));
  EXPECT_EQ(Profile().ReadInt(u"setting", u"autoConnect", kDefault, SeamPath(file)), 1);
}

TEST_F(ProfileWrite, CreatesNoFolder) {
  const fs::path folder = scratch_.path() / "Ulvex";
  EXPECT_FALSE(Profile().WriteString(u"setting", u"autoConnect", u"1", SeamPath(folder / "config.ini")));
  EXPECT_FALSE(fs::exists(folder));
}

struct WriteCase {
  const char* name;
  const char16_t* section;
  const char16_t* key;
};

// An existing key in another spelling, a new key in an existing section, a new section.
const WriteCase kWrites[] = {
    {"existing key", u"SETTING", u"autoconnect"},
    {"new key", u"Setting", u"added"},
    {"new section", u"fresh", u"added"},
};

bool IsAutoConnect(const IntegerCase& row) {
  std::string key;
  for (const char16_t* at = row.key; *at; ++at) {
    if (*at != u' ') key += static_cast<char>(std::tolower(static_cast<unsigned char>(*at)));
  }
  return key == "autoconnect";
}

TEST_F(ProfileWrite, SetsOneKeyAndKeepsTheRest) {
  for (const WriteCase& c : kWrites) {
    SCOPED_TRACE(c.name);
    ScratchFolder scratch;
    const fs::path file = scratch.path() / "names.ini";
    fs::copy_file(Fixture("names.ini"), file);
    const std::u16string path = SeamPath(file);
    ASSERT_TRUE(Profile().WriteString(c.section, c.key, u"77", path));

    EXPECT_EQ(Profile().ReadInt(c.section, c.key, kDefault, path), 77);
    const bool wroteAutoConnect = std::u16string(c.key) == u"autoconnect";
    for (const IntegerCase& row : kIntegers) {
      if (std::string(row.file) != "names.ini") continue;
      SCOPED_TRACE("[" + Printable(row.section) + "] " + Printable(row.key));
      const int expected = wroteAutoConnect && IsAutoConnect(row) ? 77 : row.expected;
      EXPECT_EQ(Profile().ReadInt(row.section, row.key, kDefault, path), expected);
    }
  }
}

TEST_F(ProfileWrite, ExistingKeyIsReplacedNotRepeated) {
  const fs::path file = Copy("names.ini");
  ASSERT_TRUE(Profile().WriteString(u"setting", u"AutoConnect", u"0", SeamPath(file)));
  const std::string bytes = ReadBytes(file);
  int lines = 0;
  std::string lower;
  for (char c : bytes) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (std::size_t at = lower.find("autoconnect"); at != std::string::npos; at = lower.find("autoconnect", at + 1)) {
    ++lines;
  }
  EXPECT_EQ(lines, 1) << bytes;
  EXPECT_EQ(Profile().ReadInt(u"setting", u"autoConnect", kDefault, SeamPath(file)), 0);
}

TEST_F(ProfileWrite, UnicodeFileStaysUnicode) {
  const fs::path file = Copy("texts_utf16.ini");
  ASSERT_TRUE(Profile().WriteString(u"frmMain", u"added", u"\u542F\u52A8", SeamPath(file)));
  const std::string bytes = ReadBytes(file);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Printable(ReadText(u"frmMain", u"added", SeamPath(file))), Printable(u"\u542F\u52A8"));
  EXPECT_EQ(Printable(ReadText(u"frmMain", u"Caption", SeamPath(file))), Printable(kTexts[0].expected));
  EXPECT_EQ(ReadText(u"frmMain", u"long", SeamPath(file)).size(), 511u);
}

TEST_F(ProfileWrite, LeadingSpacesOfTheValueAreDropped) {
  const fs::path file = scratch_.path() / "config.ini";
  ASSERT_TRUE(Profile().WriteString(u"setting", u"text", u"  spaced", SeamPath(file)));
  EXPECT_EQ(Printable(ReadText(u"setting", u"text", SeamPath(file))), "spaced");
}

TEST(ProfileFolders, CreateFolderMakesTheLastLevelOnly) {
  ScratchFolder scratch;
  const fs::path folder = scratch.path() / "Ulvex";
  EXPECT_TRUE(Profile().CreateFolder(SeamPath(folder)));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(Profile().CreateFolder(SeamPath(folder))) << "an existing folder is fine";
  EXPECT_FALSE(Profile().CreateFolder(SeamPath(scratch.path() / "a" / "b")));
  EXPECT_FALSE(fs::exists(scratch.path() / "a"));
  WriteBytes(scratch.path() / "plain", "x");
  EXPECT_FALSE(Profile().CreateFolder(SeamPath(scratch.path() / "plain"))) << "a file is no folder";
}

TEST(ProfileFolders, ModulePathIsThisTestProgram) {
  char16_t path[platform::kPathUnits] = {};
  const std::uint32_t count = Profile().ModuleFileName(path, platform::kPathUnits);
  const std::u16string text(path);
  EXPECT_EQ(count, text.size());
  const std::size_t lastBackslash = text.rfind(u'\\');
  ASSERT_NE(lastBackslash, std::u16string::npos) << Printable(text);
  EXPECT_EQ(text.substr(lastBackslash + 1, 13), u"profile_tests") << Printable(text);
}

// Windows XP and Wine leave a cut path unterminated; nothing is written
// beyond the given size either way.
TEST(ProfileFolders, ModulePathCutToTheBuffer) {
  char16_t whole[platform::kPathUnits] = {};
  Profile().ModuleFileName(whole, platform::kPathUnits);
  char16_t path[16];
  std::fill(std::begin(path), std::end(path), u'#');
  Profile().ModuleFileName(path, 8);
  EXPECT_EQ(std::u16string(path, 7), std::u16string(whole, 7));
  EXPECT_TRUE(path[7] == u'\0' || path[7] == whole[7]);
  EXPECT_EQ(std::u16string(path + 8, 8), std::u16string(8, u'#'));
}

TEST(ProfileFolders, AppDataFolderIsAnExistingFolder) {
  char16_t folder[platform::kPathUnits] = {};
  if (Profile().AppDataFolder(folder) != platform::kShellOk) GTEST_SKIP() << "this user has no such folder";
  std::u16string text(folder);
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), u'\\') << "no trailing backslash";
  EXPECT_NE(text.find(u'\\'), std::u16string::npos);
  for (char16_t& unit : text) {
    if (unit == u'\\') unit = u'/';
  }
  EXPECT_TRUE(fs::is_directory(fs::path(text))) << Printable(text);
}

}  // namespace
