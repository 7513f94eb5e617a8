// The playback thread against a recording wave-out, on real kernel objects.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <vector>

#include "engine/playback_thread.h"
#include "engine/relay_state.h"
#include "tests/fakes/fake_audio_device.h"
#include "tests/fakes/fake_wave_out.h"
#include "tests/fakes/relay_harness.h"
#include "tests/fakes/watched_kernel.h"

namespace {

using fakes::FakeWaveOut;
using fakes::WatchedKernel;
using platform::Handle;
using platform::Kernel;
using platform::WaitResult;
using WaveOp = FakeWaveOut::Op;

constexpr std::chrono::milliseconds kGenerous{10000};
constexpr unsigned kFailed = static_cast<unsigned>(-1);

std::vector<std::uint8_t> Ramp(std::size_t count, std::uint64_t from = 0) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = fakes::RampByte(from + i);
  return bytes;
}

std::vector<FakeWaveOut::Call> CallsOf(const FakeWaveOut& waveOut, WaveOp op) {
  std::vector<FakeWaveOut::Call> found;
  for (const auto& call : waveOut.calls())
    if (call.op == op) found.push_back(call);
  return found;
}

const Handle* FreeEvents(const FakeWaveOut& waveOut) {
  return reinterpret_cast<const Handle*>(waveOut.opens().at(0).instance);
}

// Every header that was queued was unprepared after its last write, and
// nothing was still prepared when the output closed.
void ExpectEveryQueuedHeaderUnprepared(const FakeWaveOut& waveOut) {
  std::map<const platform::WaveHeader*, bool> unpreparedSinceWrite;
  for (const auto& call : waveOut.calls()) {
    if (call.op == WaveOp::Write && call.result == platform::kWaveOk) unpreparedSinceWrite[call.header] = false;
    if (call.op == WaveOp::Unprepare && call.result == platform::kWaveOk && unpreparedSinceWrite.count(call.header))
      unpreparedSinceWrite[call.header] = true;
  }
  for (const auto& [header, unprepared] : unpreparedSinceWrite) EXPECT_TRUE(unprepared) << "header " << header;
  EXPECT_EQ(waveOut.preparedAtClose(), 0);
  const auto calls = waveOut.calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().op, WaveOp::Close);
  EXPECT_EQ(calls.back().result, platform::kWaveOk);
}

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(relay.created); }

  // One fed chunk is queued, and the turn after it has found the ring empty,
  // so the thread waits for the next write again.
  void FeedAndWaitQueued(const std::vector<std::uint8_t>& bytes, int writesSoFar) {
    relay.Feed(bytes);
    ASSERT_TRUE(waveOut.WaitForWrites(writesSoFar, kGenerous));
    ASSERT_TRUE(kernel.WaitForCalls(WatchedKernel::Op::Reset, relay.state.dataReadyEvent.get(), writesSoFar, kGenerous));
  }

  WatchedKernel kernel;
  FakeWaveOut waveOut;
  fakes::RelayHarness relay;
};

struct LengthCase {
  std::uint32_t fed;
  std::uint32_t queued;
};

class PlaybackLength : public PlaybackTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(PlaybackLength, QueuesWhatTheRingHeldInWholeFramesAndTheRestOfTheBufferIsZero) {
  const LengthCase& c = GetParam();
  waveOut.InspectBytes(17640);
  ASSERT_TRUE(relay.StartPlayback(3));
  const std::vector<std::uint8_t> fed = Ramp(c.fed);
  FeedAndWaitQueued(fed, 1);
  ASSERT_TRUE(relay.StopPlayback());

  const auto writes = CallsOf(waveOut, WaveOp::Write);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].length, c.queued);
  EXPECT_EQ(writes[0].user, 0u) << "the lowest free buffer";
  std::vector<std::uint8_t> expected(17640, 0);
  std::copy(fed.begin(), fed.begin() + c.queued, expected.begin());
  EXPECT_EQ(writes[0].bytes, expected);
  ExpectEveryQueuedHeaderUnprepared(waveOut);
}

INSTANTIATE_TEST_SUITE_P(Lengths, PlaybackLength,
                         ::testing::Values(LengthCase{5000, 5000}, LengthCase{17640, 17640}, LengthCase{4, 4},
                                           LengthCase{4410, 4408}, LengthCase{7, 4}));

TEST_F(PlaybackTest, OpensTheDeviceWithTheRelayFormatAndAFunctionCallback) {
  ASSERT_TRUE(relay.StartPlayback(5));
  ASSERT_TRUE(waveOut.WaitForOpen(kGenerous));
  ASSERT_TRUE(relay.StopPlayback());
  const auto opens = waveOut.opens();
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].deviceId, 5u);
  EXPECT_EQ(opens[0].flags, 0x00030000u);
  EXPECT_EQ(opens[0].callback, &WaveOutDoneProc);
  const platform::WaveFormat& f = opens[0].format;
  EXPECT_EQ(f.wFormatTag, 1);
  EXPECT_EQ(f.nChannels, 2);
  EXPECT_EQ(f.nSamplesPerSec, 44100u);
  EXPECT_EQ(f.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(f.nBlockAlign, 4);
  EXPECT_EQ(f.wBitsPerSample, 16);
  EXPECT_EQ(f.cbSize, 0);
}

TEST_F(PlaybackTest, AnEmptyRingFreesTheBufferAgainAndResetsDataReady) {
  ASSERT_TRUE(relay.StartPlayback(0));
  ASSERT_TRUE(waveOut.WaitForOpen(kGenerous));
  Kernel().SetEvent(relay.state.dataReadyEvent.get());
  ASSERT_TRUE(kernel.WaitForCalls(WatchedKernel::Op::Reset, relay.state.dataReadyEvent.get(), 1, kGenerous));
  EXPECT_TRUE(CallsOf(waveOut, WaveOp::Write).empty());
  EXPECT_TRUE(kernel.WaitForCalls(WatchedKernel::Op::Set, FreeEvents(waveOut)[0], 2, kGenerous))
      << "freed at creation and again";

  FeedAndWaitQueued(Ramp(100), 1);
  ASSERT_TRUE(relay.StopPlayback());
  const auto writes = CallsOf(waveOut, WaveOp::Write);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].user, 0u) << "the buffer went back to the free set";
}

// A kernel that lets one capture write land just before the playback thread
// resets dataReadyEvent after finding the ring empty: the narrowest window.
class WriteBeforeResetKernel : public WatchedKernel {
 public:
  bool ResetEvent(Handle event) override {
    if (relay && event == relay->state.dataReadyEvent.get() && !bytes.empty()) {
      std::vector<std::uint8_t> write;
      write.swap(bytes);
      relay->Feed(write);
    }
    return WatchedKernel::ResetEvent(event);
  }
  fakes::RelayHarness* relay = nullptr;
  std::vector<std::uint8_t> bytes;
};

TEST(PlaybackRace, AWriteJustBeforeTheResetIsStillPlayed) {
  WriteBeforeResetKernel kernel;
  FakeWaveOut waveOut;
  fakes::RelayHarness relay;
  ASSERT_TRUE(relay.created);
  ASSERT_TRUE(relay.StartPlayback(0));
  ASSERT_TRUE(waveOut.WaitForOpen(kGenerous));
  kernel.bytes = Ramp(4000);
  kernel.relay = &relay;
  Kernel().SetEvent(relay.state.dataReadyEvent.get());  // wakes the thread on an empty ring
  EXPECT_TRUE(waveOut.WaitForPlayedBytes(4000, kGenerous)) << "the write's data waited in the ring";
  ASSERT_TRUE(relay.StopPlayback());
  EXPECT_EQ(waveOut.Played(), Ramp(4000));
  kernel.relay = nullptr;
}

TEST_F(PlaybackTest, WithEveryBufferQueuedAndNoneBackTheStopIsSeenWithinASecond) {
  waveOut.HoldBuffers(true);
  ASSERT_TRUE(relay.StartPlayback(0));
  for (int k = 1; k <= kPlaybackBufferCount; ++k) {
    relay.Feed(Ramp(17640));
    ASSERT_TRUE(waveOut.WaitForWrites(k, kGenerous));
    if (k < kPlaybackBufferCount) {
      ASSERT_TRUE(kernel.WaitForCalls(WatchedKernel::Op::Reset, relay.state.dataReadyEvent.get(), k, kGenerous));
    }
  }
  // Two turns per chunk but the last, and then the turn that waits for a free buffer.
  ASSERT_TRUE(kernel.WaitForCalls(WatchedKernel::Op::WaitAnyEntered, FreeEvents(waveOut)[0],
                                  2 * kPlaybackBufferCount, kGenerous));
  const auto stopAt = fakes::Clock::now();
  ASSERT_TRUE(relay.StopPlayback());
  const auto stopTook = std::chrono::duration_cast<std::chrono::milliseconds>(fakes::Clock::now() - stopAt);
  EXPECT_LT(stopTook.count(), 1500);

  std::vector<platform::WaveParam> users;
  for (const auto& write : CallsOf(waveOut, WaveOp::Write)) users.push_back(write.user);
  EXPECT_EQ(users, (std::vector<platform::WaveParam>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(CallsOf(waveOut, WaveOp::Reset).size(), 1u);
  ExpectEveryQueuedHeaderUnprepared(waveOut);
}

TEST_F(PlaybackTest, BuffersCirculateAndEveryQueuedHeaderIsUnpreparedAtTheStop) {
  ASSERT_TRUE(relay.StartPlayback(0));
  std::vector<std::uint8_t> fed;
  constexpr int kChunks = 25;
  for (int k = 1; k <= kChunks; ++k) {
    const std::vector<std::uint8_t> chunk = Ramp(1000, fed.size());
    fed.insert(fed.end(), chunk.begin(), chunk.end());
    FeedAndWaitQueued(chunk, k);
  }
  ASSERT_TRUE(relay.StopPlayback());
  EXPECT_EQ(waveOut.Played(), fed);
  for (const auto& call : waveOut.calls()) {
    if (call.op == WaveOp::Prepare || call.op == WaveOp::Write || call.op == WaveOp::Unprepare) {
      EXPECT_EQ(call.result, platform::kWaveOk);
    }
  }
  ExpectEveryQueuedHeaderUnprepared(waveOut);
}

struct DirectRunCase {
  const char* name;
  std::uint32_t refuseOpen;  // 0: the open succeeds
  int failCreation;          // of the thread's own events, 1-based; 0: none
  bool stopRequested;
  unsigned result;
  std::size_t opens;
};

class PlaybackDirectRun : public PlaybackTest, public ::testing::WithParamInterface<DirectRunCase> {};

// Run on the test's own thread, which sees the thread's exit code.
TEST_P(PlaybackDirectRun, EndsWithItsResultAndLeavesPlaybackIdleSet) {
  const DirectRunCase& c = GetParam();
  if (c.refuseOpen) waveOut.RefuseOpen(c.refuseOpen);
  if (c.failCreation) kernel.FailCreation(kernel.creations() + c.failCreation);
  if (c.stopRequested) Kernel().SetEvent(relay.state.stopPlaybackEvent.get());
  const int openBefore = kernel.open();
  const Handle idle = relay.state.playbackIdleEvent.get();
  kernel.ClearCalls();

  EXPECT_EQ(PlaybackThreadProc(&relay.state.playbackParam), c.result);

  EXPECT_EQ(kernel.CallsOn(idle), (std::vector<std::string>{"reset", "set"}));
  EXPECT_EQ(kernel.open(), openBefore) << "every event of the thread is closed";
  EXPECT_EQ(waveOut.opens().size(), c.opens);
  EXPECT_TRUE(CallsOf(waveOut, WaveOp::Write).empty());
  EXPECT_TRUE(CallsOf(waveOut, WaveOp::Prepare).empty());
  const std::size_t closes = c.opens && !c.refuseOpen ? 1 : 0;
  EXPECT_EQ(CallsOf(waveOut, WaveOp::Reset).size(), closes);
  EXPECT_EQ(CallsOf(waveOut, WaveOp::Close).size(), closes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaybackDirectRun,
    ::testing::Values(DirectRunCase{"BadDeviceId", platform::kWaveBadDeviceId, 0, false, kFailed, 1},
                      DirectRunCase{"BadFormat", platform::kWaveBadFormat, 0, false, kFailed, 1},
                      DirectRunCase{"FirstEventFails", 0, 1, false, kFailed, 0},
                      DirectRunCase{"TenthEventFails", 0, 10, false, kFailed, 0},
                      DirectRunCase{"StopBeforeTheFirstTurn", 0, 0, true, 0u, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct CallbackCase {
  const char* name;
  platform::WaveMessage message;
  platform::WaveParam user;
  int expectedSet;  // -1: none
};

class PlaybackCallback : public ::testing::TestWithParam<CallbackCase> {};

TEST_P(PlaybackCallback, SetsOnlyTheEventOfAPlayedBuffersIndex) {
  const CallbackCase& c = GetParam();
  std::vector<platform::UniqueHandle> owners;
  Handle events[kPlaybackBufferCount];
  for (Handle& event : events) {
    owners.emplace_back(Kernel().NewEvent());
    event = owners.back().get();
    ASSERT_TRUE(event);
  }
  platform::WaveHeader header{};
  header.dwUser = c.user;
  // Open and close carry no header.
  const platform::WaveParam param1 = c.message == platform::kWomDone ? reinterpret_cast<platform::WaveParam>(&header) : 0;

  WaveOutDoneProc(nullptr, c.message, reinterpret_cast<platform::WaveParam>(events), param1, 0);

  for (int i = 0; i < kPlaybackBufferCount; ++i) {
    EXPECT_EQ(Kernel().Wait(events[i], 0), i == c.expectedSet ? WaitResult::Signalled : WaitResult::TimedOut)
        << "event " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PlaybackCallback,
    ::testing::Values(CallbackCase{"DoneFirst", platform::kWomDone, 0, 0},
                      CallbackCase{"DoneLast", platform::kWomDone, 9, 9},
                      CallbackCase{"DoneTen", platform::kWomDone, 10, -1},
                      CallbackCase{"DoneEleven", platform::kWomDone, 11, -1},
                      CallbackCase{"DoneHuge", platform::kWomDone, ~platform::WaveParam{0}, -1},
                      CallbackCase{"Open", platform::kWomOpen, 0, -1},
                      CallbackCase{"Close", platform::kWomClose, 0, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
