// The default-endpoint seam on Win32: the version test functions and the
// audio service's policy-config objects through COM.
#include <windows.h>

#include "platform/policy_config.h"
#include "platform/win32/policy_config_interfaces.h"

namespace platform {
namespace {

static_assert(sizeof(Guid) == sizeof(GUID), "Guid mirrors GUID");

const GUID& AsGuid(const Guid& guid) { return *reinterpret_cast<const GUID*>(&guid); }

class Win32Policy final : public PolicyConfig {
 public:
  std::uint64_t VerSetConditionMask(std::uint64_t mask, std::uint32_t type, std::uint8_t condition) override {
    return ::VerSetConditionMask(mask, type, condition);
  }

  bool VerifyVersionInfo(const VersionProbe& probe, std::uint32_t typeMask, std::uint64_t conditionMask) override {
    OSVERSIONINFOEXW info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = probe.size;
    info.dwMajorVersion = probe.majorVersion;
    info.dwMinorVersion = probe.minorVersion;
    return ::VerifyVersionInfoW(&info, typeMask, conditionMask) != FALSE;
  }

  HResult CreateInstance(const Guid& clsid, const Guid& iid, void** object) override {
    return ::CoCreateInstance(AsGuid(clsid), nullptr, CLSCTX_ALL, AsGuid(iid), object);
  }

  HResult SetDefaultEndpoint(void* object, PolicyLayout layout, const char16_t* id, int role) override {
    const auto* deviceId = reinterpret_cast<LPCWSTR>(id);
    if (layout == PolicyLayout::Vista)
      return static_cast<IPolicyConfigVista*>(object)->SetDefaultEndpoint(deviceId, static_cast<ERole>(role));
    // The class was asked for IUnknown only; its pointer is the object's IPolicyConfig.
    return static_cast<IPolicyConfig*>(static_cast<IUnknown*>(object))->SetDefaultEndpoint(deviceId, static_cast<ERole>(role));
  }

  void Release(void* object) override { static_cast<IUnknown*>(object)->Release(); }
};

}  // namespace

PolicyConfig& SystemPolicy() {
  static Win32Policy policy;
  return policy;
}

}  // namespace platform
