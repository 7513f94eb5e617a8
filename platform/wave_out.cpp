#include "platform/wave_out.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<WaveOutput*> g_override{nullptr};
}  // namespace

WaveOutput& WaveOut() {
  WaveOutput* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemWaveOut();
}

void SetWaveOutForTesting(WaveOutput* waveOut) { g_override.store(waveOut, std::memory_order_release); }

}  // namespace platform
