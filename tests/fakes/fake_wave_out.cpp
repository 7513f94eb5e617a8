#include "tests/fakes/fake_wave_out.h"

namespace fakes {

using platform::WaveHeader;

FakeWaveOut::FakeWaveOut() { platform::SetWaveOutForTesting(this); }

FakeWaveOut::~FakeWaveOut() {
  platform::SetWaveOutForTesting(nullptr);
  StopCallbackThread();
}

void FakeWaveOut::StopCallbackThread() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    ending_ = true;
    changed_.notify_all();
  }
  if (callbackThread_.joinable()) callbackThread_.join();
}

bool FakeWaveOut::IsMine(platform::WaveOutHandle waveOut) const {
  return open_ && waveOut == reinterpret_cast<platform::WaveOutHandle>(const_cast<FakeWaveOut*>(this));
}

std::uint32_t FakeWaveOut::Record(Op op, const WaveHeader* header, std::uint32_t result) {
  Call call{op, header, header ? header->dwUser : 0, header ? header->dwBufferLength : 0, result, {}};
  if (op == Op::Write && result == platform::kWaveOk) {
    const std::uint32_t keep = inspectBytes_ ? inspectBytes_ : header->dwBufferLength;
    call.bytes.assign(header->lpData, header->lpData + keep);
    played_.insert(played_.end(), header->lpData, header->lpData + header->dwBufferLength);
    ++writes_;
  }
  calls_.push_back(std::move(call));
  changed_.notify_all();
  return result;
}

void FakeWaveOut::HoldBuffers(bool hold) {
  std::lock_guard<std::mutex> guard(lock_);
  hold_ = hold;
}

void FakeWaveOut::GiveBackHeld() {
  std::lock_guard<std::mutex> guard(lock_);
  for (WaveHeader* header : held_) pending_.push_back({platform::kWomDone, header});
  held_.clear();
  changed_.notify_all();
}

std::vector<FakeWaveOut::Call> FakeWaveOut::calls() const {
  std::lock_guard<std::mutex> guard(lock_);
  return calls_;
}

std::vector<FakeWaveOut::OpenCall> FakeWaveOut::opens() const {
  std::lock_guard<std::mutex> guard(lock_);
  return opens_;
}

std::vector<std::uint8_t> FakeWaveOut::Played() const {
  std::lock_guard<std::mutex> guard(lock_);
  return played_;
}

int FakeWaveOut::preparedAtClose() const {
  std::lock_guard<std::mutex> guard(lock_);
  return preparedAtClose_;
}

bool FakeWaveOut::WaitForWrites(int count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return writes_ >= count; });
}

bool FakeWaveOut::WaitForPlayedBytes(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return played_.size() >= count; });
}

bool FakeWaveOut::WaitForOpen(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return !opens_.empty(); });
}

std::uint32_t FakeWaveOut::Open(platform::WaveOutHandle* waveOut, std::uint32_t deviceId,
                                const platform::WaveFormat* format, platform::WaveOutProc callback,
                                platform::WaveParam instance, std::uint32_t flags) {
  std::lock_guard<std::mutex> guard(lock_);
  opens_.push_back({deviceId, *format, callback, instance, flags});
  if (refuseOpen_ != platform::kWaveOk || open_) return Record(Op::Open, nullptr, refuseOpen_ ? refuseOpen_ : 1);
  open_ = true;
  ending_ = false;
  callback_ = callback;
  instance_ = instance;
  pending_.push_back({platform::kWomOpen, nullptr});
  callbackThread_ = std::thread([this] { Deliver(); });
  *waveOut = reinterpret_cast<platform::WaveOutHandle>(this);
  return Record(Op::Open, nullptr, platform::kWaveOk);
}

// The callback thread: each header is marked done just before its WOM_DONE.
void FakeWaveOut::Deliver() {
  std::unique_lock<std::mutex> lock(lock_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || !pending_.empty(); });
    if (pending_.empty()) return;
    Delivery delivery = pending_.front();
    pending_.pop_front();
    if (delivery.header)
      delivery.header->dwFlags = (delivery.header->dwFlags & ~platform::kWaveHeaderInQueue) | platform::kWaveHeaderDone;
    delivering_ = true;
    lock.unlock();
    callback_(reinterpret_cast<platform::WaveOutHandle>(this), delivery.message, instance_,
              reinterpret_cast<platform::WaveParam>(delivery.header), 0);
    lock.lock();
    delivering_ = false;
    changed_.notify_all();
  }
}

std::uint32_t FakeWaveOut::Prepare(platform::WaveOutHandle waveOut, WaveHeader* header) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!IsMine(waveOut)) return Record(Op::Prepare, header, platform::kWaveInvalidHandle);
  header->dwFlags |= platform::kWaveHeaderPrepared;
  prepared_.insert(header);
  return Record(Op::Prepare, header, platform::kWaveOk);
}

std::uint32_t FakeWaveOut::Write(platform::WaveOutHandle waveOut, WaveHeader* header) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!IsMine(waveOut)) return Record(Op::Write, header, platform::kWaveInvalidHandle);
  if (!(header->dwFlags & platform::kWaveHeaderPrepared)) return Record(Op::Write, header, platform::kWaveUnprepared);
  if (header->dwFlags & platform::kWaveHeaderInQueue) return Record(Op::Write, header, platform::kWaveStillPlaying);
  header->dwFlags = (header->dwFlags & ~platform::kWaveHeaderDone) | platform::kWaveHeaderInQueue;
  if (hold_)
    held_.push_back(header);
  else
    pending_.push_back({platform::kWomDone, header});
  return Record(Op::Write, header, platform::kWaveOk);
}

std::uint32_t FakeWaveOut::Unprepare(platform::WaveOutHandle waveOut, WaveHeader* header) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!IsMine(waveOut)) return Record(Op::Unprepare, header, platform::kWaveInvalidHandle);
  if (header->dwFlags & platform::kWaveHeaderInQueue) return Record(Op::Unprepare, header, platform::kWaveStillPlaying);
  header->dwFlags &= ~platform::kWaveHeaderPrepared;
  prepared_.erase(header);
  return Record(Op::Unprepare, header, platform::kWaveOk);
}

std::uint32_t FakeWaveOut::Reset(platform::WaveOutHandle waveOut) {
  std::unique_lock<std::mutex> lock(lock_);
  if (!IsMine(waveOut)) return Record(Op::Reset, nullptr, platform::kWaveInvalidHandle);
  for (WaveHeader* header : held_) pending_.push_back({platform::kWomDone, header});
  held_.clear();
  changed_.notify_all();
  changed_.wait(lock, [this] { return pending_.empty() && !delivering_; });
  return Record(Op::Reset, nullptr, platform::kWaveOk);
}

std::uint32_t FakeWaveOut::Close(platform::WaveOutHandle waveOut) {
  {
    std::unique_lock<std::mutex> lock(lock_);
    if (!IsMine(waveOut)) return Record(Op::Close, nullptr, platform::kWaveInvalidHandle);
    // Let the done callbacks already on their way arrive first.
    changed_.wait(lock, [this] { return (pending_.empty() && !delivering_); });
    if (!held_.empty()) return Record(Op::Close, nullptr, platform::kWaveStillPlaying);
    preparedAtClose_ = static_cast<int>(prepared_.size());
    pending_.push_back({platform::kWomClose, nullptr});
    Record(Op::Close, nullptr, platform::kWaveOk);
  }
  StopCallbackThread();
  std::lock_guard<std::mutex> guard(lock_);
  open_ = false;
  return platform::kWaveOk;
}

}  // namespace fakes
