#include "tests/fakes/fake_kernel.h"

namespace fakes {

FakeKernel::FakeKernel() : real_(platform::SystemKernel()) { platform::SetKernelForTesting(this); }
FakeKernel::~FakeKernel() { platform::SetKernelForTesting(nullptr); }

int FakeKernel::open() const {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<int>(open_.size());
}

bool FakeKernel::IsOpen(platform::Handle handle) const {
  std::lock_guard<std::mutex> guard(lock_);
  return open_.count(handle) != 0;
}

void FakeKernel::Record(const char* op, platform::Handle handle, std::uint32_t timeoutMs) {
  std::lock_guard<std::mutex> guard(lock_);
  calls_.push_back({op, handle, timeoutMs});
}

std::vector<FakeKernel::Call> FakeKernel::calls() const {
  std::lock_guard<std::mutex> guard(lock_);
  return calls_;
}

std::vector<std::string> FakeKernel::CallsOn(platform::Handle handle) const {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<std::string> ops;
  for (const Call& call : calls_)
    if (call.handle == handle) ops.push_back(call.op);
  return ops;
}

void FakeKernel::ClearCalls() {
  std::lock_guard<std::mutex> guard(lock_);
  calls_.clear();
}

bool FakeKernel::RefuseThisCreation() { return ++creations_ == failCreation_; }

platform::Handle FakeKernel::Track(platform::Handle made) {
  if (made) {
    std::lock_guard<std::mutex> guard(lock_);
    open_.insert(made);
  }
  return made;
}

platform::Handle FakeKernel::NewEvent() { return RefuseThisCreation() ? nullptr : Track(real_.NewEvent()); }
platform::Handle FakeKernel::NewMutex() { return RefuseThisCreation() ? nullptr : Track(real_.NewMutex()); }
bool FakeKernel::SetEvent(platform::Handle event) {
  Record("set", event);
  return real_.SetEvent(event);
}

bool FakeKernel::ResetEvent(platform::Handle event) {
  Record("reset", event);
  return real_.ResetEvent(event);
}

bool FakeKernel::ReleaseMutex(platform::Handle mutex) {
  Record("release", mutex);
  return real_.ReleaseMutex(mutex);
}

platform::WaitResult FakeKernel::Wait(platform::Handle object, std::uint32_t timeoutMs) {
  Record("wait", object, timeoutMs);
  return real_.Wait(object, timeoutMs);
}

int FakeKernel::WaitAny(const platform::Handle* objects, int count, std::uint32_t timeoutMs) {
  Record("waitany", count > 0 ? objects[0] : nullptr, timeoutMs);
  return real_.WaitAny(objects, count, timeoutMs);
}

platform::Handle FakeKernel::StartThread(platform::ThreadProc proc, void* param) {
  return Track(real_.StartThread(proc, param));
}

bool FakeKernel::Close(platform::Handle object) {
  Record("close", object);
  {
    std::lock_guard<std::mutex> guard(lock_);
    open_.erase(object);
  }
  ++closes_;
  return real_.Close(object);
}

}  // namespace fakes
