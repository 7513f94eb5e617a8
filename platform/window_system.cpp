#include "platform/window_system.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<WindowSystem*> g_override{nullptr};
}  // namespace

WindowSystem& Windows() {
  WindowSystem* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemWindows();
}

void SetWindowsForTesting(WindowSystem* windows) { g_override.store(windows, std::memory_order_release); }

}  // namespace platform
