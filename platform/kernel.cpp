#include "platform/kernel.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<KernelObjects*> g_override{nullptr};
}  // namespace

KernelObjects& Kernel() {
  KernelObjects* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemKernel();
}

void SetKernelForTesting(KernelObjects* kernel) { g_override.store(kernel, std::memory_order_release); }

}  // namespace platform
