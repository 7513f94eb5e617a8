#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "engine/relay_state.h"
#include "tests/fakes/fake_kernel.h"

namespace {

using platform::Handle;
using platform::Kernel;
using platform::WaitResult;

struct EventMember {
  const char* name;
  platform::UniqueHandle RelayState::*member;
  bool signalledAfterCreate;
};

// In the order the relay creates them.
const EventMember kEvents[] = {
    {"dataReadyEvent", &RelayState::dataReadyEvent, false},
    {"spaceFreedEvent", &RelayState::spaceFreedEvent, true},
    {"stopPlaybackEvent", &RelayState::stopPlaybackEvent, false},
    {"stopCaptureEvent", &RelayState::stopCaptureEvent, false},
    {"playbackIdleEvent", &RelayState::playbackIdleEvent, true},
};

std::vector<Handle> Objects(const RelayState& state) {
  std::vector<Handle> handles;
  for (const EventMember& event : kEvents) handles.push_back((state.*event.member).get());
  handles.push_back(state.ringMutex.get());
  return handles;
}

TEST(RelayState, CreateSetsEveryMemberTheRelayReads) {
  fakes::FakeKernel kernel;
  RelayState state;
  ASSERT_EQ(CreateRelayObjects(&state), 0);

  for (const EventMember& event : kEvents) {
    SCOPED_TRACE(event.name);
    ASSERT_TRUE(state.*event.member);
    EXPECT_EQ(Kernel().Wait((state.*event.member).get(), 0),
              event.signalledAfterCreate ? WaitResult::Signalled : WaitResult::TimedOut);
  }
  ASSERT_TRUE(state.ringMutex);
  EXPECT_EQ(Kernel().Wait(state.ringMutex.get(), 0), WaitResult::Signalled) << "not owned";
  Kernel().ReleaseMutex(state.ringMutex.get());

  EXPECT_EQ(state.device, nullptr);
  EXPECT_FALSE(state.playbackThread);
  EXPECT_FALSE(state.captureThread);
  EXPECT_EQ(state.readSize, 17640u);
  ASSERT_TRUE(state.readBuffer);
  EXPECT_EQ(std::vector<std::uint8_t>(state.readBuffer.get(), state.readBuffer.get() + 17640),
            std::vector<std::uint8_t>(17640, 0));
  EXPECT_EQ(state.ringSize, 17640u);
  ASSERT_TRUE(state.ring);
  EXPECT_EQ(state.ring->capacity, 17640u);
  EXPECT_EQ(state.ring->storageSize, 17640u);
  EXPECT_EQ(state.ring->empty, 1);
  EXPECT_EQ(state.ring->readPos, 0u);
  EXPECT_EQ(state.ring->writePos, 0u);
  EXPECT_EQ(kernel.creations(), 6);

  ReleaseRelayObjects(&state);
  EXPECT_EQ(kernel.open(), 0);
  EXPECT_EQ(kernel.closes(), 6);
  EXPECT_FALSE(state.readBuffer);
  EXPECT_FALSE(state.ring);
  for (Handle handle : Objects(state)) EXPECT_EQ(handle, nullptr);
}

TEST(RelayState, ReleaseClosesTheMutexFirstThenTheEventsInOrder) {
  fakes::FakeKernel kernel;
  RelayState state;
  ASSERT_EQ(CreateRelayObjects(&state), 0);
  std::vector<Handle> created = Objects(state);
  kernel.ClearCalls();
  ReleaseRelayObjects(&state);
  std::vector<Handle> closed;
  for (const auto& call : kernel.calls())
    if (call.op == "close") closed.push_back(call.handle);
  std::vector<Handle> expected = {created[5], created[0], created[1], created[2], created[3], created[4]};
  EXPECT_EQ(closed, expected);
}

TEST(RelayState, FailedCreationLeavesWhatCameBeforeAndReleaseClosesExactlyThat) {
  for (int failing = 1; failing <= 6; ++failing) {
    SCOPED_TRACE(testing::Message() << "creation " << failing << " fails");
    fakes::FakeKernel kernel;
    kernel.FailCreation(failing);
    RelayState state;
    EXPECT_EQ(CreateRelayObjects(&state), -1);
    EXPECT_EQ(kernel.creations(), failing) << "nothing is tried after the failure";
    std::vector<Handle> objects = Objects(state);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(objects[i] != nullptr, i < failing - 1) << "object " << i;
    EXPECT_EQ(kernel.open(), failing - 1);
    EXPECT_FALSE(state.readBuffer) << "no buffer after a failed creation";
    EXPECT_FALSE(state.ring);

    ReleaseRelayObjects(&state);
    EXPECT_EQ(kernel.closes(), failing - 1);
    EXPECT_EQ(kernel.open(), 0);
  }
}

TEST(RelayState, CreateReleaseCreateGivesFreshObjects) {
  fakes::FakeKernel kernel;
  RelayState state;
  ASSERT_EQ(CreateRelayObjects(&state), 0);
  Kernel().SetEvent(state.dataReadyEvent.get());
  Kernel().ResetEvent(state.spaceFreedEvent.get());
  std::uint8_t bytes[3] = {1, 2, 3};
  SampleRingWrite(3, state.ring.get(), bytes, state.ringMutex.get());
  ReleaseRelayObjects(&state);
  ASSERT_EQ(kernel.closes(), 6);

  ASSERT_EQ(CreateRelayObjects(&state), 0);
  EXPECT_EQ(kernel.creations(), 12) << "every object made again";
  EXPECT_EQ(kernel.open(), 6);
  EXPECT_EQ(Kernel().Wait(state.dataReadyEvent.get(), 0), WaitResult::TimedOut) << "no state carries over";
  EXPECT_EQ(Kernel().Wait(state.spaceFreedEvent.get(), 0), WaitResult::Signalled);
  EXPECT_EQ(state.ring->empty, 1);
  EXPECT_EQ(state.readBuffer[0], 0);
  ReleaseRelayObjects(&state);
}

}  // namespace
