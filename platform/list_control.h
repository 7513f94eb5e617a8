// The list-control seam: a sorted drop-down list of texts, each entry with a
// pointer-sized item data. The list stores item data; it owns nothing they
// point to. Called from the thread that owns the window (the UI thread).
#pragma once

#include <cstdint>

namespace platform {

// What CB_ERR and CB_ERRSPACE are on Windows.
constexpr int kListError = -1;
constexpr int kListErrorSpace = -2;

class ListControl {
 public:
  virtual ~ListControl() = default;

  // Inserts text where the sorting puts it; the position it landed at, or a
  // negative value when the list refused it. Entries at or after that
  // position, and the selection with them, move down by one.
  virtual int AddString(const char16_t* text) = 0;
  virtual void SetItemData(int position, std::intptr_t data) = 0;
  // -1 clears the selection. (Windows documents that a position beyond the
  // list clears it too; Wine keeps it. Nothing should rely on either.)
  virtual void SetCurSel(int position) = 0;
  virtual int GetCount() = 0;
  // kListError for a position outside the list.
  virtual std::intptr_t GetItemData(int position) = 0;
  // kListError when nothing is selected.
  virtual int GetCurSel() = 0;
};

}  // namespace platform
