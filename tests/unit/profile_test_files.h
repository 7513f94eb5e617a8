// Files for the profile and settings tests: the fixture folder, scratch
// folders that vanish with the test, and paths in the seam's backslash form.
// One test thread uses them.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace profile_test_files {

namespace fs = std::filesystem;

// The seam takes and gives Windows-shaped paths on every platform.
inline std::u16string SeamPath(const fs::path& path) {
  std::u16string text = path.u16string();
  for (char16_t& unit : text) {
    if (unit == u'/') unit = u'\\';
  }
  return text;
}

// The source tree, from the environment the test runner sets. Under Wine it
// holds the Unix path, which Windows reads as relative to the current drive;
// Wine shows the Unix root as drive Z:.
inline fs::path SourceFolder() {
  const char* source = std::getenv("ULVEX_SOURCE_DIR");
  if (!source) return {};
  fs::path root(source);
  if (!root.is_absolute() && root.has_root_directory()) root = fs::path(u"Z:" + root.u16string());
  return root;
}

inline fs::path FixtureFolder() { return SourceFolder() / "tests" / "data" / "profile"; }

inline fs::path Fixture(const char* name) {
  const fs::path path = FixtureFolder() / name;
  EXPECT_TRUE(fs::is_regular_file(path)) << "fixture " << path.string() << " (is ULVEX_SOURCE_DIR set?)";
  return path;
}

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path.string();
}

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("ulvex-profile-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace profile_test_files
