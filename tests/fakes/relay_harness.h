// One relay's state for worker tests: made at construction, released at
// destruction after both workers have been stopped. The workers are started
// and stopped as the relay's own start and stop do. The test's thread alone
// uses it.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "engine/capture_thread.h"
#include "engine/playback_thread.h"
#include "engine/relay_state.h"
#include "platform/kernel.h"

namespace fakes {

class RelayHarness {
 public:
  static constexpr std::uint32_t kStopWaitMs = 2000;
  // A thread that outlives this would use freed objects; wait long at the end.
  static constexpr std::uint32_t kLastWaitMs = 30000;

  RelayHarness() {
    created = CreateRelayObjects(&state) == 0;
    state.captureParam.owner = &state;
    state.playbackParam.owner = &state;
  }
  ~RelayHarness() {
    StopPlayback(kLastWaitMs);
    StopCapture(kLastWaitMs);
    ReleaseRelayObjects(&state);
  }
  RelayHarness(const RelayHarness&) = delete;
  RelayHarness& operator=(const RelayHarness&) = delete;

  bool StartCapture() {
    platform::Kernel().ResetEvent(state.stopCaptureEvent.get());
    state.captureThread.reset(platform::Kernel().StartThread(CaptureThreadProc, &state.captureParam));
    return static_cast<bool>(state.captureThread);
  }

  bool StartPlayback(std::int32_t waveOutIndex) {
    state.playbackParam.waveOutIndex = waveOutIndex;
    platform::Kernel().ResetEvent(state.stopPlaybackEvent.get());
    state.playbackThread.reset(platform::Kernel().StartThread(PlaybackThreadProc, &state.playbackParam));
    return static_cast<bool>(state.playbackThread);
  }

  // True when the thread has ended within the time-out (or never ran).
  bool StopPlayback(std::uint32_t timeoutMs = kStopWaitMs) {
    return Stop(state.playbackThread, state.stopPlaybackEvent.get(), state.dataReadyEvent.get(), timeoutMs);
  }
  bool StopCapture(std::uint32_t timeoutMs = kStopWaitMs) {
    return Stop(state.captureThread, state.stopCaptureEvent.get(), state.spaceFreedEvent.get(), timeoutMs);
  }

  // What a capture write does: into the ring, then tell the playback side.
  void Feed(const std::vector<std::uint8_t>& bytes) {
    SampleRingWrite(static_cast<std::uint32_t>(bytes.size()), state.ring.get(), bytes.data(), state.ringMutex.get());
    platform::Kernel().SetEvent(state.dataReadyEvent.get());
  }

  std::vector<std::uint8_t> DrainRing() {
    std::vector<std::uint8_t> bytes(state.ringSize);
    bytes.resize(SampleRingRead(state.ringSize, state.ring.get(), bytes.data(), state.ringMutex.get()));
    return bytes;
  }

  bool created = false;
  RelayState state;

 private:
  static bool Stop(platform::UniqueHandle& thread, platform::Handle stopEvent, platform::Handle wakeEvent,
                   std::uint32_t timeoutMs) {
    if (!thread) return true;
    platform::Kernel().SetEvent(stopEvent);
    platform::Kernel().SetEvent(wakeEvent);
    if (platform::Kernel().Wait(thread.get(), timeoutMs) != platform::WaitResult::Signalled) return false;
    thread.reset();
    return true;
  }
};

}  // namespace fakes
