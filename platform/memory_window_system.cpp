#include "platform/memory_window_system.h"

#include <algorithm>

namespace platform {

struct MemoryWindowSystem::Window {
  bool isDialog = false;
  bool destroyed = false;
  int templateId = 0;
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::u16string text;
  bool visible = false;
  bool iconic = false;
  bool enabled = true;
  bool checked = false;
  Window* parent = nullptr;
  DialogProcedure* procedure = nullptr;
  std::vector<Window*> children;
  std::vector<MenuItem> systemMenu;
  IconHandle bigIcon = nullptr;
  IconHandle smallIcon = nullptr;
  int clientWidth = 0;
  int clientHeight = 0;
  MemoryListControl list;
  char paintToken = 0;  // its address is the window's device context
};

namespace {

// Hands the list-control seam to a combo box's own list.
class ComboListRef final : public ListControl {
 public:
  explicit ComboListRef(MemoryListControl& list) : list_(list) {}
  int AddString(const char16_t* text) override { return list_.AddString(text); }
  void SetItemData(int position, std::intptr_t data) override { list_.SetItemData(position, data); }
  void SetCurSel(int position) override { list_.SetCurSel(position); }
  int GetCount() override { return list_.GetCount(); }
  std::intptr_t GetItemData(int position) override { return list_.GetItemData(position); }
  int GetCurSel() override { return list_.GetCurSel(); }

 private:
  MemoryListControl& list_;
};

constexpr std::uint32_t kWmQuit = 0x0012;

}  // namespace

MemoryWindowSystem::MemoryWindowSystem() = default;
MemoryWindowSystem::~MemoryWindowSystem() = default;

void MemoryWindowSystem::DefineTemplate(int id, DialogTemplate dialog) { templates_[id] = std::move(dialog); }

MemoryWindowSystem::Window* MemoryWindowSystem::Live(WindowHandle window) const {
  for (const auto& each : windows_) {
    if (each.get() == window) return each->destroyed ? nullptr : each.get();
  }
  return nullptr;
}

void MemoryWindowSystem::SetClientSize(WindowHandle window, int width, int height) {
  if (Window* found = Live(window)) {
    found->clientWidth = width;
    found->clientHeight = height;
  }
}

std::vector<MemoryWindowSystem::MenuItem> MemoryWindowSystem::SystemMenuItems(WindowHandle window) const {
  for (const auto& each : windows_) {
    if (each.get() == window) return each->systemMenu;
  }
  return {};
}

IconHandle MemoryWindowSystem::WindowIcon(WindowHandle window, int which) const {
  Window* found = Live(window);
  if (!found) return nullptr;
  return which == kIconBig ? found->bigIcon : found->smallIcon;
}

bool MemoryWindowSystem::IsChecked(WindowHandle control) const {
  Window* found = Live(control);
  return found && found->checked;
}

std::vector<WindowHandle> MemoryWindowSystem::Dialogs() const {
  std::vector<WindowHandle> dialogs;
  for (const auto& each : windows_) {
    if (each->isDialog) dialogs.push_back(each.get());
  }
  return dialogs;
}

int MemoryWindowSystem::TemplateOf(WindowHandle dialog) const {
  for (const auto& each : windows_) {
    if (each.get() == dialog) return each->templateId;
  }
  return 0;
}

WindowHandle MemoryWindowSystem::CreateDialogWindow(int templateId, WindowHandle owner, DialogProcedure* procedure) {
  auto found = templates_.find(templateId);
  if (found == templates_.end()) return nullptr;
  const DialogTemplate& shape = found->second;
  auto dialog = std::make_unique<Window>();
  dialog->isDialog = true;
  dialog->templateId = templateId;
  dialog->text = shape.caption;
  dialog->parent = Live(owner);
  dialog->procedure = procedure;
  dialog->clientWidth = shape.clientWidth;
  dialog->clientHeight = shape.clientHeight;
  for (const ControlTemplate& control : shape.controls) {
    auto child = std::make_unique<Window>();
    child->id = control.id;
    child->kind = control.kind;
    child->text = control.text;
    child->visible = control.visible;
    child->parent = dialog.get();
    dialog->children.push_back(child.get());
    windows_.push_back(std::move(child));
  }
  Window* window = dialog.get();
  windows_.push_back(std::move(dialog));
  Send(window, kWmInitDialog, 0, 0);
  if (shape.visible && Live(window) && !window->visible) ShowWindow(window, kSwShowNormal);
  if (onDialogCreated) onDialogCreated(window, templateId);
  return window;
}

bool MemoryWindowSystem::DestroyWindow(WindowHandle handle) {
  Window* window = Live(handle);
  if (!window) return false;
  Send(window, kWmDestroy, 0, 0);
  window->destroyed = true;
  window->procedure = nullptr;
  for (Window* child : window->children) child->destroyed = true;
  return true;
}

bool MemoryWindowSystem::IsWindow(WindowHandle window) { return Live(window) != nullptr; }

bool MemoryWindowSystem::PumpMessage(WindowHandle) {
  for (;;) {
    // An idle turn counts as a delivered message: the caller looks again
    // whether its run is over before the next one.
    if (queue_.empty()) return onIdle && onIdle();
    const Posted next = queue_.front();
    queue_.pop_front();
    if (next.message == kWmQuit && !next.window) {
      queue_.push_front(next);
      return false;
    }
    if (!Live(next.window)) continue;
    Send(next.window, next.message, next.wParam, next.lParam);
    return true;
  }
}

std::intptr_t MemoryWindowSystem::Send(WindowHandle handle, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
  Window* window = Live(handle);
  if (!window) return 0;
  if (!window->isDialog) return ControlProcessing(*window, message, wParam, lParam);
  std::intptr_t result = 0;
  if (window->procedure && window->procedure->HandleMessage(window, message, wParam, lParam, &result)) return result;
  // The procedure may have destroyed its window.
  window = Live(handle);
  return window ? DefaultProcessing(*window, message, wParam, lParam) : 0;
}

std::intptr_t MemoryWindowSystem::DefaultProcessing(Window& window, std::uint32_t message, std::uintptr_t wParam,
                                                    std::intptr_t lParam) {
  switch (message) {
    case kWmClose:
      // As the system's dialog handling does: closing is the Cancel command.
      Post(&window, kWmCommand, MakeCommandParam(kIdCancel, kBnClicked), 0);
      return 0;
    case kWmSysCommand:
      switch (wParam & 0xFFF0) {
        case kScClose:
          Send(&window, kWmClose, 0, 0);
          break;
        case kScMinimize:
          ShowWindow(&window, kSwMinimize);
          break;
        case kScRestore:
          ShowWindow(&window, kSwRestore);
          break;
        default:
          break;
      }
      return 0;
    case kWmSetIcon: {
      IconHandle& slot = wParam == static_cast<std::uintptr_t>(kIconBig) ? window.bigIcon : window.smallIcon;
      IconHandle previous = slot;
      slot = reinterpret_cast<IconHandle>(lParam);
      return reinterpret_cast<std::intptr_t>(previous);
    }
    case kWmIconEraseBkgnd:
      erased_.push_back(reinterpret_cast<PaintHandle>(wParam));
      return 1;
    case kWmPaint:
      EndPaint(&window, BeginPaint(&window));
      return 0;
    default:
      return 0;
  }
}

std::intptr_t MemoryWindowSystem::ControlProcessing(Window& control, std::uint32_t message, std::uintptr_t wParam,
                                                    std::intptr_t) {
  switch (message) {
    case kBmSetCheck:
      control.checked = wParam == static_cast<std::uintptr_t>(kBstChecked);
      return 0;
    case kBmGetCheck:
      return control.checked ? kBstChecked : kBstUnchecked;
    case kBmClick: {
      if (!control.enabled || (control.kind != ControlKind::PushButton && control.kind != ControlKind::CheckBox))
        return 0;
      if (control.kind == ControlKind::CheckBox) control.checked = !control.checked;
      Send(control.parent, kWmCommand, MakeCommandParam(control.id, kBnClicked),
           reinterpret_cast<std::intptr_t>(&control));
      return 0;
    }
    default:
      return 0;
  }
}

bool MemoryWindowSystem::Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
  if (window && !Live(window)) return false;
  queue_.push_back(Posted{window, message, wParam, lParam});
  return true;
}

WindowHandle MemoryWindowSystem::GetDlgItem(WindowHandle dialog, int controlId) {
  Window* window = Live(dialog);
  if (!window) return nullptr;
  for (Window* child : window->children) {
    if (child->id == controlId) return child;
  }
  return nullptr;
}

bool MemoryWindowSystem::SetText(WindowHandle handle, const std::u16string& text) {
  Window* window = Live(handle);
  if (!window) return false;
  window->text = text;
  return true;
}

std::u16string MemoryWindowSystem::GetText(WindowHandle handle) {
  Window* window = Live(handle);
  return window ? window->text : std::u16string();
}

bool MemoryWindowSystem::ShowWindow(WindowHandle handle, int command) {
  Window* window = Live(handle);
  if (!window) return false;
  const bool wasVisible = window->visible;
  switch (command) {
    case kSwHide:
      window->visible = false;
      break;
    case kSwMinimize:
      window->visible = true;
      window->iconic = true;
      break;
    case kSwShowNormal:
    case kSwRestore:
      window->visible = true;
      window->iconic = false;
      break;
    default:
      window->visible = true;
      break;
  }
  return wasVisible;
}

bool MemoryWindowSystem::IsWindowVisible(WindowHandle handle) {
  Window* window = Live(handle);
  return window && window->visible;
}

bool MemoryWindowSystem::IsIconic(WindowHandle handle) {
  Window* window = Live(handle);
  return window && window->iconic;
}

bool MemoryWindowSystem::EnableWindow(WindowHandle handle, bool enable) {
  Window* window = Live(handle);
  if (!window) return false;
  const bool wasDisabled = !window->enabled;
  window->enabled = enable;
  return wasDisabled;
}

bool MemoryWindowSystem::IsWindowEnabled(WindowHandle handle) {
  Window* window = Live(handle);
  return window && window->enabled;
}

std::unique_ptr<ListControl> MemoryWindowSystem::ComboList(WindowHandle comboBox) {
  Window* window = Live(comboBox);
  if (!window || window->kind != ControlKind::ComboBox) return nullptr;
  return std::make_unique<ComboListRef>(window->list);
}

MenuHandle MemoryWindowSystem::GetSystemMenu(WindowHandle handle, bool) {
  Window* window = Live(handle);
  return window && window->isDialog ? &window->systemMenu : nullptr;
}

bool MemoryWindowSystem::AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                                        const char16_t* text) {
  for (const auto& each : windows_) {
    if (&each->systemMenu == menu) {
      each->systemMenu.push_back(MenuItem{flags, id, text ? std::u16string(text) : std::u16string()});
      return true;
    }
  }
  return false;
}

std::u16string MemoryWindowSystem::LoadStringResource(int id) {
  auto found = strings_.find(id);
  return found == strings_.end() ? std::u16string() : found->second;
}

IconHandle MemoryWindowSystem::LoadIconResource(int id) {
  auto found = icons_.find(id);
  return found == icons_.end() ? nullptr : found->second;
}

int MemoryWindowSystem::GetSystemMetrics(int index) {
  auto found = metrics_.find(index);
  if (found != metrics_.end()) return found->second;
  return index == kSmCxIcon || index == kSmCyIcon ? 32 : 0;
}

Rect MemoryWindowSystem::GetClientRect(WindowHandle handle) {
  Window* window = Live(handle);
  if (!window) return {};
  return Rect{0, 0, window->clientWidth, window->clientHeight};
}

PaintHandle MemoryWindowSystem::BeginPaint(WindowHandle handle) {
  Window* window = Live(handle);
  if (!window) return nullptr;
  ++openPaints_;
  return &window->paintToken;
}

void MemoryWindowSystem::EndPaint(WindowHandle, PaintHandle paint) {
  if (paint) --openPaints_;
}

bool MemoryWindowSystem::DrawIconAt(PaintHandle paint, int x, int y, IconHandle icon) {
  for (const auto& each : windows_) {
    if (&each->paintToken == paint && !each->destroyed) {
      drawnIcons_.push_back(DrawnIcon{each.get(), x, y, icon});
      return true;
    }
  }
  return false;
}

}  // namespace platform
