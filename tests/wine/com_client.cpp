// A COM client of the real program, run under Wine after a /regserver: it
// creates the automation object by ProgID as a local server and checks what
// the object answers and how its process lives and ends. Prints a line per
// check; the exit code is the number of failed checks.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <vector>

#include "tests/wine/window_probe.h"

namespace {

const IID kDispatchIid = {0x40EF93CC, 0xC879, 0x42C6, {0x87, 0x51, 0x37, 0x39, 0x7E, 0xD4, 0xEB, 0x1E}};
int g_failed = 0;

void Check(bool ok, const char* what, long value = 0) {
  std::printf("%s: %s (%08lx)\n", ok ? "ok" : "FAILED", what, static_cast<unsigned long>(value));
  if (!ok) ++g_failed;
}

struct Found {
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectMainWindows(HWND window, LPARAM raw) {
  // The main window is the dialog with the virtual device list (control 1000).
  if (window_probe::IsDialog(window) && ::GetDlgItem(window, 1000))
    reinterpret_cast<Found*>(raw)->windows.push_back(window);
  return TRUE;
}

std::vector<HWND> MainWindows() {
  Found found;
  ::EnumWindows(CollectMainWindows, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

// Waits for the number of main windows to reach `count`, up to 20 s; nothing
// signals another process's windows, so this looks every 20 ms.
bool WaitForWindows(size_t count) {
  for (int i = 0; i < 1000; ++i) {
    if (MainWindows().size() == count) return true;
    // Let COM's calls into this apartment through while waiting.
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(20);
  }
  return false;
}

IUnknown* Create(const CLSID& clsid) {
  IUnknown* object = nullptr;
  const HRESULT result = ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                            reinterpret_cast<void**>(&object));
  Check(result == S_OK && object, "CoCreateInstance by ProgID as a local server", result);
  return object;
}

void CheckInterfaces(IUnknown* object) {
  IDispatch* dispatch = nullptr;
  HRESULT result = object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  Check(result == S_OK && dispatch, "QueryInterface answers IDispatch", result);
  IUnknown* byIid = nullptr;
  result = object->QueryInterface(kDispatchIid, reinterpret_cast<void**>(&byIid));
  Check(result == S_OK && byIid, "QueryInterface answers the dispinterface IID", result);
  if (byIid) byIid->Release();
  if (!dispatch) return;
  UINT count = 99;
  result = dispatch->GetTypeInfoCount(&count);
  Check(result == S_OK && count == 0, "GetTypeInfoCount is 0", static_cast<long>(count));
  OLECHAR name[] = L"Anything";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  result = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  Check(result == DISP_E_UNKNOWNNAME, "a name finds no member", result);
  dispatch->Release();
}

}  // namespace

int wmain() {
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 100;
  CLSID clsid;
  HRESULT result = ::CLSIDFromProgID(L"UlvexDriver_Monitor.Application", &clsid);
  Check(result == S_OK, "the ProgID is registered", result);

  IUnknown* first = Create(clsid);
  if (first) {
    Check(WaitForWindows(1), "a server process with its main window runs");
    CheckInterfaces(first);

    IUnknown* second = Create(clsid);
    Check(WaitForWindows(2), "a second client gets a second process");
    if (second) second->Release();
    Check(WaitForWindows(1), "releasing the second object ends its process");

    std::vector<HWND> windows = MainWindows();
    if (!windows.empty()) {
      ::PostMessageW(windows[0], WM_CLOSE, 0, 0);
      bool hidden = false;
      for (int i = 0; i < 250 && !hidden; ++i) {
        ::Sleep(20);
        hidden = ::IsWindow(windows[0]) && !::IsWindowVisible(windows[0]);
      }
      Check(hidden, "closing the window while the object is held only hides it");
    }
    first->Release();
    Check(WaitForWindows(0), "the last release ends the server");
  }
  ::CoUninitialize();
  std::printf("com client: %d failed checks\n", g_failed);
  return g_failed;
}
