#include <windows.h>

#include <mmsystem.h>
// After mmsystem.h, whose types it uses.
#include <mmddk.h>
#include <objbase.h>

#include "platform/wave_out_devices.h"

namespace platform {
namespace {

// winmm takes a device number in place of a wave-out handle for these queries.
HWAVEOUT DeviceAsHandle(unsigned device) { return reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)); }

class Win32WaveOutDevices final : public WaveOutDeviceQueries {
 public:
  unsigned GetNumDevs() override { return ::waveOutGetNumDevs(); }

  MmResult QueryFunctionInstanceIdSize(unsigned device, std::uint32_t* bytes) override {
    // Windows writes a ULONG here, Wine a DWORD_PTR: 8 bytes in a 64-bit
    // process. A zeroed DWORD_PTR takes either.
    DWORD_PTR size = 0;
    const MMRESULT result = ::waveOutMessage(DeviceAsHandle(device), DRV_QUERYFUNCTIONINSTANCEIDSIZE,
                                             reinterpret_cast<DWORD_PTR>(&size), 0);
    if (result == MMSYSERR_NOERROR && size > 0xFFFFFFFFu) return MMSYSERR_ERROR;
    *bytes = static_cast<std::uint32_t>(size);
    return result;
  }

  MmResult QueryFunctionInstanceId(unsigned device, void* buffer, std::uint32_t bytes) override {
    return ::waveOutMessage(DeviceAsHandle(device), DRV_QUERYFUNCTIONINSTANCEID, reinterpret_cast<DWORD_PTR>(buffer),
                            bytes);
  }

  void* AllocateQueryBuffer(std::size_t bytes) override { return ::CoTaskMemAlloc(bytes); }
  void FreeQueryBuffer(void* block) override { ::CoTaskMemFree(block); }
};

}  // namespace

WaveOutDeviceQueries& SystemWaveOutDevices() {
  static Win32WaveOutDevices devices;
  return devices;
}

}  // namespace platform
