// What only the POSIX substitute of the profile seam does: Linux paths and
// folders, files without a byte-order mark read as UTF-8, and a write that
// keeps every other line byte for byte.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "platform/posix/text_codec_posix.h"
#include "platform/profile.h"
#include "tests/unit/profile_test_files.h"

namespace {

namespace fs = std::filesystem;
using platform::Profile;
using profile_test_files::ReadBytes;
using profile_test_files::ScratchFolder;
using profile_test_files::SeamPath;
using profile_test_files::WriteBytes;

std::u16string ReadText(const std::u16string& section, const std::u16string& key, const fs::path& file) {
  char16_t buffer[512];
  Profile().ReadString(section, key, u"", buffer, 512, SeamPath(file));
  return buffer;
}

// Sets an environment variable for one test, and puts back what was there.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(PosixProfileText, FileWithoutMarkIsUtf8) {
  ScratchFolder scratch;
  const fs::path file = scratch.path() / "plain.ini";
  WriteBytes(file, "[frmMain]\nbuttonRun=\xE5\x90\xAF\xE5\x8A\xA8\nbad=a\xFF" "b\n");
  EXPECT_EQ(ReadText(u"frmMain", u"buttonRun", file), u"\u542F\u52A8");
  EXPECT_EQ(ReadText(u"frmMain", u"bad", file), u"a\uFFFDb") << "an ill-formed byte becomes U+FFFD";
}

TEST(PosixProfileText, BigEndianUnicodeIsRead) {
  ScratchFolder scratch;
  const fs::path file = scratch.path() / "be.ini";
  const std::u16string text = u"[frmMain]\r\nbuttonStop=\u505C\u6B62\r\n";
  std::string bytes = "\xFE\xFF";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit >> 8);
    bytes += static_cast<char>(unit & 0xFF);
  }
  WriteBytes(file, bytes);
  EXPECT_EQ(ReadText(u"frmMain", u"buttonStop", file), u"\u505C\u6B62");
}

TEST(PosixProfileText, Utf8RoundTripsEveryPlane) {
  const std::u16string text = u"a\u00E9\u542F\U0001F600";
  EXPECT_EQ(platform::posix::Utf8ToUtf16(platform::posix::Utf16ToUtf8(text)), text);
  EXPECT_EQ(platform::posix::Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx") << "a lone surrogate";
  EXPECT_EQ(platform::posix::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD") << "an overlong form";
}

struct KeepCase {
  const char* name;
  std::string before;
  std::string after;
};

const KeepCase kKeeps[] = {
    {"replace in place, LF kept", "; note\n\n[setting]\n  autoConnect = 0  \nother=1\n\n[common]\nlanguage=2\n",
     "; note\n\n[setting]\nautoConnect=1\nother=1\n\n[common]\nlanguage=2\n"},
    {"add after the section's last line", "[setting]\r\nother=1\r\n\r\n[common]\r\nlanguage=2\r\n",
     "[setting]\r\nother=1\r\nautoConnect=1\r\n\r\n[common]\r\nlanguage=2\r\n"},
    {"add a section at the end of a file without a last newline", "[common]\nlanguage=2",
     "[common]\nlanguage=2\n[setting]\nautoConnect=1\n"},
    {"a new file", "", "[setting]\r\nautoConnect=1\r\n"},
    {"the same value writes nothing new", "[setting]\nautoConnect=1   \n", "[setting]\nautoConnect=1   \n"},
};

TEST(PosixProfileWrite, EveryOtherLineStaysByteForByte) {
  for (const KeepCase& c : kKeeps) {
    SCOPED_TRACE(c.name);
    ScratchFolder scratch;
    const fs::path file = scratch.path() / "config.ini";
    if (!c.before.empty()) WriteBytes(file, c.before);
    ASSERT_TRUE(Profile().WriteString(u"setting", u"autoConnect", u"1", SeamPath(file)));
    EXPECT_EQ(ReadBytes(file), c.after);
  }
}

TEST(PosixProfileWrite, MarkOfTheFileIsKept) {
  ScratchFolder scratch;
  const fs::path file = scratch.path() / "config.ini";
  WriteBytes(file, "\xEF\xBB\xBF[setting]\r\n");
  ASSERT_TRUE(Profile().WriteString(u"setting", u"autoConnect", u"1", SeamPath(file)));
  EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF[setting]\r\nautoConnect=1\r\n");
}

TEST(PosixProfileWrite, LeavesNoTemporaryFileBehind) {
  ScratchFolder scratch;
  ASSERT_TRUE(Profile().WriteString(u"setting", u"autoConnect", u"1", SeamPath(scratch.path() / "config.ini")));
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(scratch.path())) {
    EXPECT_EQ(entry.path().filename(), "config.ini");
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(PosixProfilePaths, BackslashesAndSlashesNameTheSameFile) {
  ScratchFolder scratch;
  const fs::path file = scratch.path() / "config.ini";
  ASSERT_TRUE(Profile().WriteString(u"setting", u"autoConnect", u"1", SeamPath(file)));
  EXPECT_EQ(Profile().ReadInt(u"setting", u"autoConnect", 0, file.u16string()), 1);
  EXPECT_NE(SeamPath(file).find(u'\\'), std::u16string::npos);
}

TEST(PosixProfilePaths, ModulePathIsProcSelfExeWithBackslashes) {
  char16_t path[platform::kPathUnits] = {};
  Profile().ModuleFileName(path, platform::kPathUnits);
  EXPECT_EQ(std::u16string(path), SeamPath(fs::read_symlink("/proc/self/exe")));
}

struct FolderCase {
  const char* name;
  const char* configHome;  // relative to the scratch folder; null unsets it
  const char* home;
  std::int32_t result;
  const char* expected;  // relative to the scratch folder
};

const FolderCase kFolders[] = {
    {"XDG_CONFIG_HOME wins", "xdg", "home", platform::kShellOk, "xdg"},
    {"a trailing slash is dropped", "xdg/", "home", platform::kShellOk, "xdg"},
    {"else HOME/.config", nullptr, "home", platform::kShellOk, "home/.config"},
    {"an empty XDG_CONFIG_HOME counts as unset", "", "home", platform::kShellOk, "home/.config"},
    {"a missing folder is no folder", "absent", "home", platform::kShellFail, nullptr},
    {"neither variable", nullptr, nullptr, platform::kShellFail, nullptr},
};

TEST(PosixProfilePaths, AppDataFolderFollowsXdg) {
  for (const FolderCase& c : kFolders) {
    SCOPED_TRACE(c.name);
    ScratchFolder scratch;
    fs::create_directories(scratch.path() / "xdg");
    fs::create_directories(scratch.path() / "home" / ".config");
    const auto absolute = [&](const char* relative) -> std::string {
      if (!relative) return {};
      return relative[0] ? (scratch.path() / relative).string() : std::string();
    };
    const std::string configHome = absolute(c.configHome);
    const std::string home = absolute(c.home);
    ScopedEnvironment xdg("XDG_CONFIG_HOME", c.configHome ? configHome.c_str() : nullptr);
    ScopedEnvironment homeVariable("HOME", c.home ? home.c_str() : nullptr);

    char16_t folder[platform::kPathUnits] = {u'#'};
    EXPECT_EQ(Profile().AppDataFolder(folder), c.result);
    const std::u16string expected = c.expected ? SeamPath(scratch.path() / c.expected) : u"";
    EXPECT_EQ(std::u16string(folder), expected);
  }
}

TEST(PosixProfilePaths, RelativeXdgIsIgnored) {
  ScratchFolder scratch;
  fs::create_directories(scratch.path() / ".config");
  ScopedEnvironment xdg("XDG_CONFIG_HOME", "relative/path");
  ScopedEnvironment home("HOME", scratch.path().c_str());
  char16_t folder[platform::kPathUnits] = {};
  EXPECT_EQ(Profile().AppDataFolder(folder), platform::kShellOk);
  EXPECT_EQ(std::u16string(folder), SeamPath(scratch.path() / ".config"));
}

}  // namespace
