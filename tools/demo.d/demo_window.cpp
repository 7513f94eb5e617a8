// Looks at the running UlvexDriver_Monitor.exe from outside, under the same
// wineserver, for tools/demo. Prints what it sees in UTF-8, one fact a line.
//
//   demo_window report EXE   waits for the window and its auto-connect, then
//                            prints its texts and both device lists
//   demo_window restore      restores the minimised window (for a screenshot)
//   demo_window close        closes the window with WM_CLOSE and prints the
//                            program's exit code
// Exit code: 0 when what was asked for happened, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/wine/window_probe.h"

namespace {

constexpr DWORD kWaitMs = 30000;
// How often a state that no event announces is looked at again.
constexpr DWORD kPollMs = 50;
constexpr int kVirtualList = 1000;
constexpr int kPlaybackList = 1001;
constexpr int kRunButton = 1002;
constexpr int kNotice = 1004;
constexpr int kAutoConnect = 1005;

using window_probe::FindMainWindow;
using window_probe::IsDialog;
using window_probe::Utf8;

std::wstring TextOf(HWND window) { return window_probe::TextOf(window, 5000); }

// Another dialog of the program's process, such as a message box.
HWND FindOtherDialog(HWND main) {
  struct Search {
    HWND main;
    DWORD process;
    HWND found;
  } search{main, 0, nullptr};
  ::GetWindowThreadProcessId(main, &search.process);
  ::EnumWindows(
      [](HWND each, LPARAM param) -> BOOL {
        auto* search = reinterpret_cast<Search*>(param);
        DWORD process = 0;
        ::GetWindowThreadProcessId(each, &process);
        if (each == search->main || process != search->process || !IsDialog(each) || !::IsWindowVisible(each))
          return TRUE;
        search->found = each;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <typename Condition>
bool WaitFor(Condition condition) {
  const ULONGLONG end = ::GetTickCount64() + kWaitMs;
  while (!condition()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(kPollMs);
  }
  return true;
}

std::wstring LanguageText(const std::wstring& exe, const wchar_t* key) {
  const std::wstring file = exe.substr(0, exe.find_last_of(L'\\')) + L"\\language\\gb.ini";
  wchar_t buffer[512] = {};
  ::GetPrivateProfileStringW(L"frmMain", key, L"", buffer, 512, file.c_str());
  return buffer;
}

void PrintList(HWND main, int id, const char* name) {
  HWND list = ::GetDlgItem(main, id);
  const LRESULT count = ::SendMessageW(list, CB_GETCOUNT, 0, 0);
  const LRESULT selected = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
  std::printf("%s: %ld entries\n", name, static_cast<long>(count));
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t entry[512] = {};
    ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
    std::printf("  %s%s\n", Utf8(entry).c_str(), i == selected ? "   <- selected" : "");
  }
}

int Report(const std::wstring& exe) {
  HWND main = nullptr;
  if (!WaitFor([&] { return (main = FindMainWindow()) != nullptr; })) {
    std::printf("no main window within %lu s\n", kWaitMs / 1000);
    return 1;
  }
  std::printf("window: \"%s\"\n", Utf8(TextOf(main)).c_str());
  // Auto-connect runs Run from the window's initialisation; a message box it
  // raises is reported and answered, as a user would.
  HWND run = ::GetDlgItem(main, kRunButton);
  const std::wstring stopText = LanguageText(exe, L"buttonStop");
  const bool running = WaitFor([&] {
    if (HWND box = FindOtherDialog(main)) {
      std::printf("message box: \"%s\" (answered with OK)\n", Utf8(TextOf(::GetDlgItem(box, 0xFFFF))).c_str());
      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      WaitFor([&] { return !::IsWindow(box); });
    }
    return TextOf(run) == stopText;
  });
  std::printf("button: \"%s\" (%s)\n", Utf8(TextOf(run)).c_str(), running ? "running" : "not running");
  std::printf("auto-connect box: %s\n",
              ::SendMessageW(::GetDlgItem(main, kAutoConnect), BM_GETCHECK, 0, 0) == BST_CHECKED ? "ticked" : "clear");
  std::printf("notice: \"%s\"\n", Utf8(TextOf(::GetDlgItem(main, kNotice))).c_str());
  PrintList(main, kVirtualList, "virtual device list (hidden)");
  PrintList(main, kPlaybackList, "playback list");
  std::fflush(stdout);
  return running ? 0 : 1;
}

int Restore() {
  HWND main = FindMainWindow();
  if (!main) return 1;
  ::PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  const bool restored = WaitFor([&] { return !::IsIconic(main); });
  ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return restored ? 0 : 1;
}

int Close() {
  HWND main = FindMainWindow();
  if (!main) {
    std::printf("no window to close\n");
    return 1;
  }
  DWORD processId = 0;
  ::GetWindowThreadProcessId(main, &processId);
  HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  const bool ended = process && ::WaitForSingleObject(process, kWaitMs) == WAIT_OBJECT_0;
  DWORD exitCode = STILL_ACTIVE;
  if (process) ::GetExitCodeProcess(process, &exitCode);
  if (ended)
    std::printf("WM_CLOSE ended the program with exit code %lu\n", exitCode);
  else
    std::printf("the program did not end within %lu s of WM_CLOSE\n", kWaitMs / 1000);
  if (process) ::CloseHandle(process);
  return ended ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"report" && argc > 2) return Report(argv[2]);
  if (mode == L"restore") return Restore();
  if (mode == L"close") return Close();
  std::fprintf(stderr, "usage: demo_window report EXE | restore | close\n");
  return 100;
}
