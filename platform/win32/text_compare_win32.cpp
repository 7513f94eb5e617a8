#include <windows.h>

#include "platform/text_compare.h"

namespace platform {

int CompareTextIgnoringCase(const char16_t* a, const char16_t* b) {
  return ::lstrcmpiW(reinterpret_cast<const wchar_t*>(a), reinterpret_cast<const wchar_t*>(b));
}

}  // namespace platform
