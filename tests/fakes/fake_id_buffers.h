// An ID-buffer heap for tests: hands out real buffers filled with a noise
// pattern, and tells frees of buffers it never gave or gave back already
// from proper ones. Installed for the life of the object. One thread.
#pragma once

#include <map>
#include <set>

#include "endpoints/id_buffer.h"

namespace fakes {

class FakeIdBufferHeap final : public IdBufferHeap {
 public:
  FakeIdBufferHeap();
  ~FakeIdBufferHeap() override;

  // The nth allocation (1-based) answers null; 0 fails none.
  void FailAllocation(int nth) { failAllocation_ = nth; }

  char16_t* Allocate() override;
  void Free(char16_t* buffer) override;

  int allocations() const { return allocations_; }
  int frees() const { return frees_; }
  // Frees of an address not handed out, or handed out and freed before.
  int badFrees() const { return badFrees_; }
  int live() const { return static_cast<int>(live_.size()); }
  bool IsLive(const void* buffer) const;
  // How often each buffer ever handed out was freed.
  const std::map<const void*, int>& freeCounts() const { return freeCounts_; }

 private:
  int failAllocation_ = 0;
  int allocations_ = 0;
  int frees_ = 0;
  int badFrees_ = 0;
  std::set<const void*> live_;
  std::map<const void*, int> freeCounts_;
};

}  // namespace fakes
