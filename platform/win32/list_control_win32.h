// The list-control seam over a combo box (CBS_DROPDOWNLIST | CBS_SORT) that
// the caller's window owns; this object owns nothing. The window's thread only.
#pragma once

#include <windows.h>

#include <string>

#include "platform/list_control.h"

namespace platform {

class ComboBoxListControl final : public ListControl {
 public:
  explicit ComboBoxListControl(HWND comboBox) : comboBox_(comboBox) {}

  int AddString(const char16_t* text) override;
  void SetItemData(int position, std::intptr_t data) override;
  void SetCurSel(int position) override;
  int GetCount() override;
  std::intptr_t GetItemData(int position) override;
  int GetCurSel() override;

  // CB_GETLBTEXT; empty for a position outside the list.
  std::u16string Text(int position) const;

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(comboBox_, message, wParam, lParam);
  }

  HWND comboBox_;
};

}  // namespace platform
