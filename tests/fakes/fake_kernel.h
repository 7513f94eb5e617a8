// A kernel seam for tests: passes every call to the platform's own objects,
// counts what was made and closed, and can refuse the Nth creation of an
// event or mutex. Installed for the life of the object. Thread-safe.
#pragma once

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/kernel.h"

namespace fakes {

class FakeKernel : public platform::KernelObjects {
 public:
  FakeKernel();
  ~FakeKernel() override;

  // 1-based count over NewEvent and NewMutex calls together; 0 fails none.
  void FailCreation(int nth) { failCreation_ = nth; }

  int creations() const { return creations_; }
  int closes() const { return closes_; }
  // Objects made through this seam and not closed yet.
  int open() const;
  bool IsOpen(platform::Handle handle) const;

  struct Call {
    std::string op;  // "set", "reset", "wait", "waitany", "release", "close"
    platform::Handle handle;
    std::uint32_t timeoutMs;
  };
  // Every call on objects, in order; WaitAny is logged once with its first object.
  std::vector<Call> calls() const;
  std::vector<std::string> CallsOn(platform::Handle handle) const;
  void ClearCalls();

  platform::Handle NewEvent() override;
  bool SetEvent(platform::Handle event) override;
  bool ResetEvent(platform::Handle event) override;
  platform::Handle NewMutex() override;
  bool ReleaseMutex(platform::Handle mutex) override;
  platform::WaitResult Wait(platform::Handle object, std::uint32_t timeoutMs) override;
  int WaitAny(const platform::Handle* objects, int count, std::uint32_t timeoutMs) override;
  platform::Handle StartThread(platform::ThreadProc proc, void* param) override;
  bool Close(platform::Handle object) override;

 private:
  platform::Handle Track(platform::Handle made);
  bool RefuseThisCreation();
  void Record(const char* op, platform::Handle handle, std::uint32_t timeoutMs = 0);

  platform::KernelObjects& real_;
  std::atomic<int> failCreation_{0};
  std::atomic<int> creations_{0};
  std::atomic<int> closes_{0};
  mutable std::mutex lock_;
  std::set<platform::Handle> open_;
  std::vector<Call> calls_;
};

}  // namespace fakes
