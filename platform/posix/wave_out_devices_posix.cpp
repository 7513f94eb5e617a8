// The wave-out queries without winmm: one output device, number 0, which
// plays to the default output endpoint of this build's catalogue.
#include <cstdlib>
#include <cstring>

#include "platform/posix/default_output.h"
#include "platform/wave_out_devices.h"

namespace platform {
namespace {

constexpr std::uint32_t kIdBytes = sizeof(kDefaultOutputEndpointId);

class PosixWaveOutDevices final : public WaveOutDeviceQueries {
 public:
  unsigned GetNumDevs() override { return 1; }

  MmResult QueryFunctionInstanceIdSize(unsigned device, std::uint32_t* bytes) override {
    if (device != 0) return kMmSysErrBadDeviceId;
    *bytes = kIdBytes;
    return kMmSysErrNoError;
  }

  MmResult QueryFunctionInstanceId(unsigned device, void* buffer, std::uint32_t bytes) override {
    if (device != 0) return kMmSysErrBadDeviceId;
    if (bytes < kIdBytes) return kMmSysErrError;
    std::memcpy(buffer, kDefaultOutputEndpointId, kIdBytes);
    return kMmSysErrNoError;
  }

  void* AllocateQueryBuffer(std::size_t bytes) override { return std::malloc(bytes); }
  void FreeQueryBuffer(void* block) override { std::free(block); }
};

}  // namespace

WaveOutDeviceQueries& SystemWaveOutDevices() {
  static PosixWaveOutDevices devices;
  return devices;
}

}  // namespace platform
