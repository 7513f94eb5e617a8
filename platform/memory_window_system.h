// A window system kept in memory, behaving as user32 does for what the
// dialogs of this program use: dialogs made from templates described here,
// statics, buttons, auto check boxes and sorted combo boxes; a posted-message
// queue; show, minimise, hide and enable states; system menus; painting that
// records what it drew. Used where there is no window system, and by tests,
// which can inspect every window. One thread.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory_list_control.h"
#include "platform/window_system.h"

namespace platform {

enum class ControlKind { Static, PushButton, CheckBox, ComboBox };

struct ControlTemplate {
  int id;
  ControlKind kind;
  std::u16string text;
  bool visible;
};

struct DialogTemplate {
  std::u16string caption;
  bool visible;  // WS_VISIBLE
  std::vector<ControlTemplate> controls;
  int clientWidth = 0;
  int clientHeight = 0;
};

class MemoryWindowSystem : public WindowSystem {
 public:
  struct MenuItem {
    std::uint32_t flags;
    std::uintptr_t id;
    std::u16string text;
  };
  struct DrawnIcon {
    WindowHandle window;
    int x, y;
    IconHandle icon;
  };

  MemoryWindowSystem();
  ~MemoryWindowSystem() override;

  void DefineTemplate(int id, DialogTemplate dialog);
  void DefineString(int id, std::u16string text) { strings_[id] = std::move(text); }
  void RemoveString(int id) { strings_.erase(id); }
  void DefineIcon(int id) { icons_[id] = reinterpret_cast<IconHandle>(static_cast<std::uintptr_t>(0x1C0000 + id)); }
  void SetSystemMetric(int index, int value) { metrics_[index] = value; }
  void SetClientSize(WindowHandle window, int width, int height);
  // Called each time a dialog has been made, after its WM_INITDIALOG: lets a
  // test post the input that the dialog's modal run will find.
  std::function<void(WindowHandle dialog, int templateId)> onDialogCreated;
  // Called by PumpMessage when the queue is empty, as a user would act then;
  // PumpMessage returns its answer: true to go on, false to let the run end
  // for lack of input.
  std::function<bool()> onIdle;

  // Inspection.
  std::vector<MenuItem> SystemMenuItems(WindowHandle window) const;
  IconHandle WindowIcon(WindowHandle window, int which) const;
  bool IsChecked(WindowHandle control) const;
  // Every dialog made so far, in order of creation, live or destroyed.
  std::vector<WindowHandle> Dialogs() const;
  int TemplateOf(WindowHandle dialog) const;
  const std::vector<DrawnIcon>& drawnIcons() const { return drawnIcons_; }
  // WM_ICONERASEBKGND messages that reached the system's handling, with their device context.
  const std::vector<PaintHandle>& erasedIconBackgrounds() const { return erased_; }
  int openPaints() const { return openPaints_; }
  std::size_t queued() const { return queue_.size(); }

  WindowHandle CreateDialogWindow(int templateId, WindowHandle owner, DialogProcedure* procedure) override;
  bool DestroyWindow(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
  bool PumpMessage(WindowHandle dialog) override;
  std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
  bool Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  WindowHandle GetDlgItem(WindowHandle dialog, int controlId) override;
  bool SetText(WindowHandle window, const std::u16string& text) override;
  std::u16string GetText(WindowHandle window) override;
  bool ShowWindow(WindowHandle window, int command) override;
  bool IsWindowVisible(WindowHandle window) override;
  bool IsIconic(WindowHandle window) override;
  bool EnableWindow(WindowHandle window, bool enable) override;
  bool IsWindowEnabled(WindowHandle window) override;
  void SetActiveWindow(WindowHandle) override {}
  std::unique_ptr<ListControl> ComboList(WindowHandle comboBox) override;
  MenuHandle GetSystemMenu(WindowHandle window, bool revert) override;
  bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id, const char16_t* text) override;
  std::u16string LoadStringResource(int id) override;
  IconHandle LoadIconResource(int id) override;
  int GetSystemMetrics(int index) override;
  Rect GetClientRect(WindowHandle window) override;
  PaintHandle BeginPaint(WindowHandle window) override;
  void EndPaint(WindowHandle window, PaintHandle paint) override;
  bool DrawIconAt(PaintHandle paint, int x, int y, IconHandle icon) override;

 private:
  struct Window;
  struct Posted {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  Window* Live(WindowHandle window) const;
  std::intptr_t DefaultProcessing(Window& window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  std::intptr_t ControlProcessing(Window& control, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  std::vector<std::unique_ptr<Window>> windows_;
  std::map<int, DialogTemplate> templates_;
  std::map<int, std::u16string> strings_;
  std::map<int, IconHandle> icons_;
  std::map<int, int> metrics_;
  std::deque<Posted> queue_;
  std::vector<DrawnIcon> drawnIcons_;
  std::vector<PaintHandle> erased_;
  int openPaints_ = 0;
};

}  // namespace platform
