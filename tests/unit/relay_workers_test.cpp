// Both workers on one relay state, from a fake device to an output.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

#include "engine/playback_thread.h"
#include "engine/relay_state.h"
#include "tests/fakes/fake_audio_device.h"
#include "tests/fakes/fake_wave_out.h"
#include "tests/fakes/recording_wave_out.h"
#include "tests/fakes/relay_harness.h"

namespace {

using fakes::FakeAudioDevice;

constexpr std::uint32_t kBytesPerSecond = 176400;

// Index of the first byte where `got` leaves the ramp, or its size.
std::size_t FirstMismatch(const std::vector<std::uint8_t>& got) {
  for (std::size_t i = 0; i < got.size(); ++i)
    if (got[i] != fakes::RampByte(i)) return i;
  return got.size();
}

class RelayReadSizes : public ::testing::TestWithParam<std::vector<std::uint32_t>> {};

TEST_P(RelayReadSizes, ReachTheOutputAsExactlyTheBytesFedInWholeFrames) {
  std::vector<fakes::ReadReply> script;
  for (int round = 0; round < 3; ++round)
    for (std::uint32_t size : GetParam()) script.push_back(fakes::Bytes(size));
  const std::uint64_t scripted =
      std::accumulate(script.begin(), script.end(), std::uint64_t{0}, [](std::uint64_t sum, const fakes::ReadReply& r) {
        return sum + r.bytes;
      });

  FakeAudioDevice device;
  device.Script(script, fakes::Bytes(1000));
  // Twice real time: fast, yet the ring is never asked to hold two big reads.
  device.PaceInRealTime(2 * kBytesPerSecond);
  fakes::FakeWaveOut waveOut;
  fakes::RelayHarness relay;
  ASSERT_TRUE(relay.created);
  relay.state.device = device.OpenForRelay();
  ASSERT_TRUE(relay.StartPlayback(0));
  ASSERT_TRUE(waveOut.WaitForOpen(std::chrono::seconds(10)));
  ASSERT_TRUE(relay.StartCapture());
  ASSERT_TRUE(waveOut.WaitForPlayedBytes(scripted - scripted % kFrameBytes, std::chrono::seconds(30)));
  ASSERT_TRUE(relay.StopPlayback());
  ASSERT_TRUE(relay.StopCapture());

  const std::vector<std::uint8_t> played = waveOut.Played();
  EXPECT_EQ(FirstMismatch(played), played.size());
  for (const auto& call : waveOut.calls()) {
    if (call.op == fakes::FakeWaveOut::Op::Write) {
      EXPECT_EQ(call.length % kFrameBytes, 0u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Patterns, RelayReadSizes,
                         ::testing::Values(std::vector<std::uint32_t>{4409, 1, 3},
                                           std::vector<std::uint32_t>{1, 1, 1, 1, 1, 1, 1},
                                           std::vector<std::uint32_t>{4410, 2, 4407, 5},
                                           std::vector<std::uint32_t>{17639, 1}));

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// At real-time pace through the platform's own output.
TEST(RelayWorkers, TenSecondsOfARampArriveCompleteAndInOrder) {
  constexpr std::uint32_t kDevice = 7;
  constexpr std::uint64_t kTotal = 10 * kBytesPerSecond;
  const std::string playedPath = platform::PlayedAudioPath(kDevice);
  if (!playedPath.empty()) std::remove(playedPath.c_str());

  FakeAudioDevice device;
  device.Script(std::vector<fakes::ReadReply>(kTotal / kPcmChunkBytes, fakes::Bytes(kPcmChunkBytes)),
                fakes::ReadsNothing());
  device.PaceInRealTime(kBytesPerSecond);
  fakes::RecordingWaveOut waveOut;
  fakes::RelayHarness relay;
  ASSERT_TRUE(relay.created);
  relay.state.device = device.OpenForRelay();
  ASSERT_TRUE(relay.StartPlayback(kDevice));
  ASSERT_TRUE(waveOut.WaitForOpen(std::chrono::seconds(10)));
  if (waveOut.openResult() != platform::kWaveOk) GTEST_SKIP() << "no wave-out device " << kDevice << " here";
  ASSERT_TRUE(relay.StartCapture());
  ASSERT_TRUE(waveOut.WaitForPlayedBytes(kTotal, std::chrono::seconds(40)));
  ASSERT_TRUE(relay.StopPlayback());
  ASSERT_TRUE(relay.StopCapture());

  const std::vector<std::uint8_t> written = waveOut.Written();
  EXPECT_EQ(written.size(), kTotal);
  EXPECT_EQ(FirstMismatch(written), written.size());
  if (!playedPath.empty()) {
    const std::vector<std::uint8_t> played = ReadWholeFile(playedPath);
    EXPECT_EQ(played.size(), kTotal);
    EXPECT_EQ(FirstMismatch(played), played.size());
  }
}

}  // namespace
