// Drives UlvexDriver_Monitor.exe from outside, under the same wineserver:
// starts it, finds its window, reads texts, presses buttons and closes it,
// as a user would. Prints one line per check ("ok ..." or "FAIL ...") in
// UTF-8; the exit code is the number of failed checks.
//
//   window_driver check EXE     the whole headless check, ending the program
//   window_driver pose EXE      starts the program and restores its window
//   window_driver about         opens the About box of the running program
//   window_driver close         closes the About box and the program
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/wine/window_probe.h"

namespace {

constexpr DWORD kWaitMs = 20000;
// How often a condition that no event announces is looked at again.
constexpr DWORD kPollMs = 20;
constexpr int kPlaybackList = 1001;
constexpr int kRunButton = 1002;
constexpr int kNotice = 1004;
constexpr int kAutoConnect = 1005;
constexpr int kPlayLabel = 1014;
constexpr int kVirtualLabel = 1015;
constexpr WPARAM kAboutCommand = 16;

int g_failures = 0;

using window_probe::FindMainWindow;
using window_probe::Utf8;

void Check(bool passed, const std::string& what) {
  std::printf("%s %s\n", passed ? "ok" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!passed) ++g_failures;
}

std::wstring TextOf(HWND window) { return window_probe::TextOf(window, kWaitMs); }

template <typename Condition>
bool WaitFor(Condition condition) {
  return window_probe::WaitFor(condition, kWaitMs, kPollMs);
}

struct Search {
  DWORD processId;
  const wchar_t* title;  // null: any dialog of the process
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != search->processId || !window_probe::IsDialog(window)) return TRUE;
  if (search->title && TextOf(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindDialog(DWORD processId, const wchar_t* title) {
  Search search{processId, title, nullptr};
  ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The process of a running program's main window.
DWORD RunningProgram(HWND* window) {
  *window = FindMainWindow(0);
  DWORD process = 0;
  if (*window) ::GetWindowThreadProcessId(*window, &process);
  return process;
}

std::wstring LanguageText(const std::wstring& exe, const wchar_t* key) {
  return window_probe::LanguageText(window_probe::ChineseLanguageFile(exe), key);
}

std::wstring ConfigFile() {
  wchar_t folder[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH);
  return std::wstring(folder) + L"\\Ulvex\\config.ini";
}

bool StartProgram(const std::wstring& exe, PROCESS_INFORMATION* process) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process))
    return false;
  // Returns once the program waits for input in its modal loop.
  ::WaitForInputIdle(process->hProcess, kWaitMs);
  return true;
}

void ClickOkOf(HWND box) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

int CheckProgram(const std::wstring& exe) {
  ::DeleteFileW(ConfigFile().c_str());
  PROCESS_INFORMATION process{};
  Check(StartProgram(exe, &process), "the program starts");
  HWND main = nullptr;
  Check(WaitFor([&] { return (main = FindMainWindow(process.dwProcessId)) != nullptr; }), "its main window is there");
  if (!main) return g_failures;

  Check(::IsIconic(main) != FALSE, "the window is minimised after start");
  const std::wstring caption = LanguageText(exe, L"Caption");
  Check(!caption.empty(), "the language file has a caption: " + Utf8(caption));
  Check(TextOf(main) == caption + L" 0.0", "title \"" + Utf8(TextOf(main)) + "\" is the caption, a space and 0.0");
  const struct {
    int id;
    const wchar_t* key;
  } texts[] = {{kVirtualLabel, L"staticVirtualAudioDevice"},
               {kPlayLabel, L"staticPlayDevice"},
               {kRunButton, L"buttonRun"},
               {kAutoConnect, L"checkboxAutoRun"},
               {kNotice, L"staticNotice"}};
  for (const auto& text : texts) {
    const std::wstring shown = TextOf(::GetDlgItem(main, text.id));
    Check(shown == LanguageText(exe, text.key), "control " + std::to_string(text.id) + " shows \"" + Utf8(shown) + "\"");
  }

  HWND playList = ::GetDlgItem(main, kPlaybackList);
  const LRESULT count = ::SendMessageW(playList, CB_GETCOUNT, 0, 0);
  std::printf("playback list: %ld entries, selection %ld\n", static_cast<long>(count),
              static_cast<long>(::SendMessageW(playList, CB_GETCURSEL, 0, 0)));
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t name[512] = {};
    ::SendMessageW(playList, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
    std::printf("  %s\n", Utf8(name).c_str());
  }
  Check(::SendMessageW(::GetDlgItem(main, kAutoConnect), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
        "the box is clear without config.ini");

  // Run. With no playback device the relay tells the user in a box first.
  HWND run = ::GetDlgItem(main, kRunButton);
  const std::wstring stopText = LanguageText(exe, L"buttonStop");
  ::PostMessageW(run, BM_CLICK, 0, 0);
  WaitFor([&] {
    if (HWND box = FindDialog(process.dwProcessId, nullptr); box && box != main) {
      std::printf("message box: \"%s\"\n", Utf8(TextOf(::GetDlgItem(box, 0xFFFF))).c_str());
      Check(TextOf(box) == L"UlvexDriver_Monitor", "the box's caption is the application's name");
      ClickOkOf(box);
    }
    return TextOf(run) == stopText;
  });
  Check(TextOf(run) == stopText, "Run turns the button to \"" + Utf8(stopText) + "\"");

  ::PostMessageW(run, BM_CLICK, 0, 0);
  const std::wstring runText = LanguageText(exe, L"buttonRun");
  Check(WaitFor([&] { return TextOf(run) == runText; }), "Stop turns it back to \"" + Utf8(runText) + "\"");

  ::SendMessageW(::GetDlgItem(main, kAutoConnect), BM_CLICK, 0, 0);
  Check(::GetPrivateProfileIntW(L"setting", L"autoConnect", -1, ConfigFile().c_str()) == 1,
        "ticking the box writes autoConnect=1 to " + Utf8(ConfigFile()));
  ::SendMessageW(::GetDlgItem(main, kAutoConnect), BM_CLICK, 0, 0);
  Check(::GetPrivateProfileIntW(L"setting", L"autoConnect", -1, ConfigFile().c_str()) == 0,
        "clearing it writes autoConnect=0");

  ::PostMessageW(main, WM_SYSCOMMAND, kAboutCommand, 0);
  HWND about = nullptr;
  Check(WaitFor([&] { return (about = FindDialog(process.dwProcessId, L"About UlvexDriver_Monitor")) != nullptr; }),
        "the About command opens the About box");
  if (about) {
    Check(::IsWindowEnabled(main) == FALSE, "the main window is disabled while the box runs");
    ClickOkOf(about);
    Check(WaitFor([&] { return !::IsWindow(about) && ::IsWindowEnabled(main); }), "OK closes it and frees the window");
  }

  ::PostMessageW(main, WM_CLOSE, 0, 0);
  const bool ended = ::WaitForSingleObject(process.hProcess, kWaitMs) == WAIT_OBJECT_0;
  DWORD exitCode = 0xFFFFFFFF;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  Check(ended && exitCode == 0, "WM_CLOSE ends the program with code " + std::to_string(exitCode));
  if (!ended) ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return g_failures;
}

int Pose(const std::wstring& exe) {
  PROCESS_INFORMATION process{};
  Check(StartProgram(exe, &process), "the program starts");
  HWND main = nullptr;
  Check(WaitFor([&] { return (main = FindMainWindow(process.dwProcessId)) != nullptr; }), "its main window is there");
  if (!main) return g_failures;
  ::PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  Check(WaitFor([&] { return !::IsIconic(main); }), "the window is restored");
  ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return g_failures;
}

int OpenAbout() {
  HWND main = nullptr;
  const DWORD processId = RunningProgram(&main);
  Check(main != nullptr, "the program runs");
  if (!main) return g_failures;
  ::PostMessageW(main, WM_SYSCOMMAND, kAboutCommand, 0);
  HWND about = nullptr;
  Check(WaitFor([&] { return (about = FindDialog(processId, L"About UlvexDriver_Monitor")) != nullptr; }),
        "the About box is open");
  if (about) ::RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return g_failures;
}

int CloseProgram() {
  HWND main = nullptr;
  const DWORD processId = RunningProgram(&main);
  if (!main) return 0;
  HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (HWND about = FindDialog(processId, L"About UlvexDriver_Monitor")) {
    ClickOkOf(about);
    WaitFor([&] { return ::IsWindowEnabled(main) != FALSE; });
  }
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  Check(process && ::WaitForSingleObject(process, kWaitMs) == WAIT_OBJECT_0, "the program ended");
  if (process) ::CloseHandle(process);
  return g_failures;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"check" && argc > 2) return CheckProgram(argv[2]);
  if (mode == L"pose" && argc > 2) return Pose(argv[2]);
  if (mode == L"about") return OpenAbout();
  if (mode == L"close") return CloseProgram();
  std::fprintf(stderr, "usage: window_driver check|pose EXE | about | close\n");
  return 100;
}
