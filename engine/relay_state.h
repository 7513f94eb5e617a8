// Everything one relay shares between the user-interface thread and the two
// workers. The user-interface thread creates it all before the workers start
// and releases it after they have ended; the workers only read the members
// and use the objects.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/sample_ring.h"
#include "platform/kernel.h"
#include "platform/unique_handle.h"

struct RelayState;

// 4410 frames of 16-bit stereo at 44100 Hz: 100 ms, one device read.
constexpr std::uint32_t kPcmChunkBytes = 17640;

struct CaptureParam {
  RelayState* owner = nullptr;
};

struct PlaybackParam {
  RelayState* owner = nullptr;
  std::int32_t waveOutIndex = -1;
};

struct RelayState {
  RelayState() = default;
  RelayState(const RelayState&) = delete;
  RelayState& operator=(const RelayState&) = delete;
  // Closes a device that is still open: a capture thread that outlived its
  // stop releases the state, and with it the device, when it ends.
  ~RelayState();

  PlaybackParam playbackParam;
  CaptureParam captureParam;
  // The virtual audio device; closed by the relay's stop through the device seam.
  platform::Handle device = nullptr;
  platform::UniqueHandle dataReadyEvent;
  platform::UniqueHandle spaceFreedEvent;
  std::uint32_t readSize = 0;
  std::unique_ptr<std::uint8_t[]> readBuffer;
  platform::UniqueHandle playbackThread;
  platform::UniqueHandle captureThread;
  platform::UniqueHandle stopPlaybackEvent;
  platform::UniqueHandle stopCaptureEvent;
  platform::UniqueHandle playbackIdleEvent;
  platform::UniqueHandle ringMutex;
  std::uint32_t ringSize = 0;
  std::unique_ptr<SampleRing> ring;
};

// 0 when every event and the mutex were made; -1 at the first that was not,
// leaving what was made before it in place for ReleaseRelayObjects.
int CreateRelayObjects(RelayState* owner);
// Frees the buffers and closes the events and the mutex; skips what is absent.
void ReleaseRelayObjects(RelayState* owner);
