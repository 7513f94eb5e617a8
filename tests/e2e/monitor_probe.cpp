// Looks at and drives the running UlvexDriver_Monitor.exe from outside,
// under the same wineserver, for the end-to-end suite and the demo. One
// action a call; prints what it sees in UTF-8 as "key: value" lines.
//
//   monitor_probe endpoints            every render endpoint ("endpoint: ID<tab>name")
//                                      and the default one ("default: ID")
//   monitor_probe default              the default render endpoint's name
//   monitor_probe wait-running LANG    waits for the window and its auto-connect,
//                                      answering message boxes
//   monitor_probe press-run LANG       clicks Run, answers message boxes, waits for Stop
//   monitor_probe press-stop LANG      clicks Stop, waits for Run
//   monitor_probe texts LANG           checks the window's texts against LANG
//   monitor_probe report LANG          the window's texts and both device lists
//   monitor_probe restore              restores the minimised window
//   monitor_probe close                WM_CLOSE, then the program's exit code
// LANG is the language file the program is expected to use (a Windows path).
// Exit code: 0 when what was asked for happened, 1 otherwise, 100 on bad use.
#include <windows.h>

#include <mmdeviceapi.h>

#include <cstdio>
#include <string>

#include "tests/wine/window_probe.h"

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr int kVirtualList = 1000;
constexpr int kPlaybackList = 1001;
constexpr int kRunButton = 1002;
constexpr int kNotice = 1004;
constexpr int kAutoConnect = 1005;
constexpr int kPlayLabel = 1014;
constexpr int kVirtualLabel = 1015;
constexpr int kMessageText = 0xFFFF;
constexpr CLSID kClsidEnumerator = {0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
constexpr IID kIidEnumerator = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
constexpr PROPERTYKEY kFriendlyName = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};

using window_probe::Utf8;

std::wstring TextOf(HWND window) { return window_probe::TextOf(window, 5000); }

template <typename Condition>
bool WaitFor(Condition condition) {
  return window_probe::WaitFor(condition, kWaitMs, 20);
}

void Print(const char* key, const std::wstring& value) {
  std::printf("%s: %s\n", key, Utf8(value).c_str());
  std::fflush(stdout);
}

// The main window once its program waits for input: a window found while it
// is still being created or initialised may lack controls, and a click
// posted then would be lost.
HWND WaitForMainWindow() {
  HWND main = nullptr;
  if (!WaitFor([&] { return (main = window_probe::FindMainWindow()) != nullptr; })) {
    std::printf("error: no main window within %lu s\n", kWaitMs / 1000);
    return nullptr;
  }
  DWORD processId = 0;
  ::GetWindowThreadProcessId(main, &processId);
  if (HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
    ::WaitForInputIdle(process, kWaitMs);
    ::CloseHandle(process);
  }
  WaitFor([&] { return ::GetDlgItem(main, kRunButton) != nullptr; });
  return main;
}

// Answers every message box of the program with OK, as a user would, and
// prints its text; returns how many it answered.
int AnswerMessageBoxes(HWND main) {
  int answered = 0;
  while (HWND box = window_probe::FindOtherDialog(main)) {
    Print("message box", TextOf(::GetDlgItem(box, kMessageText)));
    Print("message box caption", TextOf(box));
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitFor([&] { return !::IsWindow(box); });
    ++answered;
  }
  return answered;
}

// Waits until the button shows `key`'s text of the language file, answering
// boxes meanwhile; the Run handler is done once the button has changed.
bool WaitForButton(HWND main, const std::wstring& language, const wchar_t* key) {
  const std::wstring wanted = window_probe::LanguageText(language, key);
  // Looked up each time: a window found while it was being created may not
  // have all its controls yet.
  auto button = [main] { return ::GetDlgItem(main, kRunButton); };
  int boxes = 0;
  const bool reached = WaitFor([&] {
    boxes += AnswerMessageBoxes(main);
    return TextOf(button()) == wanted;
  });
  std::printf("message boxes: %d\n", boxes);
  Print("button", TextOf(button()));
  std::printf("reached: %s\n", reached ? "yes" : "no");
  return reached;
}

int WaitRunning(const std::wstring& language) {
  HWND main = WaitForMainWindow();
  return main && WaitForButton(main, language, L"buttonStop") ? 0 : 1;
}

int Press(const std::wstring& language, const wchar_t* thenShows) {
  HWND main = WaitForMainWindow();
  if (!main) return 1;
  ::PostMessageW(::GetDlgItem(main, kRunButton), BM_CLICK, 0, 0);
  return WaitForButton(main, language, thenShows) ? 0 : 1;
}

int CheckTexts(const std::wstring& language) {
  HWND main = WaitForMainWindow();
  if (!main) return 1;
  int failures = 0;
  auto check = [&](const std::wstring& shown, const std::wstring& wanted, const char* what) {
    const bool same = !wanted.empty() && shown == wanted;
    std::printf("%s %s: \"%s\"%s\n", same ? "ok" : "FAIL", what, Utf8(shown).c_str(),
                same ? "" : (" (wanted \"" + Utf8(wanted) + "\")").c_str());
    failures += same ? 0 : 1;
  };
  const std::wstring caption = window_probe::LanguageText(language, L"Caption");
  check(TextOf(main), caption.empty() ? caption : caption + L" 0.0", "title");
  const struct {
    int id;
    const wchar_t* key;
  } controls[] = {{kVirtualLabel, L"staticVirtualAudioDevice"},
                  {kPlayLabel, L"staticPlayDevice"},
                  {kRunButton, L"buttonRun"},
                  {kAutoConnect, L"checkboxAutoRun"},
                  {kNotice, L"staticNotice"}};
  for (const auto& control : controls)
    check(TextOf(::GetDlgItem(main, control.id)), window_probe::LanguageText(language, control.key),
          Utf8(control.key).c_str());
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
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

int Report(const std::wstring& language) {
  HWND main = WaitForMainWindow();
  if (!main) return 1;
  Print("window", TextOf(main));
  const bool running = WaitForButton(main, language, L"buttonStop");
  std::printf("auto-connect box: %s\n",
              ::SendMessageW(::GetDlgItem(main, kAutoConnect), BM_GETCHECK, 0, 0) == BST_CHECKED ? "ticked" : "clear");
  Print("notice", TextOf(::GetDlgItem(main, kNotice)));
  PrintList(main, kVirtualList, "virtual device list (hidden)");
  PrintList(main, kPlaybackList, "playback list");
  std::fflush(stdout);
  return running ? 0 : 1;
}

int Restore() {
  HWND main = window_probe::FindMainWindow();
  if (!main) return 1;
  ::PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  const bool restored = WaitFor([&] { return !::IsIconic(main); });
  ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return restored ? 0 : 1;
}

int Close() {
  HWND main = window_probe::FindMainWindow();
  if (!main) {
    std::printf("error: no window to close\n");
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
    std::printf("exit code: %lu\n", exitCode);
  else
    std::printf("error: the program did not end within %lu s of WM_CLOSE\n", kWaitMs / 1000);
  if (process) ::CloseHandle(process);
  return ended ? 0 : 1;
}

// --- endpoints, as the multimedia device API shows them to any program ------

template <typename Interface>
struct Released {
  Interface* pointer = nullptr;
  ~Released() {
    if (pointer) pointer->Release();
  }
};

std::wstring IdOf(IMMDevice* device) {
  LPWSTR id = nullptr;
  if (device->GetId(&id) != S_OK) return L"";
  std::wstring copy = id;
  ::CoTaskMemFree(id);
  return copy;
}

std::wstring NameOf(IMMDevice* device) {
  Released<IPropertyStore> store;
  if (device->OpenPropertyStore(STGM_READ, &store.pointer) != S_OK) return L"";
  PROPVARIANT value;
  ::PropVariantInit(&value);
  std::wstring name;
  if (store.pointer->GetValue(kFriendlyName, &value) == S_OK && value.vt == VT_LPWSTR) name = value.pwszVal;
  ::PropVariantClear(&value);
  return name;
}

struct Com {
  Com() { ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
  ~Com() { ::CoUninitialize(); }
};

bool MakeEnumerator(Released<IMMDeviceEnumerator>* enumerator) {
  const HRESULT result = ::CoCreateInstance(kClsidEnumerator, nullptr, CLSCTX_ALL, kIidEnumerator,
                                            reinterpret_cast<void**>(&enumerator->pointer));
  if (result != S_OK) std::printf("error: no device enumerator (0x%08lx)\n", static_cast<unsigned long>(result));
  return result == S_OK;
}

int Endpoints() {
  Com com;
  Released<IMMDeviceEnumerator> enumerator;
  if (!MakeEnumerator(&enumerator)) return 1;
  Released<IMMDeviceCollection> collection;
  UINT count = 0;
  if (enumerator.pointer->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &collection.pointer) != S_OK ||
      collection.pointer->GetCount(&count) != S_OK)
    return 1;
  for (UINT i = 0; i < count; ++i) {
    Released<IMMDevice> device;
    if (collection.pointer->Item(i, &device.pointer) != S_OK) continue;
    Print("endpoint", IdOf(device.pointer) + L"\t" + NameOf(device.pointer));
  }
  Released<IMMDevice> fallback;
  if (enumerator.pointer->GetDefaultAudioEndpoint(eRender, eMultimedia, &fallback.pointer) == S_OK)
    Print("default", IdOf(fallback.pointer));
  return 0;
}

int DefaultEndpoint() {
  Com com;
  Released<IMMDeviceEnumerator> enumerator;
  if (!MakeEnumerator(&enumerator)) return 1;
  Released<IMMDevice> device;
  if (enumerator.pointer->GetDefaultAudioEndpoint(eRender, eMultimedia, &device.pointer) != S_OK) {
    std::printf("default: (none)\n");
    return 1;
  }
  Print("default", NameOf(device.pointer));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  const std::wstring language = argc > 2 ? argv[2] : L"";
  if (mode == L"endpoints") return Endpoints();
  if (mode == L"default") return DefaultEndpoint();
  if (mode == L"restore") return Restore();
  if (mode == L"close") return Close();
  if (!language.empty()) {
    if (mode == L"wait-running") return WaitRunning(language);
    if (mode == L"press-run") return Press(language, L"buttonStop");
    if (mode == L"press-stop") return Press(language, L"buttonRun");
    if (mode == L"texts") return CheckTexts(language);
    if (mode == L"report") return Report(language);
  }
  std::fprintf(stderr, "usage: see the head of monitor_probe.cpp\n");
  return 100;
}
