#include "framework/controls.h"

namespace framework {

using platform::Windows;

void Control::SetWindowText(const std::u16string& text) { Windows().SetText(m_hWnd, text); }
std::u16string Control::GetWindowText() const { return Windows().GetText(m_hWnd); }
bool Control::ShowWindow(int command) { return Windows().ShowWindow(m_hWnd, command); }

std::intptr_t Control::SendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) const {
  return Windows().Send(m_hWnd, message, wParam, lParam);
}

void ComboBox::Attach(platform::WindowHandle window) {
  Control::Attach(window);
  list_ = window ? Windows().ComboList(window) : nullptr;
}

void ComboBox::Detach() {
  list_.reset();
  Control::Detach();
}

int ComboBox::AddString(const char16_t* text) { return list_ ? list_->AddString(text) : platform::kListErrorSpace; }
void ComboBox::SetItemData(int position, std::intptr_t data) {
  if (list_) list_->SetItemData(position, data);
}
void ComboBox::SetCurSel(int position) {
  if (list_) list_->SetCurSel(position);
}
int ComboBox::GetCount() { return list_ ? list_->GetCount() : 0; }
std::intptr_t ComboBox::GetItemData(int position) {
  return list_ ? list_->GetItemData(position) : platform::kListError;
}
int ComboBox::GetCurSel() { return list_ ? list_->GetCurSel() : platform::kListError; }

}  // namespace framework
