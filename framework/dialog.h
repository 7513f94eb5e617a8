// Our framework's dialog: made from a resource template, run modally by a
// message loop of its own, with a message map, control binding, the system
// menu and EndDialog. The object owns its window while the modal run lasts;
// the window's thread (the user-interface thread) is the only caller.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/controls.h"
#include "platform/window_system.h"

namespace framework {

class Dialog;

// Passed to DoDataExchange: which way the data go, and the dialog to bind in.
class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saveAndValidate) : dialog_(dialog), saveAndValidate_(saveAndValidate) {}
  Dialog& dialog() const { return dialog_; }
  bool saveAndValidate() const { return saveAndValidate_; }

 private:
  Dialog& dialog_;
  bool saveAndValidate_;
};

// Attaches `control` to the dialog's control `controlId`, once.
void BindControl(DataExchange& exchange, int controlId, Control& control);

class Dialog : public MainWindow, private platform::DialogProcedure {
 public:
  // `parent` is the owner while the dialog runs; null for none.
  explicit Dialog(int templateId, Dialog* parent = nullptr);
  ~Dialog() override;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Makes the window, shows it only if initialisation left it hidden (so a
  // minimise there holds), runs until EndDialog or until the window is
  // destroyed, and destroys it. The EndDialog result; -1 when the window
  // could not be made or the run ended otherwise.
  std::intptr_t DoModal();
  void EndDialog(std::intptr_t result);

  // MainWindow
  bool IsWindowEnabled() override;
  void DestroyWindow() override;

  // Attaches `control` to the window's control `controlId` unless it is
  // bound already; bound controls are let go when the window goes.
  void BindChild(int controlId, Control& control);

  platform::WindowHandle m_hWnd = nullptr;

 protected:
  // Binds the controls (DoDataExchange toward the controls); true to let the
  // system set the focus.
  virtual bool OnInitDialog();
  // IDOK: takes the data back, then ends the dialog with IDOK.
  virtual void OnOK();
  // IDCANCEL: ends the dialog with IDCANCEL.
  virtual void OnCancel();
  virtual void DoDataExchange(DataExchange& exchange);
  bool UpdateData(bool saveAndValidate);

  // The base handling of the messages a derived dialog maps: each hands the
  // message to the system's own dialog handling.
  void OnSysCommand(std::uintptr_t id, std::intptr_t lParam);
  void OnPaint();
  void OnDestroy();
  // The system's handling of WM_CLOSE for a dialog: the IDCANCEL command.
  void OnClose();
  // Leaves the message being handled to the system's own dialog handling.
  void Default();

  // Message map: entries are tried in the order they were added; a WM_COMMAND
  // entry matches its control and notification code.
  using MessageHandler = std::function<std::intptr_t(std::uintptr_t wParam, std::intptr_t lParam)>;
  void MapMessage(std::uint32_t message, MessageHandler handler);
  void MapCommand(int controlId, int notifyCode, std::function<void()> handler);

  // Window services for the dialog's own window.
  platform::MenuHandle GetSystemMenu(bool revert);
  void SetWindowText(const std::u16string& text);
  std::u16string GetWindowText();
  bool ShowWindow(int command);
  bool IsIconic();
  void SetIcon(platform::IconHandle icon, bool big);
  std::intptr_t SendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

 private:
  struct MessageEntry {
    std::uint32_t message;
    int controlId;
    int notifyCode;
    MessageHandler handler;
  };

  bool HandleMessage(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam, std::intptr_t* result) override;
  void ReleaseWindow();
  const MessageEntry* FindEntry(std::uint32_t message, std::uintptr_t wParam) const;
  bool BuiltInHandling(std::uint32_t message, std::uintptr_t wParam, std::intptr_t* result);

  int templateId_;
  Dialog* parent_;
  std::vector<MessageEntry> messageMap_;
  std::vector<Control*> bound_;
  bool running_ = false;
  std::intptr_t result_ = -1;
  // Set by Default() while a handler runs; one per message being delivered.
  bool* defaultRequested_ = nullptr;
};

}  // namespace framework
