#include "engine/relay_state.h"

#include <cstring>

#include "platform/audio_device.h"

namespace {

bool CreateEventInto(platform::UniqueHandle& member, bool initiallySet) {
  member.reset(platform::Kernel().NewEvent());
  if (!member) return false;
  if (initiallySet) platform::Kernel().SetEvent(member.get());
  return true;
}

}  // namespace

RelayState::~RelayState() {
  if (platform::IsOpenDevice(device)) platform::AudioDevice().Close(device);
}

int CreateRelayObjects(RelayState* owner) {
  owner->device = nullptr;
  // A stop closes the handle of every thread that ended; one that is still
  // running belongs to the stop's own bookkeeping by now, not to this relay.
  owner->playbackThread.release();
  owner->captureThread.release();

  if (!CreateEventInto(owner->dataReadyEvent, false)) return -1;
  if (!CreateEventInto(owner->spaceFreedEvent, true)) return -1;
  if (!CreateEventInto(owner->stopPlaybackEvent, false)) return -1;
  if (!CreateEventInto(owner->stopCaptureEvent, false)) return -1;
  if (!CreateEventInto(owner->playbackIdleEvent, true)) return -1;
  owner->ringMutex.reset(platform::Kernel().NewMutex());
  if (!owner->ringMutex) return -1;

  owner->readSize = kPcmChunkBytes;
  owner->readBuffer.reset(new std::uint8_t[owner->readSize]);
  std::memset(owner->readBuffer.get(), 0, owner->readSize);

  owner->ringSize = kPcmChunkBytes;
  owner->ring.reset(new SampleRing);
  SampleRingInit(owner->ring.get(), owner->ringSize);
  return 0;
}

void ReleaseRelayObjects(RelayState* owner) {
  owner->readBuffer.reset();
  if (owner->ring) {
    owner->ring->storage.reset();
    owner->ring.reset();
  }
  owner->ringMutex.reset();
  owner->dataReadyEvent.reset();
  owner->spaceFreedEvent.reset();
  owner->stopPlaybackEvent.reset();
  owner->stopCaptureEvent.reset();
  owner->playbackIdleEvent.reset();
}
