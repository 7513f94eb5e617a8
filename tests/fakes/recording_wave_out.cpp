#include "tests/fakes/recording_wave_out.h"

namespace fakes {

RecordingWaveOut::RecordingWaveOut() : real_(platform::SystemWaveOut()) { platform::SetWaveOutForTesting(this); }
RecordingWaveOut::~RecordingWaveOut() { platform::SetWaveOutForTesting(nullptr); }

std::vector<RecordingWaveOut::HandOver> RecordingWaveOut::writes() const {
  std::lock_guard<std::mutex> guard(lock_);
  return writes_;
}

std::vector<std::uint8_t> RecordingWaveOut::Written() const {
  std::lock_guard<std::mutex> guard(lock_);
  return written_;
}

std::uint64_t RecordingWaveOut::playedBytes() const {
  std::lock_guard<std::mutex> guard(lock_);
  return played_;
}

bool RecordingWaveOut::WaitForOpen(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return opened_; });
}

std::uint32_t RecordingWaveOut::openResult() const {
  std::lock_guard<std::mutex> guard(lock_);
  return openResult_;
}

bool RecordingWaveOut::WaitForPlayedBytes(std::uint64_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return played_ >= count; });
}

std::uint32_t RecordingWaveOut::Open(platform::WaveOutHandle* waveOut, std::uint32_t deviceId,
                                     const platform::WaveFormat* format, platform::WaveOutProc callback,
                                     platform::WaveParam instance, std::uint32_t flags) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    callback_ = callback;
    instance_ = instance;
  }
  const std::uint32_t result =
      real_.Open(waveOut, deviceId, format, Relay, reinterpret_cast<platform::WaveParam>(this), flags);
  std::lock_guard<std::mutex> guard(lock_);
  openResult_ = result;
  opened_ = true;
  changed_.notify_all();
  return result;
}

void ULVEX_WAVE_CALLBACK RecordingWaveOut::Relay(platform::WaveOutHandle waveOut, platform::WaveMessage message,
                                                 platform::WaveParam instance, platform::WaveParam param1,
                                                 platform::WaveParam param2) {
  auto* self = reinterpret_cast<RecordingWaveOut*>(instance);
  platform::WaveOutProc callback;
  platform::WaveParam userInstance;
  {
    std::lock_guard<std::mutex> guard(self->lock_);
    callback = self->callback_;
    userInstance = self->instance_;
    if (message == platform::kWomDone) {
      self->played_ += reinterpret_cast<const platform::WaveHeader*>(param1)->dwBufferLength;
      self->changed_.notify_all();
    }
  }
  callback(waveOut, message, userInstance, param1, param2);
}

std::uint32_t RecordingWaveOut::Prepare(platform::WaveOutHandle waveOut, platform::WaveHeader* header) {
  return real_.Prepare(waveOut, header);
}

std::uint32_t RecordingWaveOut::Write(platform::WaveOutHandle waveOut, platform::WaveHeader* header) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    writes_.push_back({written_.size(), header->dwBufferLength, Clock::now()});
    written_.insert(written_.end(), header->lpData, header->lpData + header->dwBufferLength);
  }
  const std::uint32_t result = real_.Write(waveOut, header);
  if (result != platform::kWaveOk) {
    std::lock_guard<std::mutex> guard(lock_);
    written_.resize(writes_.back().offset);
    writes_.pop_back();
  }
  return result;
}

std::uint32_t RecordingWaveOut::Unprepare(platform::WaveOutHandle waveOut, platform::WaveHeader* header) {
  return real_.Unprepare(waveOut, header);
}

std::uint32_t RecordingWaveOut::Reset(platform::WaveOutHandle waveOut) { return real_.Reset(waveOut); }
std::uint32_t RecordingWaveOut::Close(platform::WaveOutHandle waveOut) { return real_.Close(waveOut); }

}  // namespace fakes
