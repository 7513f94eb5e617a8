#include "engine/relay_control.h"

#include "endpoints/endpoint_catalogue.h"
#include "endpoints/wave_out_index.h"
#include "engine/capture_thread.h"
#include "engine/playback_thread.h"
#include "platform/audio_device.h"
#include "platform/message_box.h"

namespace {

using platform::Kernel;

// What a worker thread holds: its procedure, its parameter, and a reference
// that keeps the relay's state alive until the procedure has returned.
struct WorkerTicket {
  std::shared_ptr<RelayState> keepAlive;
  platform::ThreadProc proc;
  void* param;
};

unsigned RunWorker(void* raw) {
  std::unique_ptr<WorkerTicket> ticket(static_cast<WorkerTicket*>(raw));
  return ticket->proc(ticket->param);
}

platform::Handle LaunchWorker(const std::shared_ptr<RelayState>& relay, platform::ThreadProc proc, void* param) {
  auto ticket = std::make_unique<WorkerTicket>(WorkerTicket{relay, proc, param});
  platform::Handle thread = Kernel().StartThread(RunWorker, ticket.get());
  if (thread) ticket.release();
  return thread;
}

void SetIfPresent(const platform::UniqueHandle& event) {
  if (event) Kernel().SetEvent(event.get());
}

// Waits for a worker; closes its handle only if it ended. True when it ended
// or was never launched.
bool AwaitWorker(platform::UniqueHandle& thread) {
  if (!thread) return true;
  if (Kernel().Wait(thread.get(), kWorkerStopWaitMs) != platform::WaitResult::Signalled) return false;
  thread.reset();
  return true;
}

}  // namespace

void StartRelay(std::shared_ptr<RelayState>& relay, platform::ListControl& playbackList) {
  relay = std::make_shared<RelayState>();
  if (CreateRelayObjects(relay.get()) == -1) return;
  relay->device = platform::AudioDevice().Open(platform::kVirtualDevicePath);
  Kernel().ResetEvent(relay->stopCaptureEvent.get());
  relay->captureParam.owner = relay.get();
  relay->captureThread.reset(LaunchWorker(relay, CaptureThreadProc, &relay->captureParam));
  StartPlayback(relay, playbackList);
}

int StartPlayback(const std::shared_ptr<RelayState>& relay, platform::ListControl& playbackList) {
  Kernel().ResetEvent(relay->stopPlaybackEvent.get());
  const int index = FindWaveOutIndex(SelectedEndpointId(playbackList));
  if (index < 0) {
    platform::Messages().Show(u"Can't get WaveOutNum", platform::kMbOk);
    return 0;
  }
  relay->playbackParam.owner = relay.get();
  relay->playbackParam.waveOutIndex = index;
  relay->playbackThread.reset(LaunchWorker(relay, PlaybackThreadProc, &relay->playbackParam));
  return relay->playbackThread ? 1 : 0;
}

void StopRelay(std::shared_ptr<RelayState>& relay) {
  if (!relay) return;
  SetIfPresent(relay->stopPlaybackEvent);
  SetIfPresent(relay->dataReadyEvent);
  const bool playbackEnded = AwaitWorker(relay->playbackThread);
  SetIfPresent(relay->stopCaptureEvent);
  SetIfPresent(relay->spaceFreedEvent);
  const bool captureEnded = AwaitWorker(relay->captureThread);

  // Only the capture thread reads the device.
  if (captureEnded && relay->device) {
    platform::AudioDevice().Close(relay->device);
    relay->device = nullptr;
  }
  if (playbackEnded && captureEnded) ReleaseRelayObjects(relay.get());
  // A late worker's reference keeps the rest alive; the state is released when it ends.
  relay.reset();
}
