// The application object: runs the main window as the program's only message
// loop. Main thread only.
#pragma once

#include <string>

#include "framework/application.h"

class CUlvexDriver_MonitorApp : public Application {
 public:
  CUlvexDriver_MonitorApp();

 protected:
  bool InitInstance() override;
  int ExitInstance() override;
};

// The program file's base name, which names the application: the program
// has no title string of its own.
std::u16string ApplicationNameFromPath(const std::u16string& programPath);
