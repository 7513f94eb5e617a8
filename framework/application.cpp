#include "framework/application.h"

#include "framework/command_line.h"
#include "platform/com_server.h"

namespace {
Application* g_current = nullptr;
std::atomic<long> g_locks{0};

// Under a program's control the last release ends the program.
void OnReleaseAllObjects() {
  Application* app = Application::Current();
  if (!app || app->userControl) return;
  app->userControl = true;
  if (app->m_pMainWnd) {
    if (app->m_pMainWnd->IsWindowEnabled()) app->m_pMainWnd->DestroyWindow();
  } else {
    platform::Com().PostQuit();
  }
}
}  // namespace

Application::Application() { g_current = this; }

Application::~Application() {
  if (g_current == this) g_current = nullptr;
}

Application* Application::Current() { return g_current; }

int Application::Run(const std::vector<std::u16string>& arguments) {
  arguments_ = arguments;
  // Every start of this program ends its own run from InitInstance.
  InitInstance();
  return ExitInstance();
}

bool Application::InitInstance() {
  if (m_dwRestartManagerSupportFlags & kRestartManagerSupportRestart)
    platform::Com().RegisterForRestart(u"/" + std::u16string(kRestartPrefix) + u"1");
  return true;
}

int Application::ExitInstance() { return 0; }

void OleLockApp() { ++g_locks; }

void OleUnlockApp() {
  if (--g_locks == 0) OnReleaseAllObjects();
}

long OleLockCount() { return g_locks.load(); }
