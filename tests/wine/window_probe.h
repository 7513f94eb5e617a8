// What the programs that look at the running monitor from outside (the
// window driver, the end-to-end probe, the COM client) share: texts in UTF-8,
// a control's text, waiting for a state, finding the program's windows and
// reading its language file. Any thread.
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

// Waits until `condition` holds or `timeoutMs` is up; true when it held. What
// is waited for here is another process's window state, which no event
// announces, so it is looked at again every `pollMs`.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs, DWORD pollMs = 20) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(pollMs);
  }
  return true;
}

struct OtherDialogSearch {
  HWND main;
  DWORD processId;
  HWND found;
};

inline BOOL CALLBACK MatchOtherDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<OtherDialogSearch*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (window == search->main || process != search->processId || !IsDialog(window) || !::IsWindowVisible(window))
    return TRUE;
  search->found = window;
  return FALSE;
}

// A visible dialog of the main window's process other than the main window,
// such as a message box.
inline HWND FindOtherDialog(HWND main) {
  OtherDialogSearch search{main, 0, nullptr};
  ::GetWindowThreadProcessId(main, &search.processId);
  ::EnumWindows(MatchOtherDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The text of `key` in section frmMain of a language file.
inline std::wstring LanguageText(const std::wstring& file, const wchar_t* key) {
  wchar_t buffer[512] = {};
  ::GetPrivateProfileStringW(L"frmMain", key, L"", buffer, 512, file.c_str());
  return buffer;
}

// The Chinese language file beside a program file.
inline std::wstring ChineseLanguageFile(const std::wstring& exe) {
  return exe.substr(0, exe.find_last_of(L'\\')) + L"\\language\\gb.ini";
}

}  // namespace window_probe
