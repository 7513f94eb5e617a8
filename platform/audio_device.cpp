#include "platform/audio_device.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<AudioDeviceAccess*> g_override{nullptr};
}  // namespace

AudioDeviceAccess& AudioDevice() {
  AudioDeviceAccess* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemAudioDevice();
}

void SetAudioDeviceForTesting(AudioDeviceAccess* device) { g_override.store(device, std::memory_order_release); }

}  // namespace platform
