#include "endpoints/wave_out_index.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/text_compare.h"
#include "platform/wave_out_devices.h"

namespace {

using platform::WaveOutDeviceQueries;

struct QueryBufferFree {
  WaveOutDeviceQueries* devices;
  void operator()(void* block) const { devices->FreeQueryBuffer(block); }
};
using QueryBuffer = std::unique_ptr<void, QueryBufferFree>;

enum class Examined { Matches, Differs, OutOfMemory };

// Room for the ID and a zero code unit after it. An odd size gets one more
// byte, so that the terminating unit lies wholly inside the block.
bool QueryBufferBytes(std::uint32_t idBytes, std::size_t* bytes) {
  const std::size_t extra = 2 + (idBytes & 1u);
  if (idBytes > SIZE_MAX - extra) return false;
  *bytes = static_cast<std::size_t>(idBytes) + extra;
  return true;
}

Examined Examine(WaveOutDeviceQueries& devices, unsigned device, const char16_t* endpointId) {
  std::uint32_t idBytes = 0;
  if (devices.QueryFunctionInstanceIdSize(device, &idBytes) != platform::kMmSysErrNoError) return Examined::Differs;
  std::size_t bytes = 0;
  if (!QueryBufferBytes(idBytes, &bytes)) return Examined::OutOfMemory;
  QueryBuffer block(devices.AllocateQueryBuffer(bytes), QueryBufferFree{&devices});
  if (!block) return Examined::OutOfMemory;
  std::memset(block.get(), 0, bytes);
  // Told the ID's own size, the query leaves the zeros after it alone.
  if (devices.QueryFunctionInstanceId(device, block.get(), idBytes) != platform::kMmSysErrNoError) {
    return Examined::Differs;
  }
  const bool same = platform::CompareTextIgnoringCase(static_cast<const char16_t*>(block.get()), endpointId) == 0;
  return same ? Examined::Matches : Examined::Differs;
}

}  // namespace

int FindWaveOutIndex(const char16_t* endpointId) {
  if (!endpointId) return -1;
  WaveOutDeviceQueries& devices = platform::WaveOutDevices();
  const unsigned count = devices.GetNumDevs();
  if (count == 0 || count > INT_MAX) return -1;
  for (unsigned device = 0; device < count; ++device) {
    switch (Examine(devices, device, endpointId)) {
      case Examined::Matches:
        return static_cast<int>(device);
      case Examined::OutOfMemory:
        return -1;
      case Examined::Differs:
        break;
    }
  }
  return -1;
}
