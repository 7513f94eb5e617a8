#include "tests/fakes/fake_id_buffers.h"

#include <algorithm>

namespace fakes {

FakeIdBufferHeap::FakeIdBufferHeap() { SetIdBufferHeapForTesting(this); }

FakeIdBufferHeap::~FakeIdBufferHeap() {
  SetIdBufferHeapForTesting(nullptr);
  // Whatever a test left behind goes, so that the leak is reported by the
  // test's own counts, not by the sanitizer.
  for (const void* buffer : live_) delete[] static_cast<const char16_t*>(buffer);
}

char16_t* FakeIdBufferHeap::Allocate() {
  if (++allocations_ == failAllocation_) return nullptr;
  auto* buffer = new char16_t[kIdBufferUnits];
  // Not cleared: whatever reads it before it is written sees noise.
  std::fill(buffer, buffer + kIdBufferUnits, u'\xCDCD');
  live_.insert(buffer);
  freeCounts_[buffer] = 0;
  return buffer;
}

void FakeIdBufferHeap::Free(char16_t* buffer) {
  ++frees_;
  auto known = freeCounts_.find(buffer);
  if (known != freeCounts_.end()) ++known->second;
  if (live_.erase(buffer) == 0) {
    ++badFrees_;
    return;
  }
  delete[] buffer;
}

bool FakeIdBufferHeap::IsLive(const void* buffer) const { return live_.count(buffer) != 0; }

}  // namespace fakes
