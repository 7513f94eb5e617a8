#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/relay_control.h"
#include "platform/memory_list_control.h"
#include "tests/fakes/fake_audio_device.h"
#include "tests/fakes/fake_kernel.h"
#include "tests/fakes/fake_messages.h"
#include "tests/fakes/fake_wave_out.h"
#include "tests/fakes/fake_wave_out_devices.h"

namespace {

using Clock = std::chrono::steady_clock;
using fakes::FakeAudioDevice;

const char16_t kSpeakersId[] = u"{0.0.0.00000000}.{5a1f0c3e-0000-4000-8000-000000000001}";

std::int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

int OpenDeviceHandles(const FakeAudioDevice& device) {
  int open = 0;
  for (const auto& call : device.calls()) {
    if (call.op == FakeAudioDevice::Op::Open && call.ok) ++open;
    if (call.op == FakeAudioDevice::Op::Close && platform::IsOpenDevice(call.handle)) --open;
  }
  return open;
}

// Waits for a condition that another thread brings about, up to a generous bound.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) {
  const auto deadline = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

fakes::FakeWaveOutDevice SpeakersDevice() {
  fakes::FakeWaveOutDevice speakers;
  speakers.id = kSpeakersId;
  return speakers;
}

class RelayControlTest : public ::testing::Test {
 protected:
  void SelectPlaybackDevice(const char16_t* id) {
    const int position = playbackList.AddString(u"Speakers");
    playbackList.SetItemData(position, reinterpret_cast<std::intptr_t>(id));
    playbackList.SetCurSel(position);
  }

  std::vector<std::string> StopSteps() const {
    std::vector<std::string> steps;
    for (const auto& call : kernel.calls()) {
      if (call.op == "set" && call.handle == stopPlaybackEvent) steps.push_back("set stopPlayback");
      if (call.op == "set" && call.handle == stopCaptureEvent) steps.push_back("set stopCapture");
      if (call.op == "wait" && call.handle == playbackThread) steps.push_back("wait playback");
      if (call.op == "wait" && call.handle == captureThread) steps.push_back("wait capture");
    }
    return steps;
  }

  void Remember() {
    stopPlaybackEvent = relay->stopPlaybackEvent.get();
    stopCaptureEvent = relay->stopCaptureEvent.get();
    playbackThread = relay->playbackThread.get();
    captureThread = relay->captureThread.get();
  }

  fakes::FakeKernel kernel;
  FakeAudioDevice device;
  fakes::FakeWaveOut waveOut;
  fakes::FakeWaveOutDevices waveOutDevices{std::vector<fakes::FakeWaveOutDevice>{SpeakersDevice()}};
  fakes::FakeMessages messages;
  platform::MemoryListControl playbackList;
  std::shared_ptr<RelayState> relay;
  platform::Handle stopPlaybackEvent = nullptr, stopCaptureEvent = nullptr;
  platform::Handle playbackThread = nullptr, captureThread = nullptr;
};

TEST_F(RelayControlTest, StartRunsBothWorkersAndStopEndsThemInOrder) {
  SelectPlaybackDevice(kSpeakersId);
  device.Script({}, fakes::Bytes(4410 * 4));
  device.PaceInRealTime(176400);
  StartRelay(relay, playbackList);
  ASSERT_TRUE(relay);
  Remember();
  ASSERT_NE(captureThread, nullptr);
  ASSERT_NE(playbackThread, nullptr);
  EXPECT_EQ(device.openedPaths().at(0), u"\\\\.\\ZNAudioSample0");
  ASSERT_TRUE(waveOut.WaitForPlayedBytes(4410 * 4, std::chrono::milliseconds(10000))) << "audio flows";
  EXPECT_EQ(waveOut.opens().at(0).deviceId, 0u);
  EXPECT_TRUE(messages.shown.empty());

  kernel.ClearCalls();
  StopRelay(relay);
  EXPECT_FALSE(relay);
  EXPECT_EQ(StopSteps(), (std::vector<std::string>{"set stopPlayback", "wait playback", "set stopCapture",
                                                   "wait capture"}));
  for (const auto& call : kernel.calls()) {
    if (call.op == "wait" && (call.handle == playbackThread || call.handle == captureThread)) {
      EXPECT_EQ(call.timeoutMs, 2000u);
    }
  }
  EXPECT_EQ(kernel.open(), 0) << "every event, the mutex and both thread handles closed";
  EXPECT_EQ(OpenDeviceHandles(device), 0);
}

TEST_F(RelayControlTest, DeviceThatDoesNotOpenStillRunsBothWorkersSilently) {
  SelectPlaybackDevice(kSpeakersId);
  device.RefuseOpen(1);
  StartRelay(relay, playbackList);
  ASSERT_TRUE(relay);
  EXPECT_EQ(relay->device, platform::InvalidHandle());
  EXPECT_TRUE(relay->captureThread);
  EXPECT_TRUE(relay->playbackThread);
  EXPECT_TRUE(messages.shown.empty());
  const auto start = Clock::now();
  StopRelay(relay);
  EXPECT_LT(MsSince(start), 4000) << "within the two bounded waits";
  EXPECT_EQ(kernel.open(), 0);
}

TEST_F(RelayControlTest, NoWaveOutDeviceTellsTheUserOnceAndOnlyCaptureRuns) {
  struct Case {
    const char* name;
    const char16_t* selected;  // null: an empty playback list
  };
  const char16_t kUnknown[] = u"{0.0.0.00000000}.{no-such-device}";
  for (const Case& c : {Case{"empty list", nullptr}, Case{"no matching wave-out device", kUnknown}}) {
    SCOPED_TRACE(c.name);
    fakes::FakeMessages shown;
    platform::MemoryListControl list;
    if (c.selected) {
      list.AddString(u"Elsewhere");
      list.SetItemData(0, reinterpret_cast<std::intptr_t>(c.selected));
      list.SetCurSel(0);
    }
    StartRelay(relay, list);
    ASSERT_TRUE(relay);
    EXPECT_EQ(shown.shown, std::vector<std::u16string>{u"Can't get WaveOutNum"});
    EXPECT_EQ(shown.types, std::vector<unsigned>{platform::kMbOk});
    EXPECT_FALSE(relay->playbackThread);
    Remember();
    ASSERT_NE(captureThread, nullptr);
    kernel.ClearCalls();
    StopRelay(relay);
    EXPECT_EQ(StopSteps(), (std::vector<std::string>{"set stopPlayback", "set stopCapture", "wait capture"}))
        << "the playback wait is skipped";
    EXPECT_EQ(kernel.open(), 0);
  }
}

TEST_F(RelayControlTest, FailedCreationStartsNothingAndTheStopReleasesWhatExists) {
  SelectPlaybackDevice(kSpeakersId);
  kernel.FailCreation(3);
  StartRelay(relay, playbackList);
  ASSERT_TRUE(relay);
  EXPECT_TRUE(device.calls().empty()) << "no device opened";
  EXPECT_FALSE(relay->captureThread);
  EXPECT_FALSE(relay->playbackThread);
  EXPECT_EQ(kernel.open(), 2);
  kernel.ClearCalls();
  StopRelay(relay);
  EXPECT_EQ(kernel.closes(), 2);
  EXPECT_EQ(kernel.open(), 0);
  for (const auto& call : kernel.calls()) EXPECT_NE(call.handle, nullptr) << call.op << " on an absent object";
}

TEST_F(RelayControlTest, EachStartMakesFreshObjects) {
  SelectPlaybackDevice(kSpeakersId);
  StartRelay(relay, playbackList);
  std::weak_ptr<RelayState> firstState = relay;
  StopRelay(relay);
  EXPECT_TRUE(firstState.expired());
  ASSERT_EQ(kernel.open(), 0);
  const int creationsAfterFirst = kernel.creations();
  StartRelay(relay, playbackList);
  EXPECT_GE(kernel.creations(), creationsAfterFirst + 6) << "every event and the mutex made again";
  for (const platform::UniqueHandle* object : {&relay->dataReadyEvent, &relay->spaceFreedEvent,
                                               &relay->stopPlaybackEvent, &relay->stopCaptureEvent,
                                               &relay->playbackIdleEvent, &relay->ringMutex}) {
    EXPECT_TRUE(kernel.IsOpen(object->get()));
  }
  StopRelay(relay);
  EXPECT_EQ(kernel.open(), 0);
}

TEST_F(RelayControlTest, WorkerBlockedInAReadOutlivesTheStopAndReleasesEverythingWhenItEnds) {
  SelectPlaybackDevice(kSpeakersId);
  device.BlockReads();
  platform::UniqueHandle reading(platform::Kernel().NewEvent());
  device.OnCall([&](FakeAudioDevice::Op op) {
    if (op == FakeAudioDevice::Op::Read) platform::Kernel().SetEvent(reading.get());
  });
  StartRelay(relay, playbackList);
  std::weak_ptr<RelayState> state = relay;
  ASSERT_EQ(platform::Kernel().Wait(reading.get(), 10000), platform::WaitResult::Signalled);
  const auto start = Clock::now();
  StopRelay(relay);
  const std::int64_t elapsed = MsSince(start);
  EXPECT_GE(elapsed, 1900) << "the capture wait ran its course";
  EXPECT_LT(elapsed, 6000);
  EXPECT_FALSE(relay);
  EXPECT_FALSE(state.expired()) << "the blocked capture thread keeps what it uses";
  EXPECT_EQ(OpenDeviceHandles(device), 1) << "its device stays open while it reads";

  device.Unblock();
  EXPECT_TRUE(Eventually([&] { return state.expired(); })) << "released when the thread ends";
  EXPECT_TRUE(Eventually([&] { return kernel.open() == 1; })) << "all but the test's own event";
  EXPECT_EQ(OpenDeviceHandles(device), 0);
  device.OnCall(nullptr);
}

TEST_F(RelayControlTest, ManyCyclesLeaveNothingBehind) {
  SelectPlaybackDevice(kSpeakersId);
  for (int cycle = 0; cycle < 1000; ++cycle) {
    StartRelay(relay, playbackList);
    StopRelay(relay);
    ASSERT_EQ(kernel.open(), 0) << "cycle " << cycle;
  }
  EXPECT_EQ(OpenDeviceHandles(device), 0);
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
