// Passes every wave-out call to the platform's own output and records, with
// their times, what was handed over (each write) and what came back played
// (each WOM_DONE). Its own callback runs on the output's callback thread and
// then calls the one given to Open. One output open at a time. Installed for
// the life of the object; any thread may call it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/wave_out.h"

namespace fakes {

class RecordingWaveOut : public platform::WaveOutput {
 public:
  using Clock = std::chrono::steady_clock;
  struct HandOver {
    std::uint64_t offset;  // of its first byte in all that was written
    std::uint32_t length;
    Clock::time_point at;
  };

  RecordingWaveOut();
  ~RecordingWaveOut() override;

  std::vector<HandOver> writes() const;
  std::vector<std::uint8_t> Written() const;
  std::uint64_t playedBytes() const;
  bool WaitForPlayedBytes(std::uint64_t count, std::chrono::milliseconds timeout) const;
  bool WaitForOpen(std::chrono::milliseconds timeout) const;
  // The result of the last open.
  std::uint32_t openResult() const;

  std::uint32_t Open(platform::WaveOutHandle* waveOut, std::uint32_t deviceId, const platform::WaveFormat* format,
                     platform::WaveOutProc callback, platform::WaveParam instance, std::uint32_t flags) override;
  std::uint32_t Prepare(platform::WaveOutHandle waveOut, platform::WaveHeader* header) override;
  std::uint32_t Write(platform::WaveOutHandle waveOut, platform::WaveHeader* header) override;
  std::uint32_t Unprepare(platform::WaveOutHandle waveOut, platform::WaveHeader* header) override;
  std::uint32_t Reset(platform::WaveOutHandle waveOut) override;
  std::uint32_t Close(platform::WaveOutHandle waveOut) override;

 private:
  static void ULVEX_WAVE_CALLBACK Relay(platform::WaveOutHandle waveOut, platform::WaveMessage message,
                                        platform::WaveParam instance, platform::WaveParam param1,
                                        platform::WaveParam param2);

  platform::WaveOutput& real_;
  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  platform::WaveOutProc callback_ = nullptr;
  platform::WaveParam instance_ = 0;
  bool opened_ = false;
  std::uint32_t openResult_ = platform::kWaveOk;
  std::vector<HandOver> writes_;
  std::vector<std::uint8_t> written_;
  std::uint64_t played_ = 0;
};

}  // namespace fakes
