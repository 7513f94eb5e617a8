#include "platform/wave_out_devices.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<WaveOutDeviceQueries*> g_override{nullptr};
}  // namespace

WaveOutDeviceQueries& WaveOutDevices() {
  WaveOutDeviceQueries* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemWaveOutDevices();
}

void SetWaveOutDevicesForTesting(WaveOutDeviceQueries* devices) {
  g_override.store(devices, std::memory_order_release);
}

}  // namespace platform
