// The kernel-object contract that the relay relies on, run against the
// platform's own implementation: natively on the POSIX substitute, under Wine
// on Win32.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "platform/kernel.h"
#include "platform/unique_handle.h"

using platform::Handle;
using platform::Kernel;
using platform::UniqueHandle;
using platform::WaitResult;

namespace {

constexpr std::uint32_t kGenerousMs = 10000;

UniqueHandle NewEvent() {
  UniqueHandle event(Kernel().NewEvent());
  EXPECT_TRUE(event);
  return event;
}

std::int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
}

struct SetLater {
  Handle go;      // waited for before the event is set
  Handle target;  // set once go is signalled
};

unsigned SetWhenTold(void* raw) {
  auto* job = static_cast<SetLater*>(raw);
  if (Kernel().Wait(job->go, kGenerousMs) != WaitResult::Signalled) return 1;
  Kernel().SetEvent(job->target);
  return 0;
}

TEST(KernelEvents, ManualResetStaysSignalledUntilReset) {
  UniqueHandle event = NewEvent();
  EXPECT_EQ(Kernel().Wait(event.get(), 0), WaitResult::TimedOut) << "a new event starts not signalled";
  ASSERT_TRUE(Kernel().SetEvent(event.get()));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Kernel().Wait(event.get(), 0), WaitResult::Signalled) << "wait " << i;
  EXPECT_EQ(Kernel().Wait(event.get(), kGenerousMs), WaitResult::Signalled);
  ASSERT_TRUE(Kernel().ResetEvent(event.get()));
  EXPECT_EQ(Kernel().Wait(event.get(), 0), WaitResult::TimedOut);
}

TEST(KernelEvents, TimeOutIsHonoured) {
  UniqueHandle event = NewEvent();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Kernel().Wait(event.get(), 100), WaitResult::TimedOut);
  const std::int64_t elapsed = ElapsedMs(start);
  EXPECT_GE(elapsed, 90);
  EXPECT_LT(elapsed, 5000);
}

TEST(KernelEvents, WaitOnNullFails) {
  EXPECT_EQ(Kernel().Wait(nullptr, 0), WaitResult::Failed);
  Handle none[1] = {nullptr};
  EXPECT_EQ(Kernel().WaitAny(none, 1, 0), platform::kWaitAnyFailed);
}

TEST(KernelEvents, WaitWakesWhenAnotherThreadSets) {
  UniqueHandle go = NewEvent();
  UniqueHandle target = NewEvent();
  SetLater job{go.get(), target.get()};
  UniqueHandle thread(Kernel().StartThread(SetWhenTold, &job));
  ASSERT_TRUE(thread);
  Kernel().SetEvent(go.get());
  EXPECT_EQ(Kernel().Wait(target.get(), kGenerousMs), WaitResult::Signalled);
  EXPECT_EQ(Kernel().Wait(thread.get(), kGenerousMs), WaitResult::Signalled);
}

struct WaitAnyCase {
  std::vector<int> set;
  int expected;
};

TEST(KernelWaitAny, LowestSignalledIndexWins) {
  const WaitAnyCase cases[] = {
      {{}, platform::kWaitAnyTimedOut}, {{9}, 9}, {{3, 7}, 3},
      {{7, 3}, 3}, {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0}, {{5, 9}, 5},
  };
  for (const WaitAnyCase& c : cases) {
    std::vector<UniqueHandle> owners;
    Handle events[platform::kMaxWaitObjects];
    for (Handle& event : events) {
      owners.push_back(NewEvent());
      event = owners.back().get();
    }
    for (int index : c.set) Kernel().SetEvent(events[index]);
    EXPECT_EQ(Kernel().WaitAny(events, platform::kMaxWaitObjects, 0), c.expected) << "first of " << c.set.size();
    // A manual-reset event is not consumed by the wait.
    if (c.expected >= 0) {
      EXPECT_EQ(Kernel().WaitAny(events, platform::kMaxWaitObjects, 0), c.expected);
    }
  }
}

TEST(KernelWaitAny, WakesWhenAnotherThreadSetsOne) {
  UniqueHandle go = NewEvent();
  std::vector<UniqueHandle> owners;
  Handle events[4];
  for (Handle& event : events) {
    owners.push_back(NewEvent());
    event = owners.back().get();
  }
  SetLater job{go.get(), events[2]};
  UniqueHandle thread(Kernel().StartThread(SetWhenTold, &job));
  ASSERT_TRUE(thread);
  Kernel().SetEvent(go.get());
  EXPECT_EQ(Kernel().WaitAny(events, 4, kGenerousMs), 2);
  EXPECT_EQ(Kernel().Wait(thread.get(), kGenerousMs), WaitResult::Signalled);
}

TEST(KernelWaitAny, TimesOutAndRejectsBadCounts) {
  UniqueHandle event = NewEvent();
  Handle events[1] = {event.get()};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Kernel().WaitAny(events, 1, 100), platform::kWaitAnyTimedOut);
  EXPECT_GE(ElapsedMs(start), 90);
  EXPECT_EQ(Kernel().WaitAny(events, 0, 0), platform::kWaitAnyFailed);
  Handle many[platform::kMaxWaitObjects + 1] = {};
  for (Handle& h : many) h = event.get();
  EXPECT_EQ(Kernel().WaitAny(many, platform::kMaxWaitObjects + 1, 0), platform::kWaitAnyFailed);
}

struct MutexProbe {
  Handle mutex;
  Handle done;
  WaitResult whileOwned = WaitResult::Failed;
  bool releaseByStranger = true;
};

unsigned ProbeMutex(void* raw) {
  auto* probe = static_cast<MutexProbe*>(raw);
  probe->whileOwned = Kernel().Wait(probe->mutex, 50);
  probe->releaseByStranger = Kernel().ReleaseMutex(probe->mutex);
  Kernel().SetEvent(probe->done);
  return 0;
}

TEST(KernelMutex, OwnedByOneThreadAtATime) {
  UniqueHandle mutex(Kernel().NewMutex());
  ASSERT_TRUE(mutex);
  ASSERT_EQ(Kernel().Wait(mutex.get(), 0), WaitResult::Signalled) << "a new mutex is not owned";
  UniqueHandle done = NewEvent();
  MutexProbe probe{mutex.get(), done.get()};
  UniqueHandle thread(Kernel().StartThread(ProbeMutex, &probe));
  ASSERT_TRUE(thread);
  ASSERT_EQ(Kernel().Wait(done.get(), kGenerousMs), WaitResult::Signalled);
  EXPECT_EQ(probe.whileOwned, WaitResult::TimedOut);
  EXPECT_FALSE(probe.releaseByStranger) << "only the owner may release";
  EXPECT_TRUE(Kernel().ReleaseMutex(mutex.get()));
  ASSERT_EQ(Kernel().Wait(thread.get(), kGenerousMs), WaitResult::Signalled);

  UniqueHandle done2 = NewEvent();
  MutexProbe second{mutex.get(), done2.get()};
  UniqueHandle thread2(Kernel().StartThread(ProbeMutex, &second));
  ASSERT_EQ(Kernel().Wait(done2.get(), kGenerousMs), WaitResult::Signalled);
  EXPECT_EQ(second.whileOwned, WaitResult::Signalled) << "released, so another thread takes it";
  EXPECT_TRUE(second.releaseByStranger);
  EXPECT_EQ(Kernel().Wait(thread2.get(), kGenerousMs), WaitResult::Signalled);
}

struct Worker {
  Handle go;
  std::atomic<int> ran{0};
  void* seenParam = nullptr;
};

unsigned RunWhenTold(void* raw) {
  auto* worker = static_cast<Worker*>(raw);
  worker->seenParam = raw;
  Kernel().Wait(worker->go, kGenerousMs);
  worker->ran = 1;
  return 0;
}

TEST(KernelThreads, HandleWaitsWithTimeOutThenCloses) {
  UniqueHandle go = NewEvent();
  Worker worker;
  worker.go = go.get();
  Handle thread = Kernel().StartThread(RunWhenTold, &worker);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(Kernel().Wait(thread, 50), WaitResult::TimedOut) << "the thread still waits for go";
  Kernel().SetEvent(go.get());
  EXPECT_EQ(Kernel().Wait(thread, kGenerousMs), WaitResult::Signalled);
  EXPECT_EQ(Kernel().Wait(thread, 0), WaitResult::Signalled) << "an ended thread stays signalled";
  EXPECT_EQ(worker.ran, 1);
  EXPECT_EQ(worker.seenParam, &worker);
  EXPECT_TRUE(Kernel().Close(thread));
}

TEST(KernelThreads, ClosingARunningThreadsHandleLetsItFinish) {
  UniqueHandle go = NewEvent();
  UniqueHandle finished = NewEvent();
  SetLater job{go.get(), finished.get()};
  Handle thread = Kernel().StartThread(SetWhenTold, &job);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(Kernel().Close(thread));
  Kernel().SetEvent(go.get());
  EXPECT_EQ(Kernel().Wait(finished.get(), kGenerousMs), WaitResult::Signalled);
}

}  // namespace
