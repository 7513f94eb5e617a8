// Comparison of UTF-16 texts with letter case ignored, as the platform does it
// (lstrcmpiW on Windows). Any thread.
#pragma once

namespace platform {

// Below, at or above 0 as a sorts before, with or after b. Both zero-terminated.
int CompareTextIgnoringCase(const char16_t* a, const char16_t* b);

}  // namespace platform
