#include "framework/dialog.h"

namespace framework {

using platform::Windows;

void BindControl(DataExchange& exchange, int controlId, Control& control) {
  exchange.dialog().BindChild(controlId, control);
}

void Dialog::BindChild(int controlId, Control& control) {
  if (control.attached()) return;
  control.Attach(Windows().GetDlgItem(m_hWnd, controlId));
  bound_.push_back(&control);
}

void Dialog::ReleaseWindow() {
  for (Control* control : bound_) control->Detach();
  bound_.clear();
  m_hWnd = nullptr;
}

Dialog::Dialog(int templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {}

// DoModal has destroyed the window before it returned: a window outliving
// its object would hand messages to a destroyed object.
Dialog::~Dialog() = default;

std::intptr_t Dialog::DoModal() {
  platform::WindowSystem& windows = Windows();
  platform::WindowHandle owner = parent_ ? parent_->m_hWnd : nullptr;
  // A modal box keeps its owner from taking input while it runs.
  const bool disabledOwner = owner && windows.IsWindowEnabled(owner);
  if (disabledOwner) windows.EnableWindow(owner, false);

  running_ = true;
  result_ = -1;
  platform::WindowHandle window = nullptr;
  // Runs on every way out, an exception from a handler included.
  auto finish = [&] {
    running_ = false;
    // The owner takes over before the box goes, so that activation stays
    // in the program.
    if (disabledOwner) {
      windows.EnableWindow(owner, true);
      windows.SetActiveWindow(owner);
    }
    if (window && windows.IsWindow(window)) windows.DestroyWindow(window);
    ReleaseWindow();
  };
  try {
    window = windows.CreateDialogWindow(templateId_, owner, this);
    if (window) {
      m_hWnd = window;
      if (running_ && !windows.IsWindowVisible(window)) windows.ShowWindow(window, platform::kSwShowNormal);
      while (running_ && windows.IsWindow(window) && windows.PumpMessage(window)) {
      }
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return result_;
}

void Dialog::EndDialog(std::intptr_t result) {
  result_ = result;
  running_ = false;
  // The loop looks at the flag after each message it delivers; a message
  // sent from another thread is delivered inside the wait, so wake it.
  if (m_hWnd) Windows().Post(m_hWnd, platform::kWmNull, 0, 0);
}

bool Dialog::IsWindowEnabled() { return m_hWnd && Windows().IsWindowEnabled(m_hWnd); }

void Dialog::DestroyWindow() {
  if (m_hWnd && Windows().IsWindow(m_hWnd)) Windows().DestroyWindow(m_hWnd);
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(platform::kIdOk);
}

void Dialog::OnCancel() { EndDialog(platform::kIdCancel); }

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange exchange(*this, saveAndValidate);
  DoDataExchange(exchange);
  return true;
}

void Dialog::OnSysCommand(std::uintptr_t, std::intptr_t) { Default(); }
void Dialog::OnPaint() { Default(); }
void Dialog::OnDestroy() { Default(); }
void Dialog::OnClose() { OnCancel(); }

void Dialog::Default() {
  if (defaultRequested_) *defaultRequested_ = true;
}

void Dialog::MapMessage(std::uint32_t message, MessageHandler handler) {
  messageMap_.push_back(MessageEntry{message, 0, 0, std::move(handler)});
}

void Dialog::MapCommand(int controlId, int notifyCode, std::function<void()> handler) {
  messageMap_.push_back(MessageEntry{platform::kWmCommand, controlId, notifyCode,
                                     [handler = std::move(handler)](std::uintptr_t, std::intptr_t) {
                                       handler();
                                       return std::intptr_t{0};
                                     }});
}

platform::MenuHandle Dialog::GetSystemMenu(bool revert) { return Windows().GetSystemMenu(m_hWnd, revert); }
void Dialog::SetWindowText(const std::u16string& text) { Windows().SetText(m_hWnd, text); }
std::u16string Dialog::GetWindowText() { return Windows().GetText(m_hWnd); }
bool Dialog::ShowWindow(int command) { return Windows().ShowWindow(m_hWnd, command); }
bool Dialog::IsIconic() { return Windows().IsIconic(m_hWnd); }

void Dialog::SetIcon(platform::IconHandle icon, bool big) {
  SendMessage(platform::kWmSetIcon, static_cast<std::uintptr_t>(big ? platform::kIconBig : platform::kIconSmall),
              reinterpret_cast<std::intptr_t>(icon));
}

std::intptr_t Dialog::SendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  return Windows().Send(m_hWnd, message, wParam, lParam);
}

const Dialog::MessageEntry* Dialog::FindEntry(std::uint32_t message, std::uintptr_t wParam) const {
  for (const MessageEntry& entry : messageMap_) {
    if (entry.message != message) continue;
    if (message == platform::kWmCommand &&
        (entry.controlId != platform::CommandId(wParam) || entry.notifyCode != platform::CommandCode(wParam)))
      continue;
    return &entry;
  }
  return nullptr;
}

bool Dialog::BuiltInHandling(std::uint32_t message, std::uintptr_t wParam, std::intptr_t* result) {
  switch (message) {
    case platform::kWmInitDialog:
      *result = OnInitDialog() ? 1 : 0;
      return true;
    case platform::kWmClose:
      OnClose();
      return true;
    case platform::kWmCommand:
      if (platform::CommandCode(wParam) != platform::kBnClicked) return false;
      if (platform::CommandId(wParam) == platform::kIdOk) {
        OnOK();
        return true;
      }
      if (platform::CommandId(wParam) == platform::kIdCancel) {
        OnCancel();
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool Dialog::HandleMessage(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam, std::intptr_t* result) {
  if (message == platform::kWmInitDialog) m_hWnd = window;
  if (window != m_hWnd) return false;

  bool defaultRequested = false;
  bool* outer = defaultRequested_;
  defaultRequested_ = &defaultRequested;
  struct Restore {
    bool*& slot;
    bool* previous;
    ~Restore() { slot = previous; }
  } restore{defaultRequested_, outer};

  *result = 0;
  bool handled;
  if (const MessageEntry* entry = FindEntry(message, wParam)) {
    *result = entry->handler(wParam, lParam);
    handled = true;
  } else {
    handled = BuiltInHandling(message, wParam, result);
  }
  return handled && !defaultRequested;
}

}  // namespace framework
