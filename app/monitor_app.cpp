#include "app/monitor_app.h"

#include "framework/command_line.h"
#include "framework/server_registration.h"
#include "platform/com_server.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "resources/resource.h"
#include "ui/auto_proxy.h"
#include "ui/monitor_dlg.h"

namespace {

const ServerClass kServer = {kClsidUlvexDriverMonitor, kUlvexDriverMonitorProgId};

void LockServer(bool lock) {
  if (lock) {
    OleLockApp();
  } else {
    OleUnlockApp();
  }
}

std::u16string ProgramPath() {
  char16_t path[platform::kPathUnits] = {};
  platform::Profile().ModuleFileName(path, platform::kPathUnits);
  path[platform::kPathUnits - 1] = u'\0';
  return path;
}

void RegisterEverything() {
  RegisterServerClass(kServer);
  platform::Registry().RegisterTypeLibrary(kLibidUlvexDriverMonitor);
}

void UnregisterEverything() {
  UnregisterServerClass(kServer);
  platform::Registry().UnregisterTypeLibrary(kLibidUlvexDriverMonitor, 1, 0, 0);
}

}  // namespace

std::u16string ApplicationNameFromPath(const std::u16string& programPath) {
  const std::size_t folderEnd = programPath.find_last_of(u"\\/");
  std::u16string name = folderEnd == std::u16string::npos ? programPath : programPath.substr(folderEnd + 1);
  const std::size_t extension = name.rfind(u'.');
  if (extension != std::u16string::npos && extension > 0) name.resize(extension);
  return name;
}

CUlvexDriver_MonitorApp::CUlvexDriver_MonitorApp() { m_dwRestartManagerSupportFlags = kRestartManagerSupportRestart; }

// Every way out returns false: the main window's modal run is the program's
// only message loop, and the program ends after it.
bool CUlvexDriver_MonitorApp::InitInstance() {
  platform::SetMessageCaption(ApplicationNameFromPath(ProgramPath()).c_str());
  platform::Com().InitCommonControls();
  Application::InitInstance();
  if (!platform::Com().InitializeOle()) {
    platform::Messages().Show(platform::Com().LoadResourceString(IDP_OLE_INIT_FAILED).c_str(), platform::kMbOk);
    return false;
  }
  // No dialog hosts an ActiveX control or a shell control, and the settings
  // live in config.ini: there is no control container, shell manager or
  // registry key for profiles to set up.
  const CommandLineInfo info = ParseCommandLine(arguments());
  if (info.programmaticControl) userControl = false;

  switch (ChooseStartMode(info)) {
    case StartMode::Automation:
      platform::Com().RegisterClassObject({kClsidUlvexDriverMonitor, kIidUlvexDriverMonitorDispatch,
                                           &CUlvexDriver_MonitorDlgAutoProxy::CreateObject, &LockServer});
      break;
    case StartMode::Unregistration:
      UnregisterEverything();
      return false;
    case StartMode::Registration:
      RegisterEverything();
      return false;
    case StartMode::Normal:
      RegisterEverything();
      break;
  }
  RunMainWindow();
  return false;
}

void CUlvexDriver_MonitorApp::RunMainWindow() {
  CUlvexDriver_MonitorDlg dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
}

int CUlvexDriver_MonitorApp::ExitInstance() {
  platform::Com().TerminateOle();
  return Application::ExitInstance();
}
