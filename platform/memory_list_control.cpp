#include "platform/memory_list_control.h"

#include <algorithm>

#include "platform/text_compare.h"

namespace platform {

MemoryListControl::MemoryListControl(std::size_t capacity) : capacity_(capacity) {}

bool MemoryListControl::Holds(int position) const {
  return position >= 0 && static_cast<std::size_t>(position) < entries_.size();
}

int MemoryListControl::AddString(const char16_t* text) {
  if (!text) return kListError;
  if (entries_.size() >= capacity_) return kListErrorSpace;
  // After the entries that sort equal, so that equal texts keep the order they came in.
  auto at = std::upper_bound(entries_.begin(), entries_.end(), text, [](const char16_t* added, const Entry& entry) {
    return CompareTextIgnoringCase(added, entry.text.c_str()) < 0;
  });
  const int position = static_cast<int>(at - entries_.begin());
  entries_.insert(at, Entry{text, 0});
  if (selection_ >= position) ++selection_;
  return position;
}

void MemoryListControl::SetItemData(int position, std::intptr_t data) {
  if (Holds(position)) entries_[static_cast<std::size_t>(position)].data = data;
}

void MemoryListControl::SetCurSel(int position) { selection_ = Holds(position) ? position : kListError; }

int MemoryListControl::GetCount() { return static_cast<int>(entries_.size()); }

std::intptr_t MemoryListControl::GetItemData(int position) {
  return Holds(position) ? entries_[static_cast<std::size_t>(position)].data : kListError;
}

int MemoryListControl::GetCurSel() { return selection_; }

std::u16string MemoryListControl::Text(int position) const {
  return Holds(position) ? entries_[static_cast<std::size_t>(position)].text : std::u16string();
}

}  // namespace platform
