#include "platform/posix/text_codec_posix.h"

#include <cstdint>

namespace platform::posix {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at bytes[at], with its code point;
// 0 when the sequence is ill-formed (overlong, surrogate, beyond U+10FFFF or cut).
std::size_t DecodeOne(const std::string& bytes, std::size_t at, char32_t* point) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  std::size_t length;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    *point = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[at + i]);
    if (!IsContinuation(next)) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *point = value;
  return length;
}

void AppendUtf16(char32_t point, std::u16string* out) {
  if (point < 0x10000) {
    out->push_back(static_cast<char16_t>(point));
    return;
  }
  point -= 0x10000;
  out->push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
  out->push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

void AppendUtf8(char32_t point, std::string* out) {
  if (point < 0x80) {
    out->push_back(static_cast<char>(point));
  } else if (point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (point >> 6)));
    out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
  } else if (point < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (point >> 18)));
    out->push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
  }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::u16string Utf16FromBytes(const std::string& bytes, std::size_t from, bool bigEndian) {
  std::u16string text;
  text.reserve((bytes.size() - from) / 2);
  for (std::size_t at = from; at + 1 < bytes.size(); at += 2) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    text.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return text;
}

std::string BytesFromUtf16(const std::u16string& text, bool bigEndian) {
  std::string bytes;
  bytes.reserve(text.size() * 2 + 2);
  const auto put = [&](char16_t unit) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes.push_back(bigEndian ? high : low);
    bytes.push_back(bigEndian ? low : high);
  };
  put(u'\uFEFF');
  for (char16_t unit : text) put(unit);
  return bytes;
}

bool StartsWith(const std::string& bytes, const char* mark, std::size_t length) {
  return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t point = 0;
    const std::size_t length = DecodeOne(bytes, at, &point);
    if (length == 0) {
      text.push_back(kReplacement);
      ++at;
    } else {
      AppendUtf16(point, &text);
      at += length;
    }
  }
  return text;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t unit = text[at];
    if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
      AppendUtf8(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[at + 1] - 0xDC00), &bytes);
      ++at;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(kReplacement, &bytes);
    } else {
      AppendUtf8(unit, &bytes);
    }
  }
  return bytes;
}

DecodedText DecodeProfileBytes(const std::string& bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) return {TextEncoding::Utf8WithBom, Utf8ToUtf16(bytes.substr(3))};
  if (StartsWith(bytes, "\xFF\xFE", 2)) return {TextEncoding::Utf16LeWithBom, Utf16FromBytes(bytes, 2, false)};
  if (StartsWith(bytes, "\xFE\xFF", 2)) return {TextEncoding::Utf16BeWithBom, Utf16FromBytes(bytes, 2, true)};
  return {TextEncoding::Ansi, Utf8ToUtf16(bytes)};
}

std::string EncodeProfileText(const std::u16string& text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8WithBom:
      return "\xEF\xBB\xBF" + Utf16ToUtf8(text);
    case TextEncoding::Utf16LeWithBom:
      return BytesFromUtf16(text, false);
    case TextEncoding::Utf16BeWithBom:
      return BytesFromUtf16(text, true);
    case TextEncoding::Ansi:
      break;
  }
  return Utf16ToUtf8(text);
}

}  // namespace platform::posix
