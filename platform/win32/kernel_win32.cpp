// The kernel-object seam on Win32: events, mutexes and waits are the system's
// own; threads come from the C run-time's _beginthreadex.
#include <windows.h>
#include <process.h>

#include <new>

#include "platform/kernel.h"

namespace platform {
namespace {

struct ThreadStart {
  ThreadProc proc;
  void* param;
};

unsigned __stdcall ThreadTrampoline(void* raw) {
  ThreadStart start = *static_cast<ThreadStart*>(raw);
  delete static_cast<ThreadStart*>(raw);
  return start.proc(start.param);
}

WaitResult ToWaitResult(DWORD result) {
  if (result == WAIT_OBJECT_0) return WaitResult::Signalled;
  if (result == WAIT_TIMEOUT) return WaitResult::TimedOut;
  return WaitResult::Failed;
}

class Win32Kernel final : public KernelObjects {
 public:
  Handle NewEvent() override { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
  bool SetEvent(Handle event) override { return ::SetEvent(event) != FALSE; }
  bool ResetEvent(Handle event) override { return ::ResetEvent(event) != FALSE; }
  Handle NewMutex() override { return ::CreateMutexW(nullptr, FALSE, nullptr); }
  bool ReleaseMutex(Handle mutex) override { return ::ReleaseMutex(mutex) != FALSE; }

  WaitResult Wait(Handle object, std::uint32_t timeoutMs) override {
    return ToWaitResult(::WaitForSingleObject(object, timeoutMs));
  }

  int WaitAny(const Handle* objects, int count, std::uint32_t timeoutMs) override {
    if (count < 1 || count > kMaxWaitObjects) return kWaitAnyFailed;
    DWORD result = ::WaitForMultipleObjects(static_cast<DWORD>(count), objects, FALSE, timeoutMs);
    if (result < WAIT_OBJECT_0 + static_cast<DWORD>(count)) return static_cast<int>(result - WAIT_OBJECT_0);
    return result == WAIT_TIMEOUT ? kWaitAnyTimedOut : kWaitAnyFailed;
  }

  Handle StartThread(ThreadProc proc, void* param) override {
    auto* start = new (std::nothrow) ThreadStart{proc, param};
    if (!start) return nullptr;
    uintptr_t thread = _beginthreadex(nullptr, 0, ThreadTrampoline, start, 0, nullptr);
    if (thread == 0) {
      delete start;
      return nullptr;
    }
    return reinterpret_cast<Handle>(thread);
  }

  bool Close(Handle object) override { return ::CloseHandle(object) != FALSE; }
};

}  // namespace

KernelObjects& SystemKernel() {
  static Win32Kernel kernel;
  return kernel;
}

}  // namespace platform
