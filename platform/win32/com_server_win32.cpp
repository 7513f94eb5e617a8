// The OLE side on Win32: a class factory and a member-less dispatch object
// around the framework's served objects, a message filter that lets calls in
// while the modal loop runs, and the restart manager.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <vector>

#include "platform/com_server.h"

namespace platform {
namespace {

const GUID& AsGuid(const Guid& guid) { return *reinterpret_cast<const GUID*>(&guid); }

class DispatchObject final : public IDispatch {
 public:
  DispatchObject(ServedObject* inner, const Guid& iid) : inner_(inner), iid_(AsGuid(iid)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, iid_)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      delete inner_;
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  // No type information and no members: names find nothing, calls reach nothing.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  ~DispatchObject() = default;
  LONG references_ = 1;
  ServedObject* inner_;
  GUID iid_;
};

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const ServedClass& served) : served_(served) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    ServedObject* inner = served_.create();
    if (!inner) return E_OUTOFMEMORY;
    auto* dispatch = new (std::nothrow) DispatchObject(inner, served_.dispatchIid);
    if (!dispatch) {
      delete inner;
      return E_OUTOFMEMORY;
    }
    const HRESULT result = dispatch->QueryInterface(riid, object);
    dispatch->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (served_.lockServer) served_.lockServer(lock != FALSE);
    return S_OK;
  }

 private:
  ~ClassFactory() = default;
  LONG references_ = 1;
  ServedClass served_;
};

// Lets incoming calls in at once and retries calls that a busy server rejected.
class MessageFilter final : public IMessageFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
      *object = static_cast<IMessageFilter*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
    if (rejectType == SERVERCALL_REJECTED) return static_cast<DWORD>(-1);
    return elapsedMs < 10000 ? 100 : static_cast<DWORD>(-1);
  }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

class Win32Com final : public ComServer {
 public:
  void InitCommonControls() override {
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
  }

  bool InitializeOle() override {
    if (FAILED(::OleInitialize(nullptr))) return false;
    oleUp_ = true;
    ::CoRegisterMessageFilter(&filter_, nullptr);
    return true;
  }

  void TerminateOle() override {
    for (DWORD cookie : cookies_) ::CoRevokeClassObject(cookie);
    cookies_.clear();
    if (!oleUp_) return;
    ::CoRegisterMessageFilter(nullptr, nullptr);
    ::OleUninitialize();
    oleUp_ = false;
  }

  bool RegisterForRestart(const std::u16string& commandLine) override {
    return SUCCEEDED(::RegisterApplicationRestart(reinterpret_cast<PCWSTR>(commandLine.c_str()), 0));
  }

  bool RegisterClassObject(const ServedClass& served) override {
    auto* factory = new (std::nothrow) ClassFactory(served);
    if (!factory) return false;
    DWORD cookie = 0;
    const HRESULT result =
        ::CoRegisterClassObject(AsGuid(served.clsid), factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie);
    factory->Release();  // COM holds its own reference while registered
    if (FAILED(result)) return false;
    cookies_.push_back(cookie);
    return true;
  }

  std::u16string LoadResourceString(unsigned id) override {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return u"";
    return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
  }

  void PostQuit() override { ::PostQuitMessage(0); }

 private:
  MessageFilter filter_;
  std::vector<DWORD> cookies_;
  bool oleUp_ = false;
};

}  // namespace

ComServer& SystemCom() {
  static Win32Com com;
  return com;
}

}  // namespace platform
