#include "tests/fakes/fake_profile.h"

#include <algorithm>

namespace fakes {
namespace {

std::uint32_t CopyCut(const std::u16string& text, char16_t* buffer, std::uint32_t size) {
  if (size == 0) return 0;
  const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), size - 1));
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = u'\0';
  return count;
}

}  // namespace

FakeProfile::FakeProfile() : real_(platform::SystemProfile()) { platform::SetProfileForTesting(this); }

FakeProfile::~FakeProfile() { platform::SetProfileForTesting(nullptr); }

int FakeProfile::Count(const std::string& op) const {
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [&](const Call& call) { return call.op == op; }));
}

int FakeProfile::ReadInt(const std::u16string& section, const std::u16string& key, int defaultValue,
                         const std::u16string& file) {
  calls_.push_back({"readint", file, section, key, {}});
  return real_.ReadInt(section, key, defaultValue, file);
}

std::uint32_t FakeProfile::ReadString(const std::u16string& section, const std::u16string& key,
                                      const std::u16string& defaultText, char16_t* buffer, std::uint32_t size,
                                      const std::u16string& file) {
  calls_.push_back({"readstring", file, section, key, {}});
  return real_.ReadString(section, key, defaultText, buffer, size, file);
}

bool FakeProfile::WriteString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                              const std::u16string& file) {
  calls_.push_back({"write", file, section, key, value});
  return real_.WriteString(section, key, value, file);
}

// Like Wine: a path that does not fit fills the buffer and stays unterminated.
std::uint32_t FakeProfile::ModuleFileName(char16_t* buffer, std::uint32_t size) {
  calls_.push_back({"module", {}, {}, {}, {}});
  if (modulePath_.size() < size) return CopyCut(modulePath_, buffer, size);
  std::copy_n(modulePath_.begin(), size, buffer);
  return size;
}

std::int32_t FakeProfile::AppDataFolder(char16_t* buffer) {
  calls_.push_back({"appdata", {}, {}, {}, {}});
  CopyCut(appDataFolder_, buffer, platform::kPathUnits);
  return appDataResult_;
}

bool FakeProfile::CreateFolder(const std::u16string& path) {
  calls_.push_back({"createfolder", path, {}, {}, {}});
  return real_.CreateFolder(path);
}

}  // namespace fakes
