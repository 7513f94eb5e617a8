#include "tests/fakes/fake_wave_out_devices.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace fakes {

namespace {
std::uint32_t ReportedBytes(const FakeWaveOutDevice& device) {
  if (device.reportedBytes) return *device.reportedBytes;
  return static_cast<std::uint32_t>((device.id.size() + 1) * sizeof(char16_t));
}
}  // namespace

FakeWaveOutDevices::FakeWaveOutDevices(std::vector<FakeWaveOutDevice> devices) : devices_(std::move(devices)) {
  platform::SetWaveOutDevicesForTesting(this);
}

FakeWaveOutDevices::~FakeWaveOutDevices() {
  platform::SetWaveOutDevicesForTesting(nullptr);
  for (auto& block : blocks_) std::free(block.first);
}

unsigned FakeWaveOutDevices::GetNumDevs() {
  log_.push_back("count");
  return static_cast<unsigned>(devices_.size());
}

platform::MmResult FakeWaveOutDevices::QueryFunctionInstanceIdSize(unsigned device, std::uint32_t* bytes) {
  ++queries_;
  log_.push_back("size " + std::to_string(device));
  if (device >= devices_.size()) return platform::kMmSysErrBadDeviceId;
  if (devices_[device].sizeResult != platform::kMmSysErrNoError) return devices_[device].sizeResult;
  *bytes = ReportedBytes(devices_[device]);
  return platform::kMmSysErrNoError;
}

platform::MmResult FakeWaveOutDevices::QueryFunctionInstanceId(unsigned device, void* buffer, std::uint32_t bytes) {
  ++queries_;
  log_.push_back("id " + std::to_string(device));
  if (device >= devices_.size()) return platform::kMmSysErrBadDeviceId;
  const FakeWaveOutDevice& scripted = devices_[device];
  auto block = blocks_.find(buffer);
  const bool zeroed = block != blocks_.end() && std::all_of(static_cast<unsigned char*>(buffer),
                                                            static_cast<unsigned char*>(buffer) + block->second,
                                                            [](unsigned char b) { return b == 0; });
  if (!zeroed || bytes != ReportedBytes(scripted) || block->second < bytes) {
    ++badIdQueries_;
    return platform::kMmSysErrError;
  }
  if (scripted.idResult != platform::kMmSysErrNoError) return scripted.idResult;
  // Like a driver: the ID and its terminator, cut to the room given.
  const std::size_t idBytes = (scripted.id.size() + 1) * sizeof(char16_t);
  std::memcpy(buffer, scripted.id.c_str(), std::min<std::size_t>(idBytes, bytes));
  return platform::kMmSysErrNoError;
}

void* FakeWaveOutDevices::AllocateQueryBuffer(std::size_t bytes) {
  log_.push_back("alloc " + std::to_string(bytes));
  if (++allocations_ == failAllocation_) return nullptr;
  void* block = std::malloc(bytes);
  // Noise, so that a block used without being zeroed shows.
  std::memset(block, 0xA5, bytes);
  blocks_[block] = bytes;
  return block;
}

void FakeWaveOutDevices::FreeQueryBuffer(void* block) {
  log_.push_back("free");
  auto known = blocks_.find(block);
  if (known == blocks_.end()) {
    ++badFrees_;
    return;
  }
  blocks_.erase(known);
  std::free(block);
}

}  // namespace fakes
