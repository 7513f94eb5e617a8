// Conversions between UTF-16 and the byte forms the POSIX substitutes meet:
// UTF-8 file names and the encodings of profile files. Pure functions; any
// thread may call them.
#pragma once

#include <string>

namespace platform::posix {

// Ill-formed input becomes U+FFFD, one per offending byte or lone surrogate.
std::u16string Utf8ToUtf16(const std::string& bytes);
std::string Utf16ToUtf8(const std::u16string& text);

// How a profile file was stored: the reader detects it from the byte-order
// mark and the writer keeps it. A file without a mark is in the ANSI code
// page, which on Linux is UTF-8.
enum class TextEncoding { Ansi, Utf8WithBom, Utf16LeWithBom, Utf16BeWithBom };

struct DecodedText {
  TextEncoding encoding = TextEncoding::Ansi;
  std::u16string text;
};

DecodedText DecodeProfileBytes(const std::string& bytes);
std::string EncodeProfileText(const std::u16string& text, TextEncoding encoding);

}  // namespace platform::posix
