#include "app/monitor_app.h"

#include "platform/com_server.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "ui/monitor_dlg.h"

std::u16string ApplicationNameFromPath(const std::u16string& programPath) {
  const std::size_t folderEnd = programPath.find_last_of(u"\\/");
  std::u16string name = folderEnd == std::u16string::npos ? programPath : programPath.substr(folderEnd + 1);
  const std::size_t extension = name.rfind(u'.');
  if (extension != std::u16string::npos && extension > 0) name.resize(extension);
  return name;
}

CUlvexDriver_MonitorApp::CUlvexDriver_MonitorApp() { m_dwRestartManagerSupportFlags = kRestartManagerSupportRestart; }

bool CUlvexDriver_MonitorApp::InitInstance() {
  char16_t path[platform::kPathUnits] = {};
  platform::Profile().ModuleFileName(path, platform::kPathUnits);
  path[platform::kPathUnits - 1] = u'\0';
  platform::SetMessageCaption(ApplicationNameFromPath(path).c_str());

  // The endpoint catalogue needs COM on this thread.
  platform::Com().InitializeOle();

  CUlvexDriver_MonitorDlg dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return false;
}

int CUlvexDriver_MonitorApp::ExitInstance() {
  platform::Com().TerminateOle();
  return Application::ExitInstance();
}
