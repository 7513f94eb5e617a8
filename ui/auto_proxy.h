// The automation proxy's side that the main window sees: its pointer back to
// the window. The proxy and the window point at each other without owning
// each other; the proxy sets and clears the window's m_pAutoProxy, the
// window's destructor clears m_pDialog. User-interface thread only.
#pragma once

class CUlvexDriver_MonitorDlg;

class CUlvexDriver_MonitorDlgAutoProxy {
 public:
  CUlvexDriver_MonitorDlgAutoProxy() = default;
  virtual ~CUlvexDriver_MonitorDlgAutoProxy() = default;
  CUlvexDriver_MonitorDlgAutoProxy(const CUlvexDriver_MonitorDlgAutoProxy&) = delete;
  CUlvexDriver_MonitorDlgAutoProxy& operator=(const CUlvexDriver_MonitorDlgAutoProxy&) = delete;

  CUlvexDriver_MonitorDlg* m_pDialog = nullptr;
};
