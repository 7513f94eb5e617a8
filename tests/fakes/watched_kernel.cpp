#include "tests/fakes/watched_kernel.h"

namespace fakes {

void WatchedKernel::Note(Op op, platform::Handle handle) {
  std::lock_guard<std::mutex> guard(lock_);
  ++counts_[{op, handle}];
  changed_.notify_all();
}

int WatchedKernel::Count(Op op, platform::Handle handle) const {
  std::lock_guard<std::mutex> guard(lock_);
  auto found = counts_.find({op, handle});
  return found == counts_.end() ? 0 : found->second;
}

bool WatchedKernel::WaitForCalls(Op op, platform::Handle handle, int count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] {
    auto found = counts_.find({op, handle});
    return found != counts_.end() && found->second >= count;
  });
}

bool WatchedKernel::SetEvent(platform::Handle event) {
  const bool result = FakeKernel::SetEvent(event);
  Note(Op::Set, event);
  return result;
}

bool WatchedKernel::ResetEvent(platform::Handle event) {
  const bool result = FakeKernel::ResetEvent(event);
  Note(Op::Reset, event);
  return result;
}

platform::WaitResult WatchedKernel::Wait(platform::Handle object, std::uint32_t timeoutMs) {
  Note(Op::WaitEntered, object);
  return FakeKernel::Wait(object, timeoutMs);
}

int WatchedKernel::WaitAny(const platform::Handle* objects, int count, std::uint32_t timeoutMs) {
  Note(Op::WaitAnyEntered, count > 0 ? objects[0] : nullptr);
  return FakeKernel::WaitAny(objects, count, timeoutMs);
}

}  // namespace fakes
