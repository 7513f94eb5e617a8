// The kernel-object seam: manual-reset events, a mutex, bounded waits and
// threads. Every object is an opaque Handle; null means absent. Any thread
// may call these operations.
#pragma once

#include <cstdint>

namespace platform {

using Handle = void*;

// What CreateFileW returns for a device that did not open; not null, so code
// that tests for null passes it on like a real handle.
inline Handle InvalidHandle() { return reinterpret_cast<Handle>(static_cast<std::intptr_t>(-1)); }

constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

enum class WaitResult { Signalled, TimedOut, Failed };

// WaitAny returns the index of the signalled object, or one of these.
constexpr int kWaitAnyTimedOut = -1;
constexpr int kWaitAnyFailed = -2;
constexpr int kMaxWaitObjects = 10;

using ThreadProc = unsigned (*)(void* param);

class KernelObjects {
 public:
  virtual ~KernelObjects() = default;

  // Manual-reset, not signalled, unnamed. Null on failure.
  virtual Handle NewEvent() = 0;
  virtual bool SetEvent(Handle event) = 0;
  virtual bool ResetEvent(Handle event) = 0;

  // Not owned, unnamed. Waiting on it takes it; it is never taken twice.
  virtual Handle NewMutex() = 0;
  virtual bool ReleaseMutex(Handle mutex) = 0;

  // Events are signalled while set, a mutex while nobody owns it, a thread
  // once it has ended.
  virtual WaitResult Wait(Handle object, std::uint32_t timeoutMs) = 0;
  // Over 1 to kMaxWaitObjects objects; the lowest signalled index wins.
  virtual int WaitAny(const Handle* objects, int count, std::uint32_t timeoutMs) = 0;

  // Runs proc(param) at once on a new thread. Null when the launch failed.
  virtual Handle StartThread(ThreadProc proc, void* param) = 0;

  // Closes any of the objects above. Closing a running thread's handle
  // leaves the thread running.
  virtual bool Close(Handle object) = 0;
};

// The implementation in force: the platform's own unless a test installed another.
KernelObjects& Kernel();
KernelObjects& SystemKernel();
// For tests; pass null to go back to the platform's own.
void SetKernelForTesting(KernelObjects* kernel);

}  // namespace platform
