// Without a window system the program's windows live in memory; no template
// is known there, so a dialog run ends at once.
#include "platform/memory_window_system.h"

namespace platform {

WindowSystem& SystemWindows() {
  static WindowSystem* windows = new MemoryWindowSystem;
  return *windows;
}

}  // namespace platform
