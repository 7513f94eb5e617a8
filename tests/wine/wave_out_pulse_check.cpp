// wave_out_pulse_check [SECONDS]: plays SECONDS (default 5) of the counting
// ramp of tests/fakes/fake_audio_device.h on wave-out device 0 through the
// platform's own wave-out, in 100 ms buffers of the relay's format, then one
// second of silence (Wine's PulseAudio driver may hold back a stream's last
// milliseconds), and waits until every buffer has come back done. Run by
// wave_out_pulse_check.sh, which records what the sink received.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/playback_thread.h"
#include "engine/relay_state.h"
#include "platform/kernel.h"
#include "platform/unique_handle.h"
#include "platform/wave_out.h"
#include "tests/fakes/fake_audio_device.h"

namespace {

struct Progress {
  std::atomic<int> done{0};
  int total = 0;
  platform::Handle allDone = nullptr;
};

void ULVEX_WAVE_CALLBACK CountDone(platform::WaveOutHandle, platform::WaveMessage message, platform::WaveParam instance,
                                   platform::WaveParam, platform::WaveParam) {
  if (message != platform::kWomDone) return;
  auto* progress = reinterpret_cast<Progress*>(instance);
  if (++progress->done == progress->total) platform::Kernel().SetEvent(progress->allDone);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
  const int rampChunks = seconds * 10;
  const int chunks = rampChunks + 10;
  std::vector<std::vector<char>> buffers(chunks, std::vector<char>(kPcmChunkBytes, 0));
  for (int c = 0; c < rampChunks; ++c)
    for (std::uint32_t i = 0; i < kPcmChunkBytes; ++i)
      buffers[c][i] = static_cast<char>(fakes::RampByte(static_cast<std::uint64_t>(c) * kPcmChunkBytes + i));
  std::vector<platform::WaveHeader> headers(chunks);

  platform::UniqueHandle allDone(platform::Kernel().NewEvent());
  Progress progress;
  progress.total = chunks;
  progress.allDone = allDone.get();

  platform::WaveOutput& waveOut = platform::WaveOut();
  const platform::WaveFormat format = RelayWaveFormat();
  platform::WaveOutHandle handle{};
  const std::uint32_t opened = waveOut.Open(&handle, 0, &format, CountDone,
                                            reinterpret_cast<platform::WaveParam>(&progress), platform::kCallbackFunction);
  if (opened != platform::kWaveOk) {
    std::printf("open of wave-out device 0 failed: %u\n", opened);
    return 2;
  }
  int queued = 0;
  for (int c = 0; c < chunks; ++c) {
    headers[c] = platform::WaveHeader{};
    headers[c].lpData = buffers[c].data();
    headers[c].dwBufferLength = kPcmChunkBytes;
    std::uint32_t result = waveOut.Prepare(handle, &headers[c]);
    if (result == platform::kWaveOk) result = waveOut.Write(handle, &headers[c]);
    if (result != platform::kWaveOk) {
      std::printf("buffer %d not queued: %u\n", c, result);
      break;
    }
    ++queued;
  }
  const bool finished = queued == chunks &&
                        platform::Kernel().Wait(allDone.get(), static_cast<std::uint32_t>(seconds + 30) * 1000) ==
                            platform::WaitResult::Signalled;
  waveOut.Reset(handle);
  for (auto& header : headers) waveOut.Unprepare(handle, &header);
  const std::uint32_t closed = waveOut.Close(handle);
  std::printf("queued %d of %d buffers, %d came back done, close %u\n", queued, chunks, progress.done.load(), closed);
  return finished && closed == platform::kWaveOk ? 0 : 1;
}
