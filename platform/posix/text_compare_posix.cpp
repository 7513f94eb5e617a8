// Letter case folded for ASCII and Latin-1, then compared code unit by code
// unit: enough for the endpoint names and IDs this build meets. Windows
// compares linguistically; texts that differ only in punctuation may sort
// differently here.
#include "platform/text_compare.h"

namespace platform {
namespace {

char16_t FoldCase(char16_t unit) {
  if (unit >= u'a' && unit <= u'z') return static_cast<char16_t>(unit - 0x20);
  // Latin-1 small letters à to þ, without the division sign.
  if (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) return static_cast<char16_t>(unit - 0x20);
  return unit;
}

}  // namespace

int CompareTextIgnoringCase(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    const char16_t left = FoldCase(*a);
    const char16_t right = FoldCase(*b);
    if (left != right) return left < right ? -1 : 1;
    if (left == 0) return 0;
  }
}

}  // namespace platform
