// A wave-out output for tests. It records every open, prepare, write,
// unprepare, reset and close, can refuse the open, and gives written buffers
// back from a callback thread of its own, either at once or, while holding,
// only on GiveBackHeld or Reset. It keeps the header rules of Windows: write
// needs a prepared header, a queued header cannot be unprepared, close fails
// while buffers are queued. One output open at a time. Installed for the life
// of the object; any thread may call it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/wave_out.h"

namespace fakes {

class FakeWaveOut : public platform::WaveOutput {
 public:
  enum class Op { Open, Prepare, Write, Unprepare, Reset, Close };
  struct Call {
    Op op;
    const platform::WaveHeader* header;
    platform::WaveParam user;   // the header's dwUser
    std::uint32_t length;       // the header's dwBufferLength
    std::uint32_t result;
    std::vector<std::uint8_t> bytes;  // Write: the buffer, `inspectBytes` long
  };
  struct OpenCall {
    std::uint32_t deviceId;
    platform::WaveFormat format;
    platform::WaveOutProc callback;
    platform::WaveParam instance;
    std::uint32_t flags;
  };

  FakeWaveOut();
  ~FakeWaveOut() override;

  void RefuseOpen(std::uint32_t result) { refuseOpen_ = result; }
  void HoldBuffers(bool hold);
  void GiveBackHeld();
  // How much of each written buffer to keep, dwBufferLength when 0.
  void InspectBytes(std::uint32_t count) { inspectBytes_ = count; }

  std::vector<Call> calls() const;
  std::vector<OpenCall> opens() const;
  // The bytes of every write in order, dwBufferLength of each.
  std::vector<std::uint8_t> Played() const;
  // Headers still prepared when the output was closed.
  int preparedAtClose() const;
  bool WaitForWrites(int count, std::chrono::milliseconds timeout) const;
  bool WaitForPlayedBytes(std::size_t count, std::chrono::milliseconds timeout) const;
  bool WaitForOpen(std::chrono::milliseconds timeout) const;

  std::uint32_t Open(platform::WaveOutHandle* waveOut, std::uint32_t deviceId, const platform::WaveFormat* format,
                     platform::WaveOutProc callback, platform::WaveParam instance, std::uint32_t flags) override;
  std::uint32_t Prepare(platform::WaveOutHandle waveOut, platform::WaveHeader* header) override;
  std::uint32_t Write(platform::WaveOutHandle waveOut, platform::WaveHeader* header) override;
  std::uint32_t Unprepare(platform::WaveOutHandle waveOut, platform::WaveHeader* header) override;
  std::uint32_t Reset(platform::WaveOutHandle waveOut) override;
  std::uint32_t Close(platform::WaveOutHandle waveOut) override;

 private:
  struct Delivery {
    platform::WaveMessage message;
    platform::WaveHeader* header;
  };
  bool IsMine(platform::WaveOutHandle waveOut) const;
  std::uint32_t Record(Op op, const platform::WaveHeader* header, std::uint32_t result);
  void Deliver();
  void StopCallbackThread();

  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::uint32_t refuseOpen_ = platform::kWaveOk;
  std::uint32_t inspectBytes_ = 0;
  bool hold_ = false;
  bool open_ = false;
  bool ending_ = false;
  bool delivering_ = false;
  int writes_ = 0;
  int preparedAtClose_ = 0;
  platform::WaveOutProc callback_ = nullptr;
  platform::WaveParam instance_ = 0;
  std::set<const platform::WaveHeader*> prepared_;
  std::deque<platform::WaveHeader*> held_;
  std::deque<Delivery> pending_;
  std::vector<Call> calls_;
  std::vector<OpenCall> opens_;
  std::vector<std::uint8_t> played_;
  std::thread callbackThread_;
};

}  // namespace fakes
