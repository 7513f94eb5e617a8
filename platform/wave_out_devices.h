// The wave-out device queries: how many output devices there are and which
// endpoint each plays to, with the task memory the query buffers come from.
// Stateless; called from the UI thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using MmResult = std::uint32_t;
constexpr MmResult kMmSysErrNoError = 0;
constexpr MmResult kMmSysErrError = 1;
constexpr MmResult kMmSysErrBadDeviceId = 2;
constexpr MmResult kMmSysErrNotSupported = 8;

class WaveOutDeviceQueries {
 public:
  virtual ~WaveOutDeviceQueries() = default;

  // waveOutGetNumDevs.
  virtual unsigned GetNumDevs() = 0;
  // waveOutMessage(device, DRV_QUERYFUNCTIONINSTANCEIDSIZE): the ID's size in bytes.
  virtual MmResult QueryFunctionInstanceIdSize(unsigned device, std::uint32_t* bytes) = 0;
  // waveOutMessage(device, DRV_QUERYFUNCTIONINSTANCEID): the ID into buffer, which holds bytes.
  virtual MmResult QueryFunctionInstanceId(unsigned device, void* buffer, std::uint32_t bytes) = 0;

  // CoTaskMemAlloc / CoTaskMemFree. Null when the block cannot be had.
  virtual void* AllocateQueryBuffer(std::size_t bytes) = 0;
  virtual void FreeQueryBuffer(void* block) = 0;
};

// The implementation in force: the platform's own unless a test installed another.
WaveOutDeviceQueries& WaveOutDevices();
WaveOutDeviceQueries& SystemWaveOutDevices();
// For tests; pass null to go back to the platform's own.
void SetWaveOutDevicesForTesting(WaveOutDeviceQueries* devices);

}  // namespace platform
