// The registration seam on Win32: HKEY_CLASSES_ROOT and the OLE type-library
// registration, with the type library read from the program file itself.
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "platform/registry.h"

namespace platform {
namespace {

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
const GUID& AsGuid(const Guid& guid) { return *reinterpret_cast<const GUID*>(&guid); }

class Key {
 public:
  ~Key() {
    if (key_) ::RegCloseKey(key_);
  }
  HKEY* put() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class TypeLib {
 public:
  ~TypeLib() {
    if (lib_) lib_->Release();
  }
  ITypeLib** put() { return &lib_; }
  ITypeLib* get() const { return lib_; }

 private:
  ITypeLib* lib_ = nullptr;
};

constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

class Win32Registry final : public ClassesRegistry {
 public:
  bool GetDefaultValue(const std::u16string& key, std::u16string* value) override {
    Key opened;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, W(key), 0, KEY_QUERY_VALUE, opened.put()) != ERROR_SUCCESS) return false;
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(opened.get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
      return false;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(opened.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
      return false;
    value->assign(reinterpret_cast<const char16_t*>(buffer.data()));
    return true;
  }

  bool SetDefaultValue(const std::u16string& key, const std::u16string& value) override {
    Key created;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, W(key), 0, nullptr, 0, KEY_SET_VALUE, nullptr, created.put(), nullptr) !=
        ERROR_SUCCESS)
      return false;
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(created.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(W(value)), bytes) ==
           ERROR_SUCCESS;
  }

  bool DeleteTree(const std::u16string& key) override {
    if (::RegDeleteTreeW(HKEY_CLASSES_ROOT, W(key)) != ERROR_SUCCESS) return false;
    // Given a subkey, some systems delete the key itself too; others leave it empty.
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, W(key));
    return true;
  }

  bool RegisterTypeLibrary(const Guid& libid) override {
    const std::u16string path = ModuleFileName();
    TypeLib lib;
    if (::LoadTypeLibEx(W(path), REGKIND_NONE, lib.put()) != S_OK) return false;
    TLIBATTR* attributes = nullptr;
    if (lib.get()->GetLibAttr(&attributes) != S_OK) return false;
    const bool ours = IsEqualGUID(attributes->guid, AsGuid(libid));
    lib.get()->ReleaseTLibAttr(attributes);
    if (!ours) return false;
    return ::RegisterTypeLib(lib.get(), const_cast<wchar_t*>(W(path)), nullptr) == S_OK;
  }

  bool UnregisterTypeLibrary(const Guid& libid, std::uint16_t major, std::uint16_t minor,
                             std::uint32_t locale) override {
    return ::UnRegisterTypeLib(AsGuid(libid), major, minor, locale, kSysKind) == S_OK;
  }

  std::u16string ModuleFileName() override {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return reinterpret_cast<const char16_t*>(path);
  }
};

}  // namespace

ClassesRegistry& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace platform
