#include "tests/wine/test_dialog.h"

#include <vector>

namespace wine_tests {
namespace {

constexpr WORD kComboBoxClassAtom = 0x0085;

class TemplateWriter {
 public:
  void Dword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void Word(WORD value) { words_.push_back(value); }
  void AlignToDword() {
    if (words_.size() % 2 != 0) words_.push_back(0);
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

void WriteComboBox(TemplateWriter& writer, int id, short y, bool visible) {
  writer.AlignToDword();
  writer.Dword(WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT | (visible ? WS_VISIBLE : 0));
  writer.Dword(0);
  for (short value : {short(7), y, short(180), short(120)}) writer.Word(static_cast<WORD>(value));
  writer.Word(static_cast<WORD>(id));
  writer.Word(0xFFFF);
  writer.Word(kComboBoxClassAtom);
  writer.Word(0);  // no title
  writer.Word(0);  // no creation data
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

TestDialog::TestDialog() {
  TemplateWriter writer;
  writer.Dword(WS_POPUP | WS_CAPTION);  // never shown
  writer.Dword(0);
  writer.Word(2);
  for (short value : {short(0), short(0), short(200), short(60)}) writer.Word(static_cast<WORD>(value));
  writer.Word(0);  // no menu
  writer.Word(0);  // the dialog class
  writer.Word(0);  // no title
  WriteComboBox(writer, kVirtualDeviceListId, 7, false);
  WriteComboBox(writer, kPlaybackDeviceListId, 25, true);
  window_ = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), writer.get(), nullptr, PlainDialogProc, 0);
}

TestDialog::~TestDialog() {
  if (window_) ::DestroyWindow(window_);
}

}  // namespace wine_tests
