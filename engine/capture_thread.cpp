#include "engine/capture_thread.h"

#include "engine/relay_state.h"
#include "platform/audio_device.h"
#include "platform/kernel.h"

namespace {

using platform::Kernel;
using platform::WaitResult;

// The device is told to start on a handle of its own, which is closed at
// once; a device that refuses the second open is read without the request.
void SendStartRequest() {
  platform::UniqueDeviceHandle control(platform::AudioDevice().Open(platform::kVirtualDevicePath));
  if (control) platform::AudioDevice().Control(control.get(), platform::kDeviceStartRequest);
}

bool StopRequested(const RelayState& state) {
  return Kernel().Wait(state.stopCaptureEvent.get(), 0) == WaitResult::Signalled;
}

bool PlaybackIdle(const RelayState& state) {
  return Kernel().Wait(state.playbackIdleEvent.get(), 0) == WaitResult::Signalled;
}

}  // namespace

unsigned CaptureThreadProc(void* param) {
  RelayState& state = *static_cast<CaptureParam*>(param)->owner;
  SampleRingReset(state.ring.get(), state.ringMutex.get());
  SendStartRequest();

  while (!StopRequested(state)) {
    if (Kernel().Wait(state.spaceFreedEvent.get(), kCapturePaceMs) == WaitResult::Failed) continue;
    std::uint32_t count = 0;
    const bool read = platform::AudioDevice().Read(state.device, state.readBuffer.get(), state.readSize, &count);
    // Also after a failed or empty read: the next read then waits for the
    // playback side or the pace, where it would otherwise spin at full speed
    // for as long as the device is missing or silent.
    Kernel().ResetEvent(state.spaceFreedEvent.get());
    if (!read || count == 0) continue;
    if (PlaybackIdle(state)) continue;
    SampleRingWrite(count, state.ring.get(), state.readBuffer.get(), state.ringMutex.get());
    Kernel().SetEvent(state.dataReadyEvent.get());
  }
  return 0;
}
