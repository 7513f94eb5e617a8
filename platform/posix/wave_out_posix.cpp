// Wave-out on POSIX: each open device has a player thread that plays the
// queued buffers in order at the format's byte rate, so that a buffer is done
// only after its duration, appends what it plays to the device's file, and
// runs the callback. Reset and Close wait for the player, so both return with
// every buffer given back.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <new>
#include <thread>

#include "platform/wave_out.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kDeviceCount = 16;
constexpr std::uint32_t kWaveMapper = 0xFFFFFFFFu;

std::string PlayedAudioFolder() {
  const char* folder = std::getenv("ULVEX_WAVE_OUT_DIR");
  return folder && *folder ? folder : "/tmp/ulvex-wave-out";
}

void AppendAll(int fd, const char* data, std::uint32_t size) {
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;  // a full disk loses the copy, never the playback
    data += put;
    size -= static_cast<std::uint32_t>(put);
  }
}

class Device {
 public:
  Device(int fd, WaveOutProc callback, WaveParam instance, std::uint32_t bytesPerSecond)
      : fd_(fd), callback_(callback), instance_(instance), bytesPerSecond_(bytesPerSecond) {}
  ~Device() { ::close(fd_); }

  bool Start() {
    try {
      player_ = std::thread([this] { Play(); });
      return true;
    } catch (...) {
      return false;
    }
  }

  std::uint32_t Prepare(WaveHeader* header) {
    std::lock_guard<std::mutex> guard(lock_);
    header->dwFlags |= kWaveHeaderPrepared;
    return kWaveOk;
  }

  std::uint32_t Unprepare(WaveHeader* header) {
    std::lock_guard<std::mutex> guard(lock_);
    if (header->dwFlags & kWaveHeaderInQueue) return kWaveStillPlaying;
    header->dwFlags &= ~kWaveHeaderPrepared;
    return kWaveOk;
  }

  std::uint32_t Write(WaveHeader* header) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (!(header->dwFlags & kWaveHeaderPrepared)) return kWaveUnprepared;
      if (header->dwFlags & kWaveHeaderInQueue) return kWaveStillPlaying;
      header->dwFlags = (header->dwFlags & ~kWaveHeaderDone) | kWaveHeaderInQueue;
      queue_.push_back(header);
    }
    changed_.notify_all();
    return kWaveOk;
  }

  std::uint32_t Reset() {
    std::unique_lock<std::mutex> lock(lock_);
    if (queue_.empty()) return kWaveOk;
    resetting_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !resetting_; });
    return kWaveOk;
  }

  std::uint32_t Close() {
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (!queue_.empty()) return kWaveStillPlaying;
      closing_ = true;
    }
    changed_.notify_all();
    player_.join();
    return kWaveOk;
  }

 private:
  void Play() {
    callback_(Handle(), kWomOpen, instance_, 0, 0);
    std::unique_lock<std::mutex> lock(lock_);
    Clock::time_point playedUntil = Clock::now();
    for (;;) {
      changed_.wait(lock, [this] { return closing_ || !queue_.empty(); });
      if (queue_.empty()) break;
      WaveHeader* header = queue_.front();
      const Clock::time_point now = Clock::now();
      if (playedUntil < now) playedUntil = now;  // the output ran dry meanwhile
      if (!resetting_) AppendAll(fd_, header->lpData, header->dwBufferLength);
      const Clock::time_point due = playedUntil + Duration(header->dwBufferLength);
      changed_.wait_until(lock, due, [this] { return resetting_; });
      playedUntil = resetting_ ? Clock::now() : due;
      queue_.pop_front();
      header->dwFlags = (header->dwFlags & ~kWaveHeaderInQueue) | kWaveHeaderDone;
      lock.unlock();
      callback_(Handle(), kWomDone, instance_, reinterpret_cast<WaveParam>(header), 0);
      lock.lock();
      if (resetting_ && queue_.empty()) {
        resetting_ = false;
        changed_.notify_all();
      }
    }
    lock.unlock();
    callback_(Handle(), kWomClose, instance_, 0, 0);
  }

  Clock::duration Duration(std::uint32_t bytes) const {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(
        static_cast<std::uint64_t>(bytes) * 1000000u / bytesPerSecond_));
  }

  WaveOutHandle Handle() { return reinterpret_cast<WaveOutHandle>(this); }

  const int fd_;
  const WaveOutProc callback_;
  const WaveParam instance_;
  const std::uint32_t bytesPerSecond_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<WaveHeader*> queue_;
  bool resetting_ = false;
  bool closing_ = false;
  std::thread player_;
};

Device* ToDevice(WaveOutHandle waveOut) { return reinterpret_cast<Device*>(waveOut); }

bool IsPlayablePcm(const WaveFormat& format) {
  return format.wFormatTag == kWaveFormatPcm && format.nChannels > 0 && format.nBlockAlign > 0 &&
         format.nAvgBytesPerSec > 0;
}

class PosixWaveOut final : public WaveOutput {
 public:
  std::uint32_t Open(WaveOutHandle* waveOut, std::uint32_t deviceId, const WaveFormat* format,
                     WaveOutProc callback, WaveParam instance, std::uint32_t flags) override {
    if (!waveOut || !format || !callback || flags != kCallbackFunction) return kWaveInvalidParam;
    if (deviceId == kWaveMapper) deviceId = 0;
    if (deviceId >= kDeviceCount) return kWaveBadDeviceId;
    if (!IsPlayablePcm(*format)) return kWaveBadFormat;
    ::mkdir(PlayedAudioFolder().c_str(), 0777);
    const int fd = ::open(PlayedAudioPath(deviceId).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return kWaveError;
    auto* device = new (std::nothrow) Device(fd, callback, instance, format->nAvgBytesPerSec);
    if (!device) {
      ::close(fd);
      return kWaveError;
    }
    if (!device->Start()) {
      delete device;
      return kWaveError;
    }
    *waveOut = reinterpret_cast<WaveOutHandle>(device);
    return kWaveOk;
  }

  std::uint32_t Prepare(WaveOutHandle waveOut, WaveHeader* header) override {
    return waveOut && header ? ToDevice(waveOut)->Prepare(header) : kWaveInvalidHandle;
  }
  std::uint32_t Write(WaveOutHandle waveOut, WaveHeader* header) override {
    return waveOut && header ? ToDevice(waveOut)->Write(header) : kWaveInvalidHandle;
  }
  std::uint32_t Unprepare(WaveOutHandle waveOut, WaveHeader* header) override {
    return waveOut && header ? ToDevice(waveOut)->Unprepare(header) : kWaveInvalidHandle;
  }
  std::uint32_t Reset(WaveOutHandle waveOut) override {
    return waveOut ? ToDevice(waveOut)->Reset() : kWaveInvalidHandle;
  }
  std::uint32_t Close(WaveOutHandle waveOut) override {
    if (!waveOut) return kWaveInvalidHandle;
    const std::uint32_t result = ToDevice(waveOut)->Close();
    if (result == kWaveOk) delete ToDevice(waveOut);
    return result;
  }
};

}  // namespace

WaveOutput& SystemWaveOut() {
  static PosixWaveOut waveOut;
  return waveOut;
}

std::string PlayedAudioPath(std::uint32_t deviceId) {
  return PlayedAudioFolder() + "/device" + std::to_string(deviceId) + ".pcm";
}

}  // namespace platform
