#include "platform/posix/ini_document_posix.h"

namespace platform::posix {
namespace {

constexpr std::size_t npos = std::u16string::npos;

std::u16string Trim(const std::u16string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsProfileSpace(text[begin])) ++begin;
  while (end > begin && (text[end - 1] == u'\n' || IsProfileSpace(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

char16_t FoldCase(char16_t unit) { return (unit >= u'A' && unit <= u'Z') ? unit - u'A' + u'a' : unit; }

bool SameName(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

struct ParsedLine {
  enum Kind { Blank, Section, Entry } kind = Blank;
  std::u16string name;
  bool hasValue = false;
  std::u16string value;
};

ParsedLine Parse(const std::u16string& line) {
  ParsedLine parsed;
  const std::u16string content = Trim(line);
  if (content.empty()) return parsed;
  if (content[0] == u'[') {
    const std::size_t close = content.rfind(u']');
    if (close != npos) {
      parsed.kind = ParsedLine::Section;
      parsed.name = Trim(content.substr(1, close - 1));
      return parsed;
    }
  }
  parsed.kind = ParsedLine::Entry;
  const std::size_t equals = content.find(u'=');
  if (equals == npos) {
    parsed.name = content;
    return parsed;
  }
  parsed.name = Trim(content.substr(0, equals));
  parsed.hasValue = true;
  parsed.value = Trim(content.substr(equals + 1));
  return parsed;
}

bool EndsWithNewline(const std::u16string& line) { return !line.empty() && line.back() == u'\n'; }

}  // namespace

bool IsProfileSpace(char16_t unit) {
  return unit == u' ' || (unit >= u'\t' && unit <= u'\r') || unit == u'\x1A';
}

IniDocument::IniDocument(const std::u16string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t newline = text.find(u'\n', start);
    std::size_t end = newline == npos ? text.size() : newline + 1;
    lines_.push_back(text.substr(start, end - start));
    start = end;
  }
}

IniDocument::Place IniDocument::Locate(const std::u16string& section, const std::u16string& key) const {
  const std::u16string wantedSection = Trim(section);
  const std::u16string wantedKey = Trim(key);
  Place place{npos, npos, npos};
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const ParsedLine parsed = Parse(lines_[i]);
    if (parsed.kind == ParsedLine::Section) {
      if (place.section != npos) break;
      if (!parsed.name.empty() && SameName(parsed.name, wantedSection)) place.section = place.lastContent = i;
    } else if (parsed.kind == ParsedLine::Entry && place.section != npos) {
      place.lastContent = i;
      if (place.key == npos && SameName(parsed.name, wantedKey)) place.key = i;
    }
  }
  return place;
}

std::optional<std::u16string> IniDocument::Find(const std::u16string& section, const std::u16string& key) const {
  const Place place = Locate(section, key);
  if (place.key == npos) return std::nullopt;
  const ParsedLine parsed = Parse(lines_[place.key]);
  if (!parsed.hasValue) return std::nullopt;
  return parsed.value;
}

bool IniDocument::Set(const std::u16string& section, const std::u16string& key, const std::u16string& value) {
  std::size_t skip = 0;
  while (skip < value.size() && IsProfileSpace(value[skip])) ++skip;
  const std::u16string stored = value.substr(skip);

  const Place place = Locate(section, key);
  if (place.key != npos) {
    const ParsedLine parsed = Parse(lines_[place.key]);
    if (parsed.hasValue && parsed.value == stored) return false;
    const bool hadNewline = EndsWithNewline(lines_[place.key]);
    lines_[place.key] = parsed.name + u"=" + stored + (hadNewline ? LineEnd() : u"");
    return true;
  }
  const std::u16string entry = Trim(key) + u"=" + stored;
  if (place.section != npos) {
    InsertLine(place.lastContent + 1, entry);
    return true;
  }
  InsertLine(lines_.size(), u"[" + Trim(section) + u"]");
  InsertLine(lines_.size(), entry);
  return true;
}

std::u16string IniDocument::LineEnd() const {
  for (const std::u16string& line : lines_) {
    if (EndsWithNewline(line)) return line.size() >= 2 && line[line.size() - 2] == u'\r' ? u"\r\n" : u"\n";
  }
  return u"\r\n";
}

void IniDocument::InsertLine(std::size_t at, const std::u16string& content) {
  const std::u16string end = LineEnd();
  if (at > 0 && !EndsWithNewline(lines_[at - 1])) lines_[at - 1] += end;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), content + end);
}

std::u16string IniDocument::Text() const {
  std::u16string text;
  for (const std::u16string& line : lines_) text += line;
  return text;
}

}  // namespace platform::posix
