#include "ui/auto_proxy.h"

#include <new>

#include "framework/application.h"
#include "ui/monitor_dlg.h"

const platform::Guid kClsidUlvexDriverMonitor = {
    0x8E2E391A, 0x2A76, 0x475A, {0xA7, 0x70, 0xA2, 0x31, 0x96, 0x24, 0x0B, 0xBD}};
const platform::Guid kIidUlvexDriverMonitorDispatch = {
    0x40EF93CC, 0xC879, 0x42C6, {0x87, 0x51, 0x37, 0x39, 0x7E, 0xD4, 0xEB, 0x1E}};
const platform::Guid kLibidUlvexDriverMonitor = {
    0x1C2D19C6, 0x8787, 0x4176, {0x95, 0x70, 0xF8, 0xDA, 0xB4, 0x1F, 0xF3, 0xCF}};
const char16_t kUlvexDriverMonitorProgId[] = u"UlvexDriver_Monitor.Application";

CUlvexDriver_MonitorDlgAutoProxy::CUlvexDriver_MonitorDlgAutoProxy() {
  OleLockApp();
  Application* app = Application::Current();
  auto* window = app ? dynamic_cast<CUlvexDriver_MonitorDlg*>(app->m_pMainWnd) : nullptr;
  if (window) {
    m_pDialog = window;
    window->m_pAutoProxy = this;
  }
}

CUlvexDriver_MonitorDlgAutoProxy::~CUlvexDriver_MonitorDlgAutoProxy() {
  if (m_pDialog) m_pDialog->m_pAutoProxy = nullptr;
  OleUnlockApp();
}

platform::ServedObject* CUlvexDriver_MonitorDlgAutoProxy::CreateObject() {
  return new (std::nothrow) CUlvexDriver_MonitorDlgAutoProxy;
}
