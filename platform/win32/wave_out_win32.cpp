// Wave-out on Win32: winmm itself. Its callback thread calls the given
// procedure directly.
#include "platform/wave_out.h"

namespace platform {
namespace {

class Win32WaveOut final : public WaveOutput {
 public:
  std::uint32_t Open(WaveOutHandle* waveOut, std::uint32_t deviceId, const WaveFormat* format,
                     WaveOutProc callback, WaveParam instance, std::uint32_t flags) override {
    return ::waveOutOpen(waveOut, deviceId, format, reinterpret_cast<DWORD_PTR>(callback), instance, flags);
  }
  std::uint32_t Prepare(WaveOutHandle waveOut, WaveHeader* header) override {
    return ::waveOutPrepareHeader(waveOut, header, sizeof(WaveHeader));
  }
  std::uint32_t Write(WaveOutHandle waveOut, WaveHeader* header) override {
    return ::waveOutWrite(waveOut, header, sizeof(WaveHeader));
  }
  std::uint32_t Unprepare(WaveOutHandle waveOut, WaveHeader* header) override {
    return ::waveOutUnprepareHeader(waveOut, header, sizeof(WaveHeader));
  }
  std::uint32_t Reset(WaveOutHandle waveOut) override { return ::waveOutReset(waveOut); }
  std::uint32_t Close(WaveOutHandle waveOut) override { return ::waveOutClose(waveOut); }
};

}  // namespace

WaveOutput& SystemWaveOut() {
  static Win32WaveOut waveOut;
  return waveOut;
}

std::string PlayedAudioPath(std::uint32_t) { return {}; }

}  // namespace platform
