// The playback thread: plays what the ring holds on one wave-out device
// through ten buffers that circulate between the thread and the device. The
// thread owns the buffers, their headers and their free events for its whole
// life; WaveOutDoneProc runs on the output's callback thread and touches only
// those events.
#pragma once

#include <cstdint>

#include "platform/wave_out.h"

constexpr int kPlaybackBufferCount = 10;
// Ten buffers of 100 ms: one second queued at most.
constexpr std::uint32_t kPlaybackWaitMs = 1000;
// 16-bit stereo: the output takes whole frames only.
constexpr std::uint32_t kFrameBytes = 4;

// 44100 Hz, 16-bit, stereo PCM.
platform::WaveFormat RelayWaveFormat();

// Thread procedure; `param` is the RelayState's playbackParam. Returns 0 when
// it ended on a stop request, -1 (as unsigned) when it ended on a failure.
unsigned PlaybackThreadProc(void* param);

// Wave-out callback: on WOM_DONE sets the free event of the header's buffer;
// `instance` is the address of the thread's array of free events.
void ULVEX_WAVE_CALLBACK WaveOutDoneProc(platform::WaveOutHandle waveOut, platform::WaveMessage message,
                                         platform::WaveParam instance, platform::WaveParam param1,
                                         platform::WaveParam param2);
