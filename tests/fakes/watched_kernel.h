// The counting kernel of fake_kernel.h, which also lets a test wait until a
// thread has reached a given call: a set or reset has been made, or a wait
// has been entered. Installed for the life of the object. Thread-safe.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <utility>

#include "tests/fakes/fake_kernel.h"

namespace fakes {

class WatchedKernel : public FakeKernel {
 public:
  enum class Op { Set, Reset, WaitEntered, WaitAnyEntered };

  // True once `count` such calls on `handle` (for WaitAny: on its first
  // object) have been made since the kernel was installed.
  bool WaitForCalls(Op op, platform::Handle handle, int count, std::chrono::milliseconds timeout) const;
  int Count(Op op, platform::Handle handle) const;

  bool SetEvent(platform::Handle event) override;
  bool ResetEvent(platform::Handle event) override;
  platform::WaitResult Wait(platform::Handle object, std::uint32_t timeoutMs) override;
  int WaitAny(const platform::Handle* objects, int count, std::uint32_t timeoutMs) override;

 private:
  void Note(Op op, platform::Handle handle);

  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::map<std::pair<Op, platform::Handle>, int> counts_;
};

}  // namespace fakes
