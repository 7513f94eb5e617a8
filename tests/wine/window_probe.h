// What the programs that look at the running monitor from outside (the
// window driver, the demo's probe, the COM client) share: texts in UTF-8, a
// control's text, and finding the program's main window. Any thread.
#pragma once

#include <windows.h>

#include <string>

namespace window_probe {

inline std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  return out;
}

// A window's text, asked across processes without hanging on a stuck window.
inline std::wstring TextOf(HWND window, DWORD timeoutMs) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, timeoutMs,
                        &copied);
  return std::wstring(buffer, copied);
}

inline bool IsDialog(HWND window) {
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, 64);
  return std::wstring(className) == L"#32770";
}

struct MainWindowSearch {
  DWORD processId;  // 0: any process
  HWND found;
};

// A named callback: a lambda would lack the stdcall convention 32-bit Windows needs.
inline BOOL CALLBACK MatchMainWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<MainWindowSearch*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (!IsDialog(window) || !::GetDlgItem(window, 1001)) return TRUE;
  if (search->processId && process != search->processId) return TRUE;
  search->found = window;
  return FALSE;
}

// The program's main window is its dialog that holds the playback list.
inline HWND FindMainWindow(DWORD processId = 0) {
  MainWindowSearch search{processId, nullptr};
  ::EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace window_probe
