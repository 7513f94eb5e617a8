// A virtual audio device for tests: scripted reads (sizes, failures, empty
// reads), reads that block until released, or reads paced like a device that
// produces its stream in real time. The stream is a counting ramp unless told
// otherwise. Records every call with its time. Installed for the life of the
// object; any thread may call it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/audio_device.h"

namespace fakes {

using Clock = std::chrono::steady_clock;

// Byte `offset` of the default stream: frame f holds f on the left and
// 0xFFFF - f on the right (16 bits each, little-endian), so any lost, doubled
// or shifted byte shows.
std::uint8_t RampByte(std::uint64_t offset);

struct ReadReply {
  bool ok = true;
  std::uint32_t bytes = 0;  // 0 with ok: an empty read
};
inline ReadReply Bytes(std::uint32_t count) { return {true, count}; }
inline ReadReply ReadsNothing() { return {true, 0}; }
inline ReadReply ReadFails() { return {false, 0}; }

class FakeAudioDevice : public platform::AudioDeviceAccess {
 public:
  enum class Op { Open, Control, Read, Close };
  struct Call {
    Op op;
    platform::Handle handle;
    std::uint32_t value;   // Control: the code; Read: the size asked
    std::uint32_t bytes;   // Read: the count handed over
    bool ok;
    std::uint64_t offset;  // Read: stream offset of the first byte handed over
    Clock::time_point at;  // when the call returned
  };

  FakeAudioDevice();
  ~FakeAudioDevice() override;

  // The replies of the first reads, in order, and of every read after them.
  void Script(std::vector<ReadReply> first, ReadReply afterwards);
  // Every read returns no earlier than a device producing `bytesPerSecond`
  // from the first read on would have the bytes it hands over.
  void PaceInRealTime(std::uint32_t bytesPerSecond);
  // Reads wait until Unblock.
  void BlockReads();
  void Unblock();
  // 1-based over all opens; 0 refuses none.
  void RefuseOpen(int nth) { refuseOpen_ = nth; }
  // Runs on the caller's thread as each call begins; set before any thread calls.
  void OnCall(std::function<void(Op)> hook) { onCall_ = std::move(hook); }

  // A handle as an earlier open would have given, for the relay's own.
  platform::Handle OpenForRelay();

  std::vector<Call> calls() const;
  int reads() const;
  std::vector<std::uint8_t> Fed() const;
  std::vector<std::u16string> openedPaths() const;
  bool WaitForReads(int count, std::chrono::milliseconds timeout) const;

  platform::Handle Open(const char16_t* path) override;
  bool Control(platform::Handle device, std::uint32_t code) override;
  bool Read(platform::Handle device, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) override;
  bool Close(platform::Handle device) override;

 private:
  ReadReply NextReply();
  void Record(Call call);

  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::deque<ReadReply> script_;
  ReadReply afterwards_ = ReadsNothing();
  std::uint32_t bytesPerSecond_ = 0;
  bool blocked_ = false;
  bool ending_ = false;
  int refuseOpen_ = 0;
  int opens_ = 0;
  std::uintptr_t nextToken_ = 0x5EED000;
  std::set<platform::Handle> open_;
  std::function<void(Op)> onCall_;
  Clock::time_point firstRead_{};
  bool started_ = false;
  std::uint64_t offset_ = 0;
  int reads_ = 0;
  std::vector<Call> calls_;
  std::vector<std::u16string> paths_;
  std::vector<std::uint8_t> fed_;
};

}  // namespace fakes
