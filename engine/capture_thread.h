// The capture thread: drains the virtual audio device into the relay's ring
// for as long as the relay runs. It owns nothing but a second device handle
// for the start request; everything else belongs to the RelayState.
#pragma once

#include <cstdint>

// After a read, the next waits this long at most for the playback side.
constexpr std::uint32_t kCapturePaceMs = 50;

// Thread procedure; `param` is the RelayState's captureParam. Returns 0.
unsigned CaptureThreadProc(void* param);
