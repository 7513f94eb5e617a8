// The endpoint-enumeration seam on the MMDevice API. Each seam object holds
// one COM interface; the GUIDs are defined here so that nothing depends on
// which of them the MinGW import libraries carry.
#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <new>

#include "platform/endpoints.h"
#include "platform/win32/com_ptr.h"

namespace platform {
namespace {

constexpr CLSID kClsidMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
constexpr IID kIidIMMDeviceEnumerator = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
constexpr IID kIidIAudioEndpointVolume = {0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};
constexpr PROPERTYKEY kDeviceFriendlyName = {
    {0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 14};

// Wraps what a COM call handed out in a seam object, even after a failure
// result, so that nothing obtained escapes release. A seam object that cannot
// be allocated drops the interface (the ComPtr releases it) and reads as a
// failed call.
template <typename Seam, typename Wrapper, typename Interface>
HResult HandOut(HRESULT result, ComPtr<Interface>& obtained, std::unique_ptr<Seam>* out) {
  out->reset();
  if (!obtained) return result;
  out->reset(new (std::nothrow) Wrapper(std::move(obtained)));
  return *out ? result : E_OUTOFMEMORY;
}

class Win32EndpointIdString final : public EndpointIdString {
 public:
  explicit Win32EndpointIdString(wchar_t* text) : text_(text) {}
  const char16_t* text() const override { return reinterpret_cast<const char16_t*>(text_.get()); }

 private:
  CoTaskMemPtr<wchar_t> text_;
};

class Win32PropertyValue final : public PropertyValue {
 public:
  PROPVARIANT* slot() { return value_.get(); }
  const char16_t* wideString() const override {
    if (value_.value().vt != VT_LPWSTR) return nullptr;
    return reinterpret_cast<const char16_t*>(value_.value().pwszVal);
  }

 private:
  PropVariant value_;
};

class Win32EndpointVolume final : public EndpointVolume {
 public:
  explicit Win32EndpointVolume(ComPtr<IAudioEndpointVolume> volume) : volume_(std::move(volume)) {}
  HResult GetVolumeStepInfo(std::uint32_t* step, std::uint32_t* stepCount) override {
    UINT current = 0;
    UINT count = 0;
    const HRESULT result = volume_->GetVolumeStepInfo(&current, &count);
    *step = current;
    *stepCount = count;
    return result;
  }

 private:
  ComPtr<IAudioEndpointVolume> volume_;
};

class Win32PropertyStore final : public PropertyStore {
 public:
  explicit Win32PropertyStore(ComPtr<IPropertyStore> store) : store_(std::move(store)) {}
  HResult GetFriendlyName(std::unique_ptr<PropertyValue>* value) override {
    auto holder = std::unique_ptr<Win32PropertyValue>(new (std::nothrow) Win32PropertyValue);
    if (!holder) return E_OUTOFMEMORY;
    const HRESULT result = store_->GetValue(kDeviceFriendlyName, holder->slot());
    *value = std::move(holder);
    return result;
  }

 private:
  ComPtr<IPropertyStore> store_;
};

class Win32Device final : public Device {
 public:
  explicit Win32Device(ComPtr<IMMDevice> device) : device_(std::move(device)) {}

  HResult GetId(std::unique_ptr<EndpointIdString>* id) override {
    id->reset();
    LPWSTR text = nullptr;
    const HRESULT result = device_->GetId(&text);
    if (!text) return result;
    id->reset(new (std::nothrow) Win32EndpointIdString(text));
    if (!*id) {
      ::CoTaskMemFree(text);
      return E_OUTOFMEMORY;
    }
    return result;
  }

  HResult OpenPropertyStore(std::uint32_t access, std::unique_ptr<PropertyStore>* store) override {
    ComPtr<IPropertyStore> obtained;
    const HRESULT result = device_->OpenPropertyStore(access, obtained.put());
    return HandOut<PropertyStore, Win32PropertyStore>(result, obtained, store);
  }

  HResult ActivateEndpointVolume(std::unique_ptr<EndpointVolume>* volume) override {
    ComPtr<IAudioEndpointVolume> obtained;
    const HRESULT result = device_->Activate(kIidIAudioEndpointVolume, CLSCTX_ALL, nullptr, obtained.put_void());
    return HandOut<EndpointVolume, Win32EndpointVolume>(result, obtained, volume);
  }

 private:
  ComPtr<IMMDevice> device_;
};

class Win32DeviceCollection final : public DeviceCollection {
 public:
  explicit Win32DeviceCollection(ComPtr<IMMDeviceCollection> devices) : devices_(std::move(devices)) {}

  HResult GetCount(std::uint32_t* count) override {
    UINT value = *count;
    const HRESULT result = devices_->GetCount(&value);
    *count = value;
    return result;
  }

  HResult Item(std::uint32_t index, std::unique_ptr<Device>* device) override {
    ComPtr<IMMDevice> obtained;
    const HRESULT result = devices_->Item(index, obtained.put());
    return HandOut<Device, Win32Device>(result, obtained, device);
  }

 private:
  ComPtr<IMMDeviceCollection> devices_;
};

class Win32DeviceEnumerator final : public DeviceEnumerator {
 public:
  explicit Win32DeviceEnumerator(ComPtr<IMMDeviceEnumerator> enumerator) : enumerator_(std::move(enumerator)) {}

  HResult EnumAudioEndpoints(int dataFlow, std::uint32_t stateMask,
                             std::unique_ptr<DeviceCollection>* devices) override {
    ComPtr<IMMDeviceCollection> obtained;
    const HRESULT result = enumerator_->EnumAudioEndpoints(static_cast<EDataFlow>(dataFlow), stateMask, obtained.put());
    return HandOut<DeviceCollection, Win32DeviceCollection>(result, obtained, devices);
  }

  HResult GetDefaultAudioEndpoint(int dataFlow, int role, std::unique_ptr<Device>* device) override {
    ComPtr<IMMDevice> obtained;
    const HRESULT result = enumerator_->GetDefaultAudioEndpoint(static_cast<EDataFlow>(dataFlow),
                                                                static_cast<ERole>(role), obtained.put());
    return HandOut<Device, Win32Device>(result, obtained, device);
  }

 private:
  ComPtr<IMMDeviceEnumerator> enumerator_;
};

class Win32Endpoints final : public EndpointEnumeration {
 public:
  HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) override {
    ComPtr<IMMDeviceEnumerator> obtained;
    const HRESULT result =
        ::CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIidIMMDeviceEnumerator, obtained.put_void());
    return HandOut<DeviceEnumerator, Win32DeviceEnumerator>(result, obtained, enumerator);
  }
};

}  // namespace

EndpointEnumeration& SystemEndpoints() {
  static Win32Endpoints endpoints;
  return endpoints;
}

}  // namespace platform
