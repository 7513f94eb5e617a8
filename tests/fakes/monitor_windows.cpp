#include "tests/fakes/monitor_windows.h"

#include "resources/resource.h"

namespace fakes {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;

MonitorWindows::MonitorWindows() {
  // 406 x 227 dialog units in the 8-point shell font at 96 dpi.
  DefineTemplate(IDD_ULVEXDRIVER_MONITOR_DIALOG,
                 DialogTemplate{u"Tallowmere虚拟声卡监控程序",
                                true,
                                {
                                    ControlTemplate{IDC_STATIC_VIRTUAL_DEVICE, ControlKind::Static, u"虚拟声卡", false},
                                    ControlTemplate{IDC_STATIC_PLAY_DEVICE, ControlKind::Static, u"播放设备", true},
                                    ControlTemplate{IDC_COMBO_VIRTUAL_DEVICE, ControlKind::ComboBox, u"", false},
                                    ControlTemplate{IDC_COMBO_PLAY_DEVICE, ControlKind::ComboBox, u"", true},
                                    ControlTemplate{IDC_BUTTON_RUN, ControlKind::PushButton, u"启动", true},
                                    ControlTemplate{IDC_STATIC_NOTICE, ControlKind::Static, u"", true},
                                    ControlTemplate{IDC_CHECK_AUTO_CONNECT, ControlKind::CheckBox,
                                                    u"程序运行时自动连接", true},
                                },
                                609, 369});
  DefineTemplate(IDD_ABOUTBOX, DialogTemplate{u"About UlvexDriver_Monitor",
                                              false,
                                              {
                                                  ControlTemplate{IDC_STATIC, ControlKind::Static, u"", true},
                                                  ControlTemplate{IDC_STATIC, ControlKind::Static,
                                                                  u"UlvexDriver_Monitor, Version 1.0", true},
                                                  ControlTemplate{platform::kIdOk, ControlKind::PushButton, u"OK", true},
                                              },
                                              255, 101});
  DefineString(IDS_ABOUTBOX, u"&About UlvexDriver_Monitor...");
  DefineIcon(IDR_MAINFRAME);
  platform::SetWindowsForTesting(this);
}

MonitorWindows::~MonitorWindows() { platform::SetWindowsForTesting(nullptr); }

}  // namespace fakes
