// The capture thread against a scripted device, on real kernel objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "engine/capture_thread.h"
#include "engine/relay_state.h"
#include "tests/fakes/fake_audio_device.h"
#include "tests/fakes/fake_kernel.h"
#include "tests/fakes/relay_harness.h"

namespace {

using fakes::FakeAudioDevice;
using fakes::ReadReply;
using platform::Kernel;
using platform::WaitResult;
using DeviceOp = FakeAudioDevice::Op;

constexpr std::chrono::milliseconds kGenerous{10000};

std::vector<FakeAudioDevice::Call> CallsOf(const FakeAudioDevice& device, DeviceOp op) {
  std::vector<FakeAudioDevice::Call> found;
  for (const auto& call : device.calls())
    if (call.op == op) found.push_back(call);
  return found;
}

void PretendPlaybackRuns(fakes::RelayHarness& relay) { Kernel().ResetEvent(relay.state.playbackIdleEvent.get()); }

class CaptureShortRead : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(CaptureShortRead, WritesExactlyTheBytesRead) {
  const std::uint32_t size = GetParam();
  FakeAudioDevice device;
  device.Script({fakes::Bytes(size)}, fakes::ReadsNothing());
  fakes::RelayHarness relay;
  ASSERT_TRUE(relay.created);
  relay.state.device = device.OpenForRelay();
  PretendPlaybackRuns(relay);

  ASSERT_TRUE(relay.StartCapture());
  ASSERT_EQ(Kernel().Wait(relay.state.dataReadyEvent.get(), 10000), WaitResult::Signalled);
  ASSERT_TRUE(device.WaitForReads(3, kGenerous)) << "reading goes on after the write";
  ASSERT_TRUE(relay.StopCapture());

  EXPECT_EQ(relay.DrainRing(), device.Fed());
  EXPECT_EQ(device.Fed().size(), size);
  for (const auto& read : CallsOf(device, DeviceOp::Read)) {
    EXPECT_EQ(read.handle, relay.state.device);
    EXPECT_EQ(read.value, 17640u) << "bytes asked";
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CaptureShortRead, ::testing::Values(1u, 3u, 1000u, 4409u, 17639u, 17640u));

TEST(CaptureThread, WithoutPlaybackEveryReadHappensAndNothingReachesTheRing) {
  fakes::FakeKernel kernel;
  FakeAudioDevice device;
  device.Script({}, fakes::Bytes(17640));
  fakes::RelayHarness relay;
  relay.state.device = device.OpenForRelay();

  ASSERT_TRUE(relay.StartCapture());
  ASSERT_TRUE(device.WaitForReads(5, kGenerous));
  ASSERT_TRUE(relay.StopCapture());

  EXPECT_GE(device.Fed().size(), 4u * 17640u);
  EXPECT_TRUE(relay.DrainRing().empty());
  for (const std::string& op : kernel.CallsOn(relay.state.dataReadyEvent.get())) EXPECT_NE(op, "set");
}

struct StartCase {
  const char* name;
  bool secondOpenRefused;
  std::vector<DeviceOp> expectedBeforeFirstRead;
};

class CaptureStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(CaptureStart, ResetsTheRingThenSendsTheStartRequestOnceBeforeTheFirstRead) {
  const StartCase& c = GetParam();
  FakeAudioDevice device;
  device.Script({}, fakes::Bytes(100));
  if (c.secondOpenRefused) device.RefuseOpen(1);
  fakes::RelayHarness relay;
  relay.state.device = device.OpenForRelay();
  PretendPlaybackRuns(relay);
  relay.Feed(std::vector<std::uint8_t>(300, 0xAB));

  bool ringResetAtFirstCall = false;
  bool firstCall = true;
  SampleRing* ring = relay.state.ring.get();
  device.OnCall([&](DeviceOp) {
    if (!firstCall) return;
    firstCall = false;
    ringResetAtFirstCall = ring->empty == 1 && ring->readPos == 0 && ring->writePos == 0 &&
                           std::all_of(ring->storage.get(), ring->storage.get() + ring->storageSize,
                                       [](std::uint8_t b) { return b == 0; });
  });
  ASSERT_TRUE(relay.StartCapture());
  ASSERT_TRUE(device.WaitForReads(3, kGenerous));
  ASSERT_TRUE(relay.StopCapture());

  EXPECT_TRUE(ringResetAtFirstCall);
  std::vector<DeviceOp> before;
  const auto calls = device.calls();
  for (const auto& call : calls) {
    if (call.op == DeviceOp::Read) break;
    before.push_back(call.op);
  }
  EXPECT_EQ(before, c.expectedBeforeFirstRead);
  EXPECT_EQ(device.openedPaths(), std::vector<std::u16string>{platform::kVirtualDevicePath});
  const auto controls = CallsOf(device, DeviceOp::Control);
  ASSERT_EQ(controls.size(), c.secondOpenRefused ? 0u : 1u);
  if (!controls.empty()) {
    EXPECT_EQ(controls[0].value, 0x001D3414u);
    EXPECT_NE(controls[0].handle, relay.state.device) << "sent on a handle of its own";
    const auto closes = CallsOf(device, DeviceOp::Close);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].handle, controls[0].handle);
  }
  for (const auto& call : calls) {
    if (call.op == DeviceOp::Close) {
      EXPECT_NE(call.handle, relay.state.device) << "the relay's handle stays open";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    SecondOpen, CaptureStart,
    ::testing::Values(StartCase{"Admitted", false, {DeviceOp::Open, DeviceOp::Control, DeviceOp::Close}},
                      StartCase{"Refused", true, {DeviceOp::Open}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaptureThread, StopDuringThePaceWaitEndsAfterAtMostOneMoreRead) {
  FakeAudioDevice device;
  device.Script({}, fakes::Bytes(17640));
  fakes::RelayHarness relay;
  relay.state.device = device.OpenForRelay();
  PretendPlaybackRuns(relay);  // which never takes from the ring: each read waits the full pace

  ASSERT_TRUE(relay.StartCapture());
  ASSERT_TRUE(device.WaitForReads(3, kGenerous));
  const int readsAtStop = device.reads();
  ASSERT_TRUE(relay.StopCapture());
  EXPECT_LE(device.reads() - readsAtStop, 1);
}

struct BarrenCase {
  const char* name;
  ReadReply reply;
  bool deviceMissing;
};

class CaptureBarrenDevice : public ::testing::TestWithParam<BarrenCase> {};

// A device that gives nothing must not make the thread spin: each read waits
// the pace, and the stop still ends the thread at once.
TEST_P(CaptureBarrenDevice, ReadsArePacedAndTheStopIsSeenAtOnce) {
  const BarrenCase& c = GetParam();
  FakeAudioDevice device;
  device.Script({}, c.reply);
  fakes::RelayHarness relay;
  relay.state.device = c.deviceMissing ? platform::InvalidHandle() : device.OpenForRelay();

  ASSERT_TRUE(relay.StartCapture());
  constexpr int kReads = 8;
  ASSERT_TRUE(device.WaitForReads(kReads, kGenerous));
  const auto reads = CallsOf(device, DeviceOp::Read);
  ASSERT_GE(reads.size(), static_cast<std::size_t>(kReads - 1));
  for (std::size_t i = 1; i < reads.size(); ++i) {
    const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(reads[i].at - reads[i - 1].at);
    EXPECT_GE(gap.count(), 40) << "between reads " << i - 1 << " and " << i;
  }

  const auto stopAt = fakes::Clock::now();
  ASSERT_TRUE(relay.StopCapture());
  const auto stopTook = std::chrono::duration_cast<std::chrono::milliseconds>(fakes::Clock::now() - stopAt);
  EXPECT_LT(stopTook.count(), 100);
  EXPECT_TRUE(relay.DrainRing().empty());
}

INSTANTIATE_TEST_SUITE_P(Devices, CaptureBarrenDevice,
                         ::testing::Values(BarrenCase{"ReadsFail", fakes::ReadFails(), false},
                                           BarrenCase{"ReadsBringNothing", fakes::ReadsNothing(), false},
                                           BarrenCase{"DeviceMissing", fakes::Bytes(17640), true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
