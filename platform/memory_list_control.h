// A sorted drop-down list kept in memory, behaving as the Windows combo box
// with CBS_SORT does: case-insensitive sorted insertion, the position reported
// on insertion, a selection that moves with its entry. Used where there is no
// window system, and by tests. One thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/list_control.h"

namespace platform {

class MemoryListControl final : public ListControl {
 public:
  // Beyond capacity entries, AddString refuses with kListErrorSpace.
  explicit MemoryListControl(std::size_t capacity = std::numeric_limits<int>::max());

  int AddString(const char16_t* text) override;
  void SetItemData(int position, std::intptr_t data) override;
  void SetCurSel(int position) override;
  int GetCount() override;
  std::intptr_t GetItemData(int position) override;
  int GetCurSel() override;

  // The entry's text; empty for a position outside the list.
  std::u16string Text(int position) const;

 private:
  struct Entry {
    std::u16string text;
    std::intptr_t data;
  };
  bool Holds(int position) const;

  std::size_t capacity_;
  std::vector<Entry> entries_;
  int selection_ = kListError;
};

}  // namespace platform
