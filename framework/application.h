// The application object of our framework: the entry calls Run, which calls
// InitInstance and then ExitInstance, whose result is the exit code. It also
// keeps the process-wide count of objects that automation clients hold, and
// ends the program when the last goes while a program is in control. Main
// thread only, but for the count, which is atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// What the count of outstanding objects needs of the main window.
class MainWindow {
 public:
  virtual ~MainWindow() = default;
  virtual bool IsWindowEnabled() = 0;
  // Ends the main window's modal run.
  virtual void DestroyWindow() = 0;
};

constexpr std::uint32_t kRestartManagerSupportRestart = 1;

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static Application* Current();

  // `arguments` excludes the program's own name.
  int Run(const std::vector<std::u16string>& arguments);
  const std::vector<std::u16string>& arguments() const { return arguments_; }

  std::uint32_t m_dwRestartManagerSupportFlags = 0;
  MainWindow* m_pMainWnd = nullptr;
  bool userControl = true;

 protected:
  // Returns false to end the program without a message loop of the framework's own.
  virtual bool InitInstance();
  virtual int ExitInstance();

 private:
  std::vector<std::u16string> arguments_;
};

void OleLockApp();
void OleUnlockApp();
long OleLockCount();
