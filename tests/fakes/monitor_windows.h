// A window system in memory holding the program's own resources as the
// resource script describes them: dialogs 102 and 100, string 101 and icon
// 128. Installed for the life of the object. One thread.
#pragma once

#include "platform/memory_window_system.h"

namespace fakes {

class MonitorWindows : public platform::MemoryWindowSystem {
 public:
  MonitorWindows();
  ~MonitorWindows() override;
};

}  // namespace fakes
