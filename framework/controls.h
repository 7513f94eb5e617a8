// Controls of a dialog as the dialog's members see them: a handle bound to a
// control of the dialog's window, and the messages the program sends it.
// They own nothing of the window. The window's thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/list_control.h"
#include "platform/window_system.h"

namespace framework {

class Control {
 public:
  Control() = default;
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual void Attach(platform::WindowHandle window) { m_hWnd = window; }
  virtual void Detach() { m_hWnd = nullptr; }
  bool attached() const { return m_hWnd != nullptr; }

  void SetWindowText(const std::u16string& text);
  std::u16string GetWindowText() const;
  bool ShowWindow(int command);
  std::intptr_t SendMessage(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) const;

  platform::WindowHandle m_hWnd = nullptr;
};

class StaticText : public Control {};

class Button : public Control {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(platform::kBmGetCheck)); }
  void SetCheck(int state) { SendMessage(platform::kBmSetCheck, static_cast<std::uintptr_t>(state)); }
};

// A drop-down combo box, usable wherever the list-control seam is wanted.
// Unbound, it is an empty list that refuses entries.
class ComboBox : public Control, public platform::ListControl {
 public:
  void Attach(platform::WindowHandle window) override;
  void Detach() override;

  int AddString(const char16_t* text) override;
  void SetItemData(int position, std::intptr_t data) override;
  void SetCurSel(int position) override;
  int GetCount() override;
  std::intptr_t GetItemData(int position) override;
  int GetCurSel() override;

 private:
  std::unique_ptr<platform::ListControl> list_;
};

}  // namespace framework
