// Scripted wave-out devices for tests: each reports an ID (or fails either
// query), every query is logged, query buffers are counted, and the fake
// checks that each buffer was zeroed and sized as the queries require.
// Installed for the life of the object. One thread.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/wave_out_devices.h"

namespace fakes {

struct FakeWaveOutDevice {
  std::u16string id;
  platform::MmResult sizeResult = platform::kMmSysErrNoError;
  platform::MmResult idResult = platform::kMmSysErrNoError;
  // The size the first query reports; by default the ID's bytes with its terminator.
  std::optional<std::uint32_t> reportedBytes;
};

class FakeWaveOutDevices final : public platform::WaveOutDeviceQueries {
 public:
  explicit FakeWaveOutDevices(std::vector<FakeWaveOutDevice> devices = {});
  ~FakeWaveOutDevices() override;

  // The nth allocation (1-based) answers null; 0 fails none.
  void FailAllocation(int nth) { failAllocation_ = nth; }

  unsigned GetNumDevs() override;
  platform::MmResult QueryFunctionInstanceIdSize(unsigned device, std::uint32_t* bytes) override;
  platform::MmResult QueryFunctionInstanceId(unsigned device, void* buffer, std::uint32_t bytes) override;
  void* AllocateQueryBuffer(std::size_t bytes) override;
  void FreeQueryBuffer(void* block) override;

  // "count", "size 0", "id 0", "alloc 78", "free".
  const std::vector<std::string>& log() const { return log_; }
  // Size and ID queries together.
  int queries() const { return queries_; }
  int allocations() const { return allocations_; }
  int liveBlocks() const { return static_cast<int>(blocks_.size()); }
  int badFrees() const { return badFrees_; }
  // ID queries on a block not zeroed whole, not ours, or told another size than reported.
  int badIdQueries() const { return badIdQueries_; }

 private:
  std::vector<FakeWaveOutDevice> devices_;
  std::map<void*, std::size_t> blocks_;
  std::vector<std::string> log_;
  int failAllocation_ = 0;
  int allocations_ = 0;
  int queries_ = 0;
  int badFrees_ = 0;
  int badIdQueries_ = 0;
};

}  // namespace fakes
