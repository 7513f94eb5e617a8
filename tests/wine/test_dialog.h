// A hidden dialog for tests, made from a template in memory, holding the two
// device lists as the main window has them: sorted drop-down combo boxes 1000
// (hidden) and 1001. Owns its window; the creating thread only.
#pragma once

#include <windows.h>

namespace wine_tests {

constexpr int kVirtualDeviceListId = 1000;
constexpr int kPlaybackDeviceListId = 1001;

class TestDialog {
 public:
  TestDialog();
  ~TestDialog();
  TestDialog(const TestDialog&) = delete;
  TestDialog& operator=(const TestDialog&) = delete;

  HWND window() const { return window_; }
  HWND control(int id) const { return ::GetDlgItem(window_, id); }

 private:
  HWND window_ = nullptr;
};

}  // namespace wine_tests
