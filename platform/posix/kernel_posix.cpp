// The kernel-object seam on POSIX. Every object's state is guarded by one
// process-wide lock and every change wakes every waiter, which makes
// wait-for-any as simple and as exact as a single wait. The relay has four
// threads and changes state a few dozen times a second, so one lock is no
// bottleneck.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "platform/kernel.h"

namespace platform {
namespace {

enum class Kind { Event, Mutex, Thread };

struct Object {
  explicit Object(Kind k) : kind(k) {}
  Kind kind;
  bool signalled = false;          // event set, thread ended
  bool owned = false;              // mutex
  std::thread::id owner;           // mutex
  std::atomic<int> references{1};  // the handle, and a running thread
};

// Never destroyed: detached threads may still signal while the process exits.
struct Shared {
  std::mutex lock;
  std::condition_variable changed;
};
Shared& shared = *new Shared;
std::mutex& g_lock = shared.lock;
std::condition_variable& g_changed = shared.changed;

void Unreference(Object* object) {
  if (object->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete object;
}

bool IsSignalled(const Object& object) {
  return object.kind == Kind::Mutex ? !object.owned : object.signalled;
}

void Acquire(Object& object) {
  if (object.kind != Kind::Mutex) return;
  object.owned = true;
  object.owner = std::this_thread::get_id();
}

// A mutex its own owner waits for would never come free.
bool WouldDeadlock(const Object& object) {
  return object.kind == Kind::Mutex && object.owned && object.owner == std::this_thread::get_id();
}

class PosixKernel final : public KernelObjects {
 public:
  Handle NewEvent() override { return new (std::nothrow) Object(Kind::Event); }
  bool SetEvent(Handle event) override { return SetSignalled(event, true); }
  bool ResetEvent(Handle event) override { return SetSignalled(event, false); }
  Handle NewMutex() override { return new (std::nothrow) Object(Kind::Mutex); }

  bool ReleaseMutex(Handle handle) override {
    auto* object = static_cast<Object*>(handle);
    if (!object || object->kind != Kind::Mutex) return false;
    {
      std::lock_guard<std::mutex> guard(g_lock);
      if (!object->owned || object->owner != std::this_thread::get_id()) return false;
      object->owned = false;
    }
    g_changed.notify_all();
    return true;
  }

  WaitResult Wait(Handle object, std::uint32_t timeoutMs) override {
    int result = WaitAny(&object, 1, timeoutMs);
    if (result == 0) return WaitResult::Signalled;
    return result == kWaitAnyTimedOut ? WaitResult::TimedOut : WaitResult::Failed;
  }

  int WaitAny(const Handle* handles, int count, std::uint32_t timeoutMs) override {
    if (count < 1 || count > kMaxWaitObjects) return kWaitAnyFailed;
    for (int i = 0; i < count; ++i)
      if (!handles[i]) return kWaitAnyFailed;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(g_lock);
    for (;;) {
      for (int i = 0; i < count; ++i) {
        auto& object = *static_cast<Object*>(handles[i]);
        if (WouldDeadlock(object)) return kWaitAnyFailed;
        if (IsSignalled(object)) {
          Acquire(object);
          return i;
        }
      }
      if (timeoutMs == kInfinite) {
        g_changed.wait(lock);
      } else {
        if (std::chrono::steady_clock::now() >= deadline) return kWaitAnyTimedOut;
        g_changed.wait_until(lock, deadline);
      }
    }
  }

  Handle StartThread(ThreadProc proc, void* param) override {
    auto* object = new (std::nothrow) Object(Kind::Thread);
    if (!object) return nullptr;
    object->references.store(2);
    try {
      std::thread([object, proc, param] {
        proc(param);
        {
          std::lock_guard<std::mutex> guard(g_lock);
          object->signalled = true;
        }
        g_changed.notify_all();
        Unreference(object);
      }).detach();
    } catch (...) {
      delete object;
      return nullptr;
    }
    return object;
  }

  bool Close(Handle handle) override {
    if (!handle) return false;
    Unreference(static_cast<Object*>(handle));
    return true;
  }

 private:
  bool SetSignalled(Handle handle, bool signalled) {
    auto* object = static_cast<Object*>(handle);
    if (!object || object->kind != Kind::Event) return false;
    {
      std::lock_guard<std::mutex> guard(g_lock);
      object->signalled = signalled;
    }
    if (signalled) g_changed.notify_all();
    return true;
  }
};

}  // namespace

KernelObjects& SystemKernel() {
  static PosixKernel kernel;
  return kernel;
}

}  // namespace platform
