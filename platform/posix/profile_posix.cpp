// The profile-file seam on POSIX: our own INI reader and writer with the
// Windows profile semantics, /proc/self/exe as the module path and the XDG
// configuration folder as the application-data folder.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/posix/ini_document_posix.h"
#include "platform/posix/text_codec_posix.h"
#include "platform/profile.h"

namespace platform {
namespace {

using posix::DecodedText;
using posix::IniDocument;

// Windows' integer reader looks at no more than this many units of the text.
constexpr std::uint32_t kIntegerTextUnits = 30;

std::string ToNativePath(const std::u16string& path) {
  std::u16string slashed = path;
  std::replace(slashed.begin(), slashed.end(), u'\\', u'/');
  return posix::Utf16ToUtf8(slashed);
}

std::u16string FromNativePath(const std::string& path) {
  std::u16string text = posix::Utf8ToUtf16(path);
  std::replace(text.begin(), text.end(), u'/', u'\\');
  return text;
}

std::uint32_t CopyCut(const std::u16string& text, char16_t* buffer, std::uint32_t size) {
  if (size == 0) return 0;
  const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), size - 1));
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = u'\0';
  return count;
}

bool IsDirectory(const std::string& path) {
  struct stat status{};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::optional<std::string> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

// Written beside the file and renamed over it, so a failed write leaves the
// old file whole.
bool ReplaceBytes(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".writing";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

// Windows drops surrounding quotes of either kind from a value.
std::u16string Unquote(const std::u16string& value) {
  if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// As RtlUnicodeStringToInteger with base 0 reads it: leading control
// characters and spaces skipped, one sign, a 0x, 0o or 0b prefix, digits up to
// the first that does not fit the base, wrapping at 32 bits.
std::uint32_t ParseProfileInteger(const std::u16string& text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] <= u' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) negative = text[at++] == u'-';
  std::uint32_t base = 10;
  if (at + 1 < text.size() && text[at] == u'0') {
    const char16_t mark = text[at + 1];
    if (mark == u'x') base = 16;
    if (mark == u'o') base = 8;
    if (mark == u'b') base = 2;
    if (base != 10) at += 2;
  }
  std::uint32_t total = 0;
  for (; at < text.size(); ++at) {
    const char16_t unit = text[at];
    std::uint32_t digit = 36;
    if (unit >= u'0' && unit <= u'9') digit = unit - u'0';
    if (unit >= u'A' && unit <= u'Z') digit = unit - u'A' + 10;
    if (unit >= u'a' && unit <= u'z') digit = unit - u'a' + 10;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return negative ? 0u - total : total;
}

std::optional<std::u16string> FindValue(const std::u16string& section, const std::u16string& key,
                                        const std::u16string& file) {
  const std::optional<std::string> bytes = ReadBytes(ToNativePath(file));
  if (!bytes) return std::nullopt;
  return IniDocument(posix::DecodeProfileBytes(*bytes).text).Find(section, key);
}

std::u16string WithoutTrailingSpaces(std::u16string text) {
  while (!text.empty() && text.back() == u' ') text.pop_back();
  return text;
}

class PosixProfile final : public ProfileFiles {
 public:
  int ReadInt(const std::u16string& section, const std::u16string& key, int defaultValue,
              const std::u16string& file) override {
    char16_t text[kIntegerTextUnits];
    if (ReadString(section, key, u"", text, kIntegerTextUnits, file) == 0) return defaultValue;
    return static_cast<int>(ParseProfileInteger(text));
  }

  std::uint32_t ReadString(const std::u16string& section, const std::u16string& key,
                           const std::u16string& defaultText, char16_t* buffer, std::uint32_t size,
                           const std::u16string& file) override {
    const std::optional<std::u16string> value = FindValue(section, key, file);
    return CopyCut(value ? Unquote(*value) : Unquote(WithoutTrailingSpaces(defaultText)), buffer, size);
  }

  bool WriteString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                   const std::u16string& file) override {
    const std::string path = ToNativePath(file);
    DecodedText decoded;
    struct stat status{};
    if (::stat(path.c_str(), &status) == 0) {
      const std::optional<std::string> bytes = ReadBytes(path);
      if (!bytes) return false;
      decoded = posix::DecodeProfileBytes(*bytes);
    } else if (errno != ENOENT) {
      return false;
    }
    IniDocument document(decoded.text);
    if (!document.Set(section, key, value)) return true;
    return ReplaceBytes(path, posix::EncodeProfileText(document.Text(), decoded.encoding));
  }

  std::uint32_t ModuleFileName(char16_t* buffer, std::uint32_t size) override {
    std::string target(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return CopyCut(u"", buffer, size);
    target.resize(static_cast<std::size_t>(length));
    const std::u16string path = FromNativePath(target);
    const std::uint32_t copied = CopyCut(path, buffer, size);
    return copied < path.size() ? size : copied;
  }

  std::int32_t AppDataFolder(char16_t* buffer) override {
    buffer[0] = u'\0';
    std::string folder;
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (configHome && configHome[0] == '/') {
      folder = configHome;
    } else if (home && home[0] == '/') {
      folder = std::string(home) + "/.config";
    } else {
      return kShellFail;
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const std::u16string path = FromNativePath(folder);
    if (path.size() >= kPathUnits || !IsDirectory(folder)) return kShellFail;
    CopyCut(path, buffer, kPathUnits);
    return kShellOk;
  }

  bool CreateFolder(const std::u16string& path) override {
    const std::string native = ToNativePath(path);
    return ::mkdir(native.c_str(), 0777) == 0 || IsDirectory(native);
  }
};

}  // namespace

ProfileFiles& SystemProfile() {
  static PosixProfile profile;
  return profile;
}

}  // namespace platform
