// The main window, template 102: the playback device list, the Run/Stop
// button, the auto-connect box and the notice. It drives the relay and the
// default-endpoint switch, and owns the device lists' item data from the fill
// until its window goes. User-interface thread only; the relay's workers
// share only the relay's state, which this object holds a reference to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/relay_state.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "platform/window_system.h"

class CUlvexDriver_MonitorDlgAutoProxy;

class CUlvexDriver_MonitorDlg : public framework::Dialog {
 public:
  CUlvexDriver_MonitorDlg();
  // Stops a relay still running (without switching the default endpoint
  // back), so that no worker outlives the window it was started from.
  ~CUlvexDriver_MonitorDlg() override;

  CUlvexDriver_MonitorDlgAutoProxy* m_pAutoProxy;

  bool running() const { return m_bRunning != 0; }
  const std::shared_ptr<RelayState>& relay() const { return m_relay; }

 protected:
  platform::IconHandle m_hIcon;
  std::int32_t m_bRunning = 0;
  std::shared_ptr<RelayState> m_relay;
  std::u16string m_strRunText;
  std::u16string m_strStopText;
  framework::ComboBox m_comboVirtualDevice;
  framework::ComboBox m_comboPlayDevice;
  framework::StaticText m_staticNotice;
  framework::StaticText m_staticPlayDevice;
  framework::StaticText m_staticVirtualDevice;
  framework::Button m_checkAutoConnect;
  framework::Button m_buttonRun;

  void DoDataExchange(framework::DataExchange& exchange) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  void OnSysCommand(std::uintptr_t id, std::intptr_t lParam);
  void OnPaint();
  platform::IconHandle OnQueryDragIcon();
  void OnClose();
  void OnDestroy();
  void OnBnClickedRun();
  void OnBnClickedAutoConnect();
  void LoadWindowTexts();

 private:
  void SwitchDefaultToSelected(platform::ListControl& list);
};
