#include "engine/playback_thread.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/relay_state.h"
#include "platform/kernel.h"

namespace {

using platform::Handle;
using platform::Kernel;
using platform::WaitResult;
using platform::WaveHeader;
using platform::WaveOut;

constexpr unsigned kFailed = static_cast<unsigned>(-1);

// Events, buffers and headers of one playback thread. Declared in this order
// so that the headers go first, then the buffers, then the events.
class BufferSet {
 public:
  BufferSet() = default;
  BufferSet(const BufferSet&) = delete;
  BufferSet& operator=(const BufferSet&) = delete;
  ~BufferSet() {
    for (auto& header : headers) header.reset();
    for (auto& buffer : buffers) buffer.reset();
    for (Handle event : freeEvents)
      if (event) Kernel().Close(event);
  }

  // False at the first object that cannot be made.
  bool Create(std::uint32_t bufferSize) {
    for (Handle& event : freeEvents) {
      event = Kernel().NewEvent();
      if (!event) return false;
      Kernel().SetEvent(event);
    }
    for (auto& buffer : buffers) {
      buffer.reset(new (std::nothrow) std::uint8_t[bufferSize]);
      if (!buffer) return false;
      std::memset(buffer.get(), 0, bufferSize);
    }
    for (int i = 0; i < kPlaybackBufferCount; ++i) {
      headers[i].reset(new (std::nothrow) WaveHeader{});
      if (!headers[i]) return false;
      headers[i]->lpData = reinterpret_cast<char*>(buffers[i].get());
      headers[i]->dwUser = static_cast<platform::WaveParam>(i);
    }
    return true;
  }

  Handle freeEvents[kPlaybackBufferCount] = {};
  std::unique_ptr<std::uint8_t[]> buffers[kPlaybackBufferCount];
  std::unique_ptr<WaveHeader> headers[kPlaybackBufferCount];
};

// The open output; closing it cuts off what is queued and unprepares every
// header before the headers can go.
class OpenOutput {
 public:
  explicit OpenOutput(BufferSet& set) : set_(set) {}
  OpenOutput(const OpenOutput&) = delete;
  OpenOutput& operator=(const OpenOutput&) = delete;
  ~OpenOutput() {
    if (!open_) return;
    WaveOut().Reset(handle_);
    for (auto& header : set_.headers)
      // A header that was prepared but whose write failed is not done, yet
      // still prepared; it is unprepared too before its memory goes.
      if (header->dwFlags & (platform::kWaveHeaderDone | platform::kWaveHeaderPrepared))
        WaveOut().Unprepare(handle_, header.get());
    WaveOut().Close(handle_);
  }

  bool Open(std::int32_t deviceIndex) {
    const platform::WaveFormat format = RelayWaveFormat();
    open_ = WaveOut().Open(&handle_, static_cast<std::uint32_t>(deviceIndex), &format, WaveOutDoneProc,
                           reinterpret_cast<platform::WaveParam>(set_.freeEvents),
                           platform::kCallbackFunction) == platform::kWaveOk;
    return open_;
  }
  platform::WaveOutHandle get() const { return handle_; }

 private:
  BufferSet& set_;
  platform::WaveOutHandle handle_{};
  bool open_ = false;
};

// The bytes of a partial frame at the end of a ring read, which go first into
// the next buffer: a buffer of part of a frame would shift every later sample.
struct PartialFrame {
  std::uint8_t bytes[kFrameBytes] = {};
  std::uint32_t size = 0;
};

enum class Step { Continue, Stop, Fail };

class PlaybackLoop {
 public:
  PlaybackLoop(RelayState& state, BufferSet& set, platform::WaveOutHandle waveOut)
      : state_(state), set_(set), waveOut_(waveOut) {}

  Step Turn() {
    if (Kernel().Wait(state_.stopPlaybackEvent.get(), 0) == WaitResult::Signalled) return Step::Stop;
    if (Kernel().Wait(state_.dataReadyEvent.get(), kPlaybackWaitMs) != WaitResult::Signalled)
      return Step::Continue;
    const int i = Kernel().WaitAny(set_.freeEvents, kPlaybackBufferCount, kPlaybackWaitMs);
    if (i < 0 || i >= kPlaybackBufferCount) return Step::Continue;
    Kernel().ResetEvent(set_.freeEvents[i]);
    return Fill(i);
  }

 private:
  Step Fill(int i) {
    WaveHeader& header = *set_.headers[i];
    if ((header.dwFlags & platform::kWaveHeaderDone) && WaveOut().Unprepare(waveOut_, &header) != platform::kWaveOk)
      return Step::Fail;
    std::uint8_t* buffer = set_.buffers[i].get();
    std::memset(buffer, 0, state_.ringSize);
    std::memcpy(buffer, partial_.bytes, partial_.size);
    std::uint32_t n = ReadRing(buffer);
    if (n == 0) {
      Kernel().ResetEvent(state_.dataReadyEvent.get());
      // A capture write that landed between the empty read and the reset has
      // had its wake-up taken away; look once more so that it is not left in
      // the ring for the next write to overwrite.
      n = ReadRing(buffer);
    }
    if (n == 0) {
      Kernel().SetEvent(set_.freeEvents[i]);
      return Step::Continue;
    }
    const std::uint32_t whole = KeepPartialFrame(buffer, partial_.size + n);
    if (whole == 0) {
      Kernel().SetEvent(set_.freeEvents[i]);
      return Step::Continue;
    }
    header.dwBufferLength = whole;
    if (WaveOut().Prepare(waveOut_, &header) != platform::kWaveOk) return Step::Fail;
    if (WaveOut().Write(waveOut_, &header) != platform::kWaveOk) return Step::Fail;
    return Step::Continue;
  }

  // Takes what the ring holds behind the kept partial frame, and tells the
  // capture side that there is room.
  std::uint32_t ReadRing(std::uint8_t* buffer) {
    const std::uint32_t n =
        SampleRingRead(state_.ringSize - partial_.size, state_.ring.get(), buffer + partial_.size, state_.ringMutex.get());
    Kernel().SetEvent(state_.spaceFreedEvent.get());
    return n;
  }

  // Moves the partial frame at the end of `filled` bytes out of the buffer;
  // returns the length of the whole frames that stay.
  std::uint32_t KeepPartialFrame(std::uint8_t* buffer, std::uint32_t filled) {
    const std::uint32_t whole = filled - filled % kFrameBytes;
    partial_.size = filled - whole;
    std::memcpy(partial_.bytes, buffer + whole, partial_.size);
    std::memset(buffer + whole, 0, partial_.size);
    return whole;
  }

  RelayState& state_;
  BufferSet& set_;
  const platform::WaveOutHandle waveOut_;
  PartialFrame partial_;
};

unsigned PlayUntilStopped(RelayState& state, std::int32_t waveOutIndex) {
  BufferSet set;
  if (!set.Create(state.ringSize)) return kFailed;
  OpenOutput output(set);
  if (!output.Open(waveOutIndex)) return kFailed;
  PlaybackLoop loop(state, set, output.get());
  for (;;) {
    switch (loop.Turn()) {
      case Step::Continue:
        break;
      case Step::Stop:
        return 0;
      case Step::Fail:
        return kFailed;
    }
  }
}

}  // namespace

platform::WaveFormat RelayWaveFormat() {
  platform::WaveFormat format{};
  format.wFormatTag = platform::kWaveFormatPcm;
  format.nChannels = 2;
  format.nSamplesPerSec = 44100;
  format.nAvgBytesPerSec = 176400;
  format.nBlockAlign = 4;
  format.wBitsPerSample = 16;
  format.cbSize = 0;
  return format;
}

unsigned PlaybackThreadProc(void* param) {
  auto& playbackParam = *static_cast<PlaybackParam*>(param);
  RelayState& state = *playbackParam.owner;
  Kernel().ResetEvent(state.playbackIdleEvent.get());
  const unsigned result = PlayUntilStopped(state, playbackParam.waveOutIndex);
  Kernel().SetEvent(state.playbackIdleEvent.get());
  return result;
}

void ULVEX_WAVE_CALLBACK WaveOutDoneProc(platform::WaveOutHandle, platform::WaveMessage message,
                                         platform::WaveParam instance, platform::WaveParam param1,
                                         platform::WaveParam) {
  if (message != platform::kWomDone) return;
  const auto* header = reinterpret_cast<const WaveHeader*>(param1);
  const platform::WaveParam index = header->dwUser;
  if (index >= static_cast<platform::WaveParam>(kPlaybackBufferCount)) return;
  Kernel().SetEvent(reinterpret_cast<const Handle*>(instance)[index]);
}
