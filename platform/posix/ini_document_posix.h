// One profile file's text, line by line, read and edited the way Windows'
// profile functions see it. Owns its text; one thread at a time.
//
// What the reader relies on, as Wine does it: a section starts at a line
// "[ name ]" (the name up to the line's last ']', trimmed); a key line
// is "name = value", trimmed around the name and the value; names match
// without regard to ASCII letter case; only the first section of a name is
// searched and the first key of a name in it counts, even if it has no '='.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform::posix {

class IniDocument {
 public:
  explicit IniDocument(const std::u16string& text);

  // The value of the key, or nothing when the section or key is missing or
  // the key's line has no '='.
  std::optional<std::u16string> Find(const std::u16string& section, const std::u16string& key) const;

  // Sets the key, adding it at the end of its section or a new section at
  // the end of the text; every other line stays as it was. False when the key
  // already held that value.
  bool Set(const std::u16string& section, const std::u16string& key, const std::u16string& value);

  std::u16string Text() const;

 private:
  struct Place {
    std::size_t section;      // the section's header line, or npos
    std::size_t key;          // the key's line, or npos
    std::size_t lastContent;  // the section's last non-blank line
  };
  Place Locate(const std::u16string& section, const std::u16string& key) const;
  std::u16string LineEnd() const;
  void InsertLine(std::size_t at, const std::u16string& content);

  std::vector<std::u16string> lines_;  // each with its own '\n', the last maybe without
};

// Profile whitespace: what Windows trims around names and values, including
// CR and ^Z (a DOS end of file).
bool IsProfileSpace(char16_t unit);

}  // namespace platform::posix
