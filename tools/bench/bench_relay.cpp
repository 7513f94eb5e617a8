// bench_relay [SECONDS]: runs the relay's two workers at real-time pace on the
// POSIX substitutes (a fake device that produces its stream in real time, the
// POSIX wave-out) and prints the CPU time per second of audio, the peak
// resident memory and the latency from a device read's return to the
// hand-over of its first byte to wave-out; then the CPU time per second with
// the device missing. Times come from the seam's recording fakes.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/relay_control.h"
#include "engine/relay_state.h"
#include "platform/memory_list_control.h"
#include "tests/fakes/fake_wave_out_devices.h"
#include "tests/fakes/fake_audio_device.h"
#include "tests/fakes/recording_wave_out.h"
#include "tests/fakes/relay_harness.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kBytesPerSecond = 176400;
constexpr std::uint32_t kDevice = 0;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t index = static_cast<std::size_t>(fraction * (values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

// Milliseconds from each read's return to the write that handed its first byte over.
std::vector<double> Latencies(const std::vector<fakes::FakeAudioDevice::Call>& calls,
                              const std::vector<fakes::RecordingWaveOut::HandOver>& writes) {
  std::vector<double> latencies;
  std::size_t w = 0;
  for (const auto& call : calls) {
    if (call.op != fakes::FakeAudioDevice::Op::Read || call.bytes == 0) continue;
    while (w < writes.size() && writes[w].offset + writes[w].length <= call.offset) ++w;
    if (w == writes.size()) break;
    latencies.push_back(std::chrono::duration<double, std::milli>(writes[w].at - call.at).count());
  }
  return latencies;
}

std::size_t FirstMismatch(const std::vector<std::uint8_t>& got) {
  for (std::size_t i = 0; i < got.size(); ++i)
    if (got[i] != fakes::RampByte(i)) return i;
  return got.size();
}

int RunRelay(int seconds) {
  const std::uint64_t total = static_cast<std::uint64_t>(seconds) * kBytesPerSecond;
  fakes::FakeAudioDevice device;
  device.Script(std::vector<fakes::ReadReply>(total / kPcmChunkBytes, fakes::Bytes(kPcmChunkBytes)),
                fakes::ReadsNothing());
  device.PaceInRealTime(kBytesPerSecond);
  fakes::RecordingWaveOut waveOut;
  fakes::RelayHarness relay;
  if (!relay.created) return 1;
  relay.state.device = device.OpenForRelay();

  const double cpuBefore = CpuSeconds();
  const auto wallBefore = Clock::now();
  relay.StartPlayback(kDevice);
  relay.StartCapture();
  const bool complete = waveOut.WaitForPlayedBytes(total, std::chrono::seconds(2 * seconds + 10));
  relay.StopPlayback();
  relay.StopCapture();
  const double cpu = CpuSeconds() - cpuBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();

  const std::vector<std::uint8_t> written = waveOut.Written();
  const std::vector<double> latencies = Latencies(device.calls(), waveOut.writes());
  std::printf("relay, %d s of audio at real-time pace (%s, wall %.2f s)\n", seconds,
              complete ? "all played" : "NOT all played", wall);
  std::printf("  handed over %zu bytes, in order up to byte %zu\n", written.size(), FirstMismatch(written));
  std::printf("  CPU time per second of audio: %.3f ms\n", 1000 * cpu / seconds);
  std::printf("  read-to-hand-over latency over %zu reads: median %.3f ms, p99 %.3f ms, max %.3f ms\n",
              latencies.size(), Percentile(latencies, 0.5), Percentile(latencies, 0.99),
              Percentile(latencies, 1.0));
  return complete ? 0 : 1;
}

int RunWithoutDevice(int seconds) {
  fakes::FakeAudioDevice device;  // only counts: every read on an absent device fails
  fakes::RelayHarness relay;
  if (!relay.created) return 1;
  relay.state.device = platform::InvalidHandle();
  const double cpuBefore = CpuSeconds();
  relay.StartPlayback(kDevice);
  relay.StartCapture();
  device.WaitForReads(1 << 30, std::chrono::seconds(seconds));
  relay.StopPlayback();
  relay.StopCapture();
  const double cpu = CpuSeconds() - cpuBefore;
  std::printf("device missing, %d s\n", seconds);
  std::printf("  CPU time per second: %.3f ms; %.1f reads a second\n", 1000 * cpu / seconds,
              static_cast<double>(device.reads()) / seconds);
  return 0;
}

// Times StopRelay while audio flows: each cycle starts the relay, waits for
// its first buffer to reach wave-out, and stops it.
int RunStopCycles(int cycles) {
  static const char16_t kId[] = u"{0.0.0.00000000}.{bench}";
  fakes::FakeWaveOutDevice output;
  output.id = kId;
  fakes::FakeWaveOutDevices devices({output});
  platform::MemoryListControl playbackList;
  playbackList.AddString(u"Bench output");
  playbackList.SetItemData(0, reinterpret_cast<std::intptr_t>(kId));
  playbackList.SetCurSel(0);
  std::vector<double> stops;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    fakes::FakeAudioDevice device;
    device.Script({}, fakes::Bytes(kPcmChunkBytes));
    device.PaceInRealTime(kBytesPerSecond);
    fakes::RecordingWaveOut waveOut;
    std::shared_ptr<RelayState> relay;
    StartRelay(relay, playbackList);
    if (!waveOut.WaitForPlayedBytes(1, std::chrono::seconds(10))) return 1;
    const auto before = Clock::now();
    StopRelay(relay);
    stops.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
  }
  std::printf("StopRelay while audio flows, %d cycles: median %.3f ms, max %.3f ms\n", cycles,
              Percentile(stops, 0.5), Percentile(stops, 1.0));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  char folder[] = "/tmp/bench-relay-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  setenv("ULVEX_WAVE_OUT_DIR", folder, 1);

  int result = RunRelay(seconds);
  result |= RunWithoutDevice(std::max(1, seconds / 3));
  result |= RunStopCycles(200);
  std::printf("peak resident memory: %ld KiB\n", PeakResidentKiB());
  std::remove(platform::PlayedAudioPath(kDevice).c_str());
  std::remove(folder);
  return result;
}
