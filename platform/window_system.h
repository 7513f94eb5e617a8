// The window seam: dialogs made from the program's resource templates, their
// controls, messages, the system menu, icons and minimised painting. Handles
// are the seam's own (HWND, HMENU, HICON, HDC on Windows); null is absent.
// Message, command and style numbers are the Windows ones, so the logic above
// passes the same values on every platform. The thread that made a window is
// the only one that may touch it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/list_control.h"

namespace platform {

using WindowHandle = void*;
using MenuHandle = void*;
using IconHandle = void*;
using PaintHandle = void*;

constexpr std::uint32_t kWmNull = 0x0000;
constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmPaint = 0x000F;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::uint32_t kWmIconEraseBkgnd = 0x0027;
constexpr std::uint32_t kWmQueryDragIcon = 0x0037;
constexpr std::uint32_t kWmSetIcon = 0x0080;
constexpr std::uint32_t kWmInitDialog = 0x0110;
constexpr std::uint32_t kWmCommand = 0x0111;
constexpr std::uint32_t kWmSysCommand = 0x0112;
constexpr std::uint32_t kBmGetCheck = 0x00F0;
constexpr std::uint32_t kBmSetCheck = 0x00F1;
constexpr std::uint32_t kBmClick = 0x00F5;

constexpr int kBnClicked = 0;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kBstUnchecked = 0;
constexpr int kBstChecked = 1;
constexpr int kIconSmall = 0;
constexpr int kIconBig = 1;

constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShow = 5;
constexpr int kSwMinimize = 6;
constexpr int kSwRestore = 9;

constexpr int kSmCxIcon = 11;
constexpr int kSmCyIcon = 12;

constexpr std::uint32_t kMfString = 0x0000;
constexpr std::uint32_t kMfSeparator = 0x0800;

constexpr std::uintptr_t kScMinimize = 0xF020;
constexpr std::uintptr_t kScClose = 0xF060;
constexpr std::uintptr_t kScRestore = 0xF120;

inline std::uintptr_t MakeCommandParam(int controlId, int notifyCode) {
  return (static_cast<std::uintptr_t>(notifyCode & 0xFFFF) << 16) | static_cast<std::uintptr_t>(controlId & 0xFFFF);
}
inline int CommandId(std::uintptr_t wParam) { return static_cast<int>(wParam & 0xFFFF); }
inline int CommandCode(std::uintptr_t wParam) { return static_cast<int>((wParam >> 16) & 0xFFFF); }

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Receives the messages of the dialogs it was given to. Called on the
// window's thread; it may throw, and the seam hands the exception to the
// thread's message pump instead of letting it cross a window procedure.
class DialogProcedure {
 public:
  virtual ~DialogProcedure() = default;
  // True when handled, *result then being the answer; false leaves the
  // message to the system's own dialog handling.
  virtual bool HandleMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam, std::intptr_t* result) = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Makes the dialog of resource template `templateId`, owned by `owner`
  // (null for none), delivering WM_INITDIALOG to `procedure` before it
  // returns. A template with WS_VISIBLE is shown at the end only if the
  // window is not visible yet. Null when it could not be made.
  virtual WindowHandle CreateDialogWindow(int templateId, WindowHandle owner, DialogProcedure* procedure) = 0;
  // Sends WM_DESTROY; the handle is dead afterwards.
  virtual bool DestroyWindow(WindowHandle window) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;
  // Waits for one message of the thread's queue and delivers it, passing
  // dialog navigation keys to `dialog`. False when the quit message came (it
  // is posted again for outer loops) or, in memory, when no input is left.
  // Rethrows what a procedure threw while it delivered.
  virtual bool PumpMessage(WindowHandle dialog) = 0;

  virtual std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) = 0;
  virtual bool Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) = 0;

  virtual WindowHandle GetDlgItem(WindowHandle dialog, int controlId) = 0;
  virtual bool SetText(WindowHandle window, const std::u16string& text) = 0;
  virtual std::u16string GetText(WindowHandle window) = 0;
  // True when the window was visible before.
  virtual bool ShowWindow(WindowHandle window, int command) = 0;
  virtual bool IsWindowVisible(WindowHandle window) = 0;
  virtual bool IsIconic(WindowHandle window) = 0;
  // True when the window was disabled before.
  virtual bool EnableWindow(WindowHandle window, bool enable) = 0;
  virtual bool IsWindowEnabled(WindowHandle window) = 0;
  virtual void SetActiveWindow(WindowHandle window) = 0;

  // The list-control seam over a combo box; valid while the window lives.
  virtual std::unique_ptr<ListControl> ComboList(WindowHandle comboBox) = 0;

  virtual MenuHandle GetSystemMenu(WindowHandle window, bool revert) = 0;
  virtual bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id, const char16_t* text) = 0;

  // From the program's resources; empty when missing.
  virtual std::u16string LoadStringResource(int id) = 0;
  // Shared icon of the program's resources at the system's icon size; null when missing.
  virtual IconHandle LoadIconResource(int id) = 0;

  virtual int GetSystemMetrics(int index) = 0;
  virtual Rect GetClientRect(WindowHandle window) = 0;
  virtual PaintHandle BeginPaint(WindowHandle window) = 0;
  virtual void EndPaint(WindowHandle window, PaintHandle paint) = 0;
  virtual bool DrawIconAt(PaintHandle paint, int x, int y, IconHandle icon) = 0;
};

// The implementation in force: the platform's own unless a test installed another.
WindowSystem& Windows();
WindowSystem& SystemWindows();
// For tests; pass null to go back to the platform's own.
void SetWindowsForTesting(WindowSystem* windows);

}  // namespace platform
