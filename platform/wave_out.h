// The wave-out seam, playback part: open a device with a callback, prepare,
// write, unprepare, reset and close buffers. Every call returns 0 on success
// or a wave-out error code. The callback runs on a thread of the output's own
// with the instance data given to Open; after Close returns no callback comes.
// One thread drives an open output; the callback may run meanwhile.
//
// Headers and the format are the Windows records on Windows and records of
// the same fields elsewhere, so the code above reads the fields by name.
#pragma once

#include <cstdint>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#include <mmsystem.h>
#define ULVEX_WAVE_CALLBACK CALLBACK
namespace platform {
using WaveHeader = WAVEHDR;
using WaveFormat = WAVEFORMATEX;
using WaveOutHandle = HWAVEOUT;
using WaveMessage = UINT;
using WaveParam = DWORD_PTR;
}  // namespace platform
#else
#define ULVEX_WAVE_CALLBACK
namespace platform {
struct OpaqueWaveOut;
using WaveOutHandle = OpaqueWaveOut*;
using WaveMessage = std::uint32_t;
using WaveParam = std::uintptr_t;

struct WaveHeader {
  char* lpData;
  std::uint32_t dwBufferLength;
  std::uint32_t dwBytesRecorded;
  WaveParam dwUser;
  std::uint32_t dwFlags;
  std::uint32_t dwLoops;
  WaveHeader* lpNext;
  WaveParam reserved;
};

struct WaveFormat {
  std::uint16_t wFormatTag;
  std::uint16_t nChannels;
  std::uint32_t nSamplesPerSec;
  std::uint32_t nAvgBytesPerSec;
  std::uint16_t nBlockAlign;
  std::uint16_t wBitsPerSample;
  std::uint16_t cbSize;
};
}  // namespace platform
#endif

namespace platform {

using WaveOutProc = void(ULVEX_WAVE_CALLBACK*)(WaveOutHandle waveOut, WaveMessage message, WaveParam instance,
                                               WaveParam param1, WaveParam param2);

// The values of the Windows wave-out interface.
constexpr std::uint32_t kWaveOk = 0;                 // MMSYSERR_NOERROR
constexpr std::uint32_t kWaveError = 1;              // MMSYSERR_ERROR
constexpr std::uint32_t kWaveBadDeviceId = 2;        // MMSYSERR_BADDEVICEID
constexpr std::uint32_t kWaveInvalidHandle = 5;      // MMSYSERR_INVALHANDLE
constexpr std::uint32_t kWaveInvalidParam = 11;      // MMSYSERR_INVALPARAM
constexpr std::uint32_t kWaveBadFormat = 32;         // WAVERR_BADFORMAT
constexpr std::uint32_t kWaveStillPlaying = 33;      // WAVERR_STILLPLAYING
constexpr std::uint32_t kWaveUnprepared = 34;        // WAVERR_UNPREPARED
constexpr std::uint32_t kWaveHeaderDone = 0x01;      // WHDR_DONE
constexpr std::uint32_t kWaveHeaderPrepared = 0x02;  // WHDR_PREPARED
constexpr std::uint32_t kWaveHeaderInQueue = 0x10;   // WHDR_INQUEUE
constexpr std::uint32_t kCallbackFunction = 0x00030000;
constexpr WaveMessage kWomOpen = 0x3BB;
constexpr WaveMessage kWomClose = 0x3BC;
constexpr WaveMessage kWomDone = 0x3BD;
constexpr std::uint16_t kWaveFormatPcm = 1;

class WaveOutput {
 public:
  virtual ~WaveOutput() = default;

  virtual std::uint32_t Open(WaveOutHandle* waveOut, std::uint32_t deviceId, const WaveFormat* format,
                             WaveOutProc callback, WaveParam instance, std::uint32_t flags) = 0;
  virtual std::uint32_t Prepare(WaveOutHandle waveOut, WaveHeader* header) = 0;
  // Queued buffers play in the order written; a played one gets WHDR_DONE
  // and the callback receives WOM_DONE with it.
  virtual std::uint32_t Write(WaveOutHandle waveOut, WaveHeader* header) = 0;
  // A header that is not prepared is accepted with no effect.
  virtual std::uint32_t Unprepare(WaveOutHandle waveOut, WaveHeader* header) = 0;
  // Gives back every queued buffer marked WHDR_DONE before it returns.
  virtual std::uint32_t Reset(WaveOutHandle waveOut) = 0;
  virtual std::uint32_t Close(WaveOutHandle waveOut) = 0;
};

WaveOutput& WaveOut();
WaveOutput& SystemWaveOut();
// For tests; pass null to go back to the platform's own.
void SetWaveOutForTesting(WaveOutput* waveOut);

// Where the platform's own output keeps a copy of what device `deviceId`
// played, for tests and benchmarks: on POSIX the file that the substitute
// appends to, $ULVEX_WAVE_OUT_DIR/device<N>.pcm (the folder defaults to
// /tmp/ulvex-wave-out); empty on Windows, whose devices keep none.
std::string PlayedAudioPath(std::uint32_t deviceId);

}  // namespace platform
