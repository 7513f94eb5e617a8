// The automation object a client creates: no properties and no methods. It
// attaches itself to the main window and holds the application alive until
// the client's last reference goes. The proxy and the window point at each
// other without owning each other: the proxy sets and clears the window's
// m_pAutoProxy, the window's destructor clears m_pDialog. Main thread only.
#pragma once

#include "platform/com_server.h"
#include "platform/policy_config.h"

class CUlvexDriver_MonitorDlg;

class CUlvexDriver_MonitorDlgAutoProxy : public platform::ServedObject {
 public:
  // Locks the application, then attaches to its main window if that is the
  // program's own main window class.
  CUlvexDriver_MonitorDlgAutoProxy();
  // Detaches, then unlocks: a window destroyed by the unlock sees no proxy.
  ~CUlvexDriver_MonitorDlgAutoProxy() override;
  CUlvexDriver_MonitorDlgAutoProxy(const CUlvexDriver_MonitorDlgAutoProxy&) = delete;
  CUlvexDriver_MonitorDlgAutoProxy& operator=(const CUlvexDriver_MonitorDlgAutoProxy&) = delete;

  // The class object's creation function; null when the object cannot be made.
  static platform::ServedObject* CreateObject();

  CUlvexDriver_MonitorDlg* m_pDialog = nullptr;
};

// The automation class: CLSID, ProgID and dispinterface.
extern const platform::Guid kClsidUlvexDriverMonitor;
extern const platform::Guid kIidUlvexDriverMonitorDispatch;
extern const platform::Guid kLibidUlvexDriverMonitor;
extern const char16_t kUlvexDriverMonitorProgId[];
