#include "platform/win32/list_control_win32.h"

namespace platform {

int ComboBoxListControl::AddString(const char16_t* text) {
  return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

void ComboBoxListControl::SetItemData(int position, std::intptr_t data) {
  Send(CB_SETITEMDATA, static_cast<WPARAM>(position), static_cast<LPARAM>(data));
}

void ComboBoxListControl::SetCurSel(int position) { Send(CB_SETCURSEL, static_cast<WPARAM>(position)); }

int ComboBoxListControl::GetCount() { return static_cast<int>(Send(CB_GETCOUNT)); }

std::intptr_t ComboBoxListControl::GetItemData(int position) {
  return static_cast<std::intptr_t>(Send(CB_GETITEMDATA, static_cast<WPARAM>(position)));
}

int ComboBoxListControl::GetCurSel() { return static_cast<int>(Send(CB_GETCURSEL)); }

std::u16string ComboBoxListControl::Text(int position) const {
  const LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(position));
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const LRESULT copied = Send(CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

}  // namespace platform
