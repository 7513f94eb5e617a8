// The window seam over user32 and gdi32. Dialogs come from the exe's own
// resources; a dialog's procedure is kept in its DWLP_USER slot from
// WM_INITDIALOG on.
#include <windows.h>

#include <exception>
#include <map>

#include "platform/win32/list_control_win32.h"
#include "platform/window_system.h"

namespace platform {
namespace {

HWND Hwnd(WindowHandle window) { return static_cast<HWND>(window); }
LPCWSTR Wide(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }

// What a procedure threw, held until the pump that delivered the message
// returns; one per thread, since windows belong to their thread.
thread_local std::exception_ptr t_pendingException;

// Messages whose answer a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return true;
    default:
      return false;
  }
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* procedure = reinterpret_cast<DialogProcedure*>(::GetWindowLongPtrW(window, DWLP_USER));
  if (!procedure || t_pendingException) return FALSE;
  std::intptr_t result = 0;
  bool handled = false;
  try {
    handled = procedure->HandleMessage(window, message, wParam, lParam, &result);
  } catch (...) {
    t_pendingException = std::current_exception();
    return FALSE;
  }
  if (message == WM_DESTROY) ::SetWindowLongPtrW(window, DWLP_USER, 0);
  if (!handled) return FALSE;
  if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

void RethrowPending() {
  if (!t_pendingException) return;
  std::exception_ptr pending = t_pendingException;
  t_pendingException = nullptr;
  std::rethrow_exception(pending);
}

class Win32Windows final : public WindowSystem {
 public:
  WindowHandle CreateDialogWindow(int templateId, WindowHandle owner, DialogProcedure* procedure) override {
    HWND window = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), Hwnd(owner),
                                       DialogProc, reinterpret_cast<LPARAM>(procedure));
    if (t_pendingException) {
      if (window) ::DestroyWindow(window);
      RethrowPending();
    }
    return window;
  }
  bool DestroyWindow(WindowHandle window) override {
    const bool destroyed = ::DestroyWindow(Hwnd(window)) != FALSE;
    RethrowPending();
    return destroyed;
  }
  bool IsWindow(WindowHandle window) override { return window && ::IsWindow(Hwnd(window)); }

  bool PumpMessage(WindowHandle dialog) override {
    MSG message;
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    if (got == -1) return false;
    if (!dialog || !::IsDialogMessageW(Hwnd(dialog), &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    RethrowPending();
    return true;
  }

  std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override {
    const LRESULT result = ::SendMessageW(Hwnd(window), message, wParam, lParam);
    RethrowPending();
    return result;
  }
  bool Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    return ::PostMessageW(Hwnd(window), message, wParam, lParam) != FALSE;
  }

  WindowHandle GetDlgItem(WindowHandle dialog, int controlId) override { return ::GetDlgItem(Hwnd(dialog), controlId); }
  bool SetText(WindowHandle window, const std::u16string& text) override {
    return ::SetWindowTextW(Hwnd(window), Wide(text.c_str())) != FALSE;
  }
  std::u16string GetText(WindowHandle window) override {
    const int length = ::GetWindowTextLengthW(Hwnd(window));
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = ::GetWindowTextW(Hwnd(window), reinterpret_cast<LPWSTR>(&text[0]), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
  }
  bool ShowWindow(WindowHandle window, int command) override { return ::ShowWindow(Hwnd(window), command) != FALSE; }
  bool IsWindowVisible(WindowHandle window) override { return ::IsWindowVisible(Hwnd(window)) != FALSE; }
  bool IsIconic(WindowHandle window) override { return ::IsIconic(Hwnd(window)) != FALSE; }
  bool EnableWindow(WindowHandle window, bool enable) override {
    return ::EnableWindow(Hwnd(window), enable ? TRUE : FALSE) != FALSE;
  }
  bool IsWindowEnabled(WindowHandle window) override { return ::IsWindowEnabled(Hwnd(window)) != FALSE; }
  void SetActiveWindow(WindowHandle window) override { ::SetActiveWindow(Hwnd(window)); }

  std::unique_ptr<ListControl> ComboList(WindowHandle comboBox) override {
    return std::make_unique<ComboBoxListControl>(Hwnd(comboBox));
  }

  MenuHandle GetSystemMenu(WindowHandle window, bool revert) override {
    return ::GetSystemMenu(Hwnd(window), revert ? TRUE : FALSE);
  }
  bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id, const char16_t* text) override {
    return ::AppendMenuW(static_cast<HMENU>(menu), flags, id, Wide(text)) != FALSE;
  }

  std::u16string LoadStringResource(int id) override {
    // With a zero buffer size LoadStringW hands out a pointer to the resource itself.
    const wchar_t* resource = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                     reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(resource), static_cast<std::size_t>(length));
  }
  IconHandle LoadIconResource(int id) override { return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)); }

  int GetSystemMetrics(int index) override { return ::GetSystemMetrics(index); }
  Rect GetClientRect(WindowHandle window) override {
    RECT rect{};
    ::GetClientRect(Hwnd(window), &rect);
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
  }
  PaintHandle BeginPaint(WindowHandle window) override {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Hwnd(window), &paint);
    if (dc) paints_[dc] = paint;
    return dc;
  }
  void EndPaint(WindowHandle window, PaintHandle paint) override {
    auto found = paints_.find(static_cast<HDC>(paint));
    if (found == paints_.end()) return;
    ::EndPaint(Hwnd(window), &found->second);
    paints_.erase(found);
  }
  bool DrawIconAt(PaintHandle paint, int x, int y, IconHandle icon) override {
    return ::DrawIcon(static_cast<HDC>(paint), x, y, static_cast<HICON>(icon)) != FALSE;
  }

 private:
  std::map<HDC, PAINTSTRUCT> paints_;
};

}  // namespace

WindowSystem& SystemWindows() {
  static Win32Windows windows;
  return windows;
}

}  // namespace platform
