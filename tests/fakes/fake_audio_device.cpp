#include "tests/fakes/fake_audio_device.h"

#include <algorithm>

namespace fakes {

std::uint8_t RampByte(std::uint64_t offset) {
  const std::uint64_t frame = offset / 4;
  const std::uint16_t left = static_cast<std::uint16_t>(frame);
  const std::uint16_t sample = (offset % 4) < 2 ? left : static_cast<std::uint16_t>(0xFFFF - left);
  return static_cast<std::uint8_t>(offset % 2 == 0 ? sample & 0xFF : sample >> 8);
}

FakeAudioDevice::FakeAudioDevice() { platform::SetAudioDeviceForTesting(this); }

FakeAudioDevice::~FakeAudioDevice() {
  platform::SetAudioDeviceForTesting(nullptr);
  std::lock_guard<std::mutex> guard(lock_);
  ending_ = true;
  changed_.notify_all();
}

void FakeAudioDevice::Script(std::vector<ReadReply> first, ReadReply afterwards) {
  std::lock_guard<std::mutex> guard(lock_);
  script_.assign(first.begin(), first.end());
  afterwards_ = afterwards;
}

void FakeAudioDevice::PaceInRealTime(std::uint32_t bytesPerSecond) {
  std::lock_guard<std::mutex> guard(lock_);
  bytesPerSecond_ = bytesPerSecond;
}

void FakeAudioDevice::BlockReads() {
  std::lock_guard<std::mutex> guard(lock_);
  blocked_ = true;
}

void FakeAudioDevice::Unblock() {
  std::lock_guard<std::mutex> guard(lock_);
  blocked_ = false;
  changed_.notify_all();
}

platform::Handle FakeAudioDevice::OpenForRelay() {
  std::lock_guard<std::mutex> guard(lock_);
  auto* handle = reinterpret_cast<platform::Handle>(nextToken_ += 0x10);
  open_.insert(handle);
  return handle;
}

std::vector<FakeAudioDevice::Call> FakeAudioDevice::calls() const {
  std::lock_guard<std::mutex> guard(lock_);
  return calls_;
}

int FakeAudioDevice::reads() const {
  std::lock_guard<std::mutex> guard(lock_);
  return reads_;
}

std::vector<std::uint8_t> FakeAudioDevice::Fed() const {
  std::lock_guard<std::mutex> guard(lock_);
  return fed_;
}

std::vector<std::u16string> FakeAudioDevice::openedPaths() const {
  std::lock_guard<std::mutex> guard(lock_);
  return paths_;
}

bool FakeAudioDevice::WaitForReads(int count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return reads_ >= count; });
}

void FakeAudioDevice::Record(Call call) {
  calls_.push_back(call);
  changed_.notify_all();
}

platform::Handle FakeAudioDevice::Open(const char16_t* path) {
  if (onCall_) onCall_(Op::Open);
  std::lock_guard<std::mutex> guard(lock_);
  paths_.emplace_back(path);
  platform::Handle handle = platform::InvalidHandle();
  if (++opens_ != refuseOpen_) {
    handle = reinterpret_cast<platform::Handle>(nextToken_ += 0x10);
    open_.insert(handle);
  }
  Record({Op::Open, handle, 0, 0, handle != platform::InvalidHandle(), 0, Clock::now()});
  return handle;
}

bool FakeAudioDevice::Control(platform::Handle device, std::uint32_t code) {
  if (onCall_) onCall_(Op::Control);
  std::lock_guard<std::mutex> guard(lock_);
  const bool ok = open_.count(device) != 0;
  Record({Op::Control, device, code, 0, ok, 0, Clock::now()});
  return ok;
}

ReadReply FakeAudioDevice::NextReply() {
  if (script_.empty()) return afterwards_;
  ReadReply reply = script_.front();
  script_.pop_front();
  return reply;
}

bool FakeAudioDevice::Read(platform::Handle device, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) {
  if (onCall_) onCall_(Op::Read);
  std::unique_lock<std::mutex> lock(lock_);
  ++reads_;
  changed_.notify_all();
  *bytesRead = 0;
  changed_.wait(lock, [this] { return !blocked_ || ending_; });
  ReadReply reply = open_.count(device) ? NextReply() : ReadFails();
  const std::uint32_t count = reply.ok ? std::min(reply.bytes, size) : 0;
  if (!started_) {
    started_ = true;
    firstRead_ = Clock::now();
  }
  if (bytesPerSecond_ && count) {
    const auto due = firstRead_ + std::chrono::microseconds((offset_ + count) * 1000000 / bytesPerSecond_);
    changed_.wait_until(lock, due, [this] { return ending_; });
  }
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  for (std::uint32_t i = 0; i < count; ++i) {
    bytes[i] = RampByte(offset_ + i);
    fed_.push_back(bytes[i]);
  }
  *bytesRead = count;
  Record({Op::Read, device, size, count, reply.ok, offset_, Clock::now()});
  offset_ += count;
  return reply.ok;
}

bool FakeAudioDevice::Close(platform::Handle device) {
  if (onCall_) onCall_(Op::Close);
  std::lock_guard<std::mutex> guard(lock_);
  const bool ok = open_.erase(device) != 0;
  Record({Op::Close, device, 0, 0, ok, 0, Clock::now()});
  return ok;
}

}  // namespace fakes
