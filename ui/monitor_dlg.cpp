#include "ui/monitor_dlg.h"

#include "endpoints/default_endpoint.h"
#include "endpoints/endpoint_catalogue.h"
#include "engine/relay_control.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "ui/about_dlg.h"
#include "ui/auto_proxy.h"

using platform::Windows;

namespace {

std::u16string WindowText(const char16_t* key, const std::u16string& languageFile) {
  char16_t buffer[kWindowTextUnits];
  ReadWindowText(key, languageFile, buffer);
  return buffer;
}

}  // namespace

CUlvexDriver_MonitorDlg::CUlvexDriver_MonitorDlg()
    : framework::Dialog(IDD_ULVEXDRIVER_MONITOR_DIALOG),
      m_pAutoProxy(nullptr),
      m_hIcon(Windows().LoadIconResource(IDR_MAINFRAME)) {
  MapMessage(platform::kWmSysCommand, [this](std::uintptr_t wParam, std::intptr_t lParam) {
    OnSysCommand(wParam, lParam);
    return std::intptr_t{0};
  });
  MapMessage(platform::kWmClose, [this](std::uintptr_t, std::intptr_t) {
    OnClose();
    return std::intptr_t{0};
  });
  MapMessage(platform::kWmPaint, [this](std::uintptr_t, std::intptr_t) {
    OnPaint();
    return std::intptr_t{0};
  });
  MapMessage(platform::kWmQueryDragIcon, [this](std::uintptr_t, std::intptr_t) {
    return reinterpret_cast<std::intptr_t>(OnQueryDragIcon());
  });
  MapMessage(platform::kWmDestroy, [this](std::uintptr_t, std::intptr_t) {
    OnDestroy();
    return std::intptr_t{0};
  });
  MapCommand(IDC_BUTTON_RUN, platform::kBnClicked, [this] { OnBnClickedRun(); });
  MapCommand(IDC_CHECK_AUTO_CONNECT, platform::kBnClicked, [this] { OnBnClickedAutoConnect(); });
}

CUlvexDriver_MonitorDlg::~CUlvexDriver_MonitorDlg() {
  if (m_pAutoProxy) m_pAutoProxy->m_pDialog = nullptr;
  if (m_bRunning) {
    StopRelay(m_relay);
    m_bRunning = 0;
  }
}

void CUlvexDriver_MonitorDlg::DoDataExchange(framework::DataExchange& exchange) {
  framework::Dialog::DoDataExchange(exchange);
  BindControl(exchange, IDC_COMBO_VIRTUAL_DEVICE, m_comboVirtualDevice);
  BindControl(exchange, IDC_COMBO_PLAY_DEVICE, m_comboPlayDevice);
  BindControl(exchange, IDC_STATIC_NOTICE, m_staticNotice);
  BindControl(exchange, IDC_STATIC_PLAY_DEVICE, m_staticPlayDevice);
  BindControl(exchange, IDC_STATIC_VIRTUAL_DEVICE, m_staticVirtualDevice);
  BindControl(exchange, IDC_CHECK_AUTO_CONNECT, m_checkAutoConnect);
  BindControl(exchange, IDC_BUTTON_RUN, m_buttonRun);
}

bool CUlvexDriver_MonitorDlg::OnInitDialog() {
  framework::Dialog::OnInitDialog();

  if (platform::MenuHandle systemMenu = GetSystemMenu(false)) {
    const std::u16string aboutText = Windows().LoadStringResource(IDS_ABOUTBOX);
    if (!aboutText.empty()) {
      Windows().AppendMenuItem(systemMenu, platform::kMfSeparator, 0, nullptr);
      Windows().AppendMenuItem(systemMenu, platform::kMfString, IDM_ABOUTBOX, aboutText.c_str());
    }
  }

  SetIcon(m_hIcon, true);
  SetIcon(m_hIcon, false);
  ShowWindow(platform::kSwMinimize);

  m_bRunning = 0;
  LoadWindowTexts();
  FillDeviceLists(m_comboVirtualDevice, m_comboPlayDevice);

  if (ReadAutoConnect() != 0) {
    m_checkAutoConnect.SetCheck(platform::kBstChecked);
    OnBnClickedRun();
  } else {
    m_checkAutoConnect.SetCheck(platform::kBstUnchecked);
  }
  return true;
}

void CUlvexDriver_MonitorDlg::LoadWindowTexts() {
  const std::u16string languageFile = GetLanguageFilePath();
  const std::u16string caption = WindowText(u"Caption", languageFile);
  SetWindowText(caption + u" " + GetVersionText());
  m_staticVirtualDevice.SetWindowText(WindowText(u"staticVirtualAudioDevice", languageFile));
  m_staticPlayDevice.SetWindowText(WindowText(u"staticPlayDevice", languageFile));
  m_strRunText = WindowText(u"buttonRun", languageFile);
  m_buttonRun.SetWindowText(m_strRunText);
  m_strStopText = WindowText(u"buttonStop", languageFile);
  m_checkAutoConnect.SetWindowText(WindowText(u"checkboxAutoRun", languageFile));
  m_staticNotice.SetWindowText(WindowText(u"staticNotice", languageFile));
}

void CUlvexDriver_MonitorDlg::SwitchDefaultToSelected(platform::ListControl& list) {
  if (const char16_t* endpointId = SelectedEndpointId(list)) SetDefaultRenderEndpoint(endpointId);
}

void CUlvexDriver_MonitorDlg::OnBnClickedRun() {
  if (m_bRunning == 0) {
    // The virtual device becomes the default before anything plays into the relay.
    SwitchDefaultToSelected(m_comboVirtualDevice);
    StartRelay(m_relay, m_comboPlayDevice);
    m_bRunning = 1;
    m_buttonRun.SetWindowText(m_strStopText);
  } else {
    StopRelay(m_relay);
    SwitchDefaultToSelected(m_comboPlayDevice);
    m_bRunning = 0;
    m_buttonRun.SetWindowText(m_strRunText);
  }
}

void CUlvexDriver_MonitorDlg::OnBnClickedAutoConnect() {
  WriteAutoConnect(m_checkAutoConnect.GetCheck() == platform::kBstChecked);
}

void CUlvexDriver_MonitorDlg::OnSysCommand(std::uintptr_t id, std::intptr_t lParam) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg about(this);
    about.DoModal();
  } else {
    framework::Dialog::OnSysCommand(id, lParam);
  }
}

void CUlvexDriver_MonitorDlg::OnPaint() {
  if (!IsIconic()) {
    framework::Dialog::OnPaint();
    return;
  }
  platform::WindowSystem& windows = Windows();
  platform::PaintHandle paint = windows.BeginPaint(m_hWnd);
  SendMessage(platform::kWmIconEraseBkgnd, reinterpret_cast<std::uintptr_t>(paint), 0);
  const int iconWidth = windows.GetSystemMetrics(platform::kSmCxIcon);
  const int iconHeight = windows.GetSystemMetrics(platform::kSmCyIcon);
  const platform::Rect client = windows.GetClientRect(m_hWnd);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  windows.DrawIconAt(paint, x, y, m_hIcon);
  windows.EndPaint(m_hWnd, paint);
}

platform::IconHandle CUlvexDriver_MonitorDlg::OnQueryDragIcon() { return m_hIcon; }

void CUlvexDriver_MonitorDlg::OnClose() {
  // While an automation client holds the proxy the window only hides.
  if (m_pAutoProxy) {
    ShowWindow(platform::kSwHide);
    return;
  }
  framework::Dialog::OnClose();
}

void CUlvexDriver_MonitorDlg::OnOK() {
  if (m_pAutoProxy) {
    ShowWindow(platform::kSwHide);
    return;
  }
  framework::Dialog::OnOK();
}

void CUlvexDriver_MonitorDlg::OnCancel() {
  if (m_pAutoProxy) {
    ShowWindow(platform::kSwHide);
    return;
  }
  framework::Dialog::OnCancel();
}

void CUlvexDriver_MonitorDlg::OnDestroy() {
  framework::Dialog::OnDestroy();
  FreeDeviceListData(m_comboVirtualDevice, m_comboPlayDevice);
}
