// The application object: reads the command line, registers or unregisters
// the automation class and its type library, and runs the main window as the
// program's only message loop. Main thread only.
#pragma once

#include <string>

#include "framework/application.h"

class CUlvexDriver_MonitorApp : public Application {
 public:
  CUlvexDriver_MonitorApp();

 protected:
  bool InitInstance() override;
  int ExitInstance() override;
  // Constructs the main window, makes it the main window and runs it modally.
  virtual void RunMainWindow();
};

// The program file's base name, which names the application: the program
// has no title string of its own.
std::u16string ApplicationNameFromPath(const std::u16string& programPath);
