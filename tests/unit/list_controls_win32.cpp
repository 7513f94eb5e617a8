// The list controls the Windows build tests: the in-memory one, and the
// combo-box one over a real sorted drop-down list of a hidden dialog.
#include <memory>

#include "platform/memory_list_control.h"
#include "platform/win32/list_control_win32.h"
#include "tests/unit/list_control_cases.h"
#include "tests/wine/test_dialog.h"

namespace list_cases {
namespace {

class DialogComboBox final : public platform::ListControl {
 public:
  DialogComboBox() : combo_(dialog_.control(wine_tests::kPlaybackDeviceListId)) {}

  int AddString(const char16_t* text) override { return combo_.AddString(text); }
  void SetItemData(int position, std::intptr_t data) override { combo_.SetItemData(position, data); }
  void SetCurSel(int position) override { combo_.SetCurSel(position); }
  int GetCount() override { return combo_.GetCount(); }
  std::intptr_t GetItemData(int position) override { return combo_.GetItemData(position); }
  int GetCurSel() override { return combo_.GetCurSel(); }
  std::u16string Text(int position) const { return combo_.Text(position); }

 private:
  wine_tests::TestDialog dialog_;
  platform::ComboBoxListControl combo_;
};

}  // namespace

std::vector<NamedFactory> ListControlsUnderTest() {
  return {
      {"Memory", [] { return std::make_unique<platform::MemoryListControl>(); },
       [](platform::ListControl& list, int position) {
         return static_cast<platform::MemoryListControl&>(list).Text(position);
       }},
      {"ComboBox", [] { return std::make_unique<DialogComboBox>(); },
       [](platform::ListControl& list, int position) { return static_cast<DialogComboBox&>(list).Text(position); }},
  };
}

}  // namespace list_cases
