// The endpoint-enumeration seam: the multimedia device API calls behind the
// endpoint catalogue, one object per COM interface. Every object, ID string and
// property value handed out is owned by the caller's unique_ptr and released
// when it goes. Call from the thread that initialised COM (the UI thread).
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

using HResult = std::int32_t;
constexpr HResult kS_OK = 0;
constexpr HResult kS_FALSE = 1;
constexpr HResult kE_NOTIMPL = static_cast<HResult>(0x80004001u);
constexpr HResult kE_FAIL = static_cast<HResult>(0x80004005u);
constexpr HResult kE_INVALIDARG = static_cast<HResult>(0x80070057u);
constexpr HResult kE_NOTFOUND = static_cast<HResult>(0x80070490u);

// EDataFlow, ERole, DEVICE_STATE_* and STGM_READ, with the system's values.
constexpr int kRender = 0;
constexpr int kMultimedia = 1;
constexpr std::uint32_t kDeviceStateActive = 0x1;
constexpr std::uint32_t kDeviceStateUnplugged = 0x8;
constexpr std::uint32_t kStgmRead = 0;

// An endpoint ID string the system allocated (CoTaskMem on Windows).
class EndpointIdString {
 public:
  virtual ~EndpointIdString() = default;
  virtual const char16_t* text() const = 0;
};

// A property value (a PROPVARIANT on Windows), cleared when it goes.
class PropertyValue {
 public:
  virtual ~PropertyValue() = default;
  // The wide-string member, or null when the value holds no wide string.
  virtual const char16_t* wideString() const = 0;
};

class EndpointVolume {
 public:
  virtual ~EndpointVolume() = default;
  virtual HResult GetVolumeStepInfo(std::uint32_t* step, std::uint32_t* stepCount) = 0;
};

class PropertyStore {
 public:
  virtual ~PropertyStore() = default;
  // PKEY_Device_FriendlyName into a value emptied beforehand. The value is
  // handed out whatever the result, so that it is always cleared.
  virtual HResult GetFriendlyName(std::unique_ptr<PropertyValue>* value) = 0;
};

// In each call below, whatever the system handed out is passed on, even with
// a result other than S_OK, so that it is released.
class Device {
 public:
  virtual ~Device() = default;
  virtual HResult GetId(std::unique_ptr<EndpointIdString>* id) = 0;
  virtual HResult OpenPropertyStore(std::uint32_t access, std::unique_ptr<PropertyStore>* store) = 0;
  // IAudioEndpointVolume, CLSCTX_ALL, no activation parameters.
  virtual HResult ActivateEndpointVolume(std::unique_ptr<EndpointVolume>* volume) = 0;
};

class DeviceCollection {
 public:
  virtual ~DeviceCollection() = default;
  virtual HResult GetCount(std::uint32_t* count) = 0;
  virtual HResult Item(std::uint32_t index, std::unique_ptr<Device>* device) = 0;
};

class DeviceEnumerator {
 public:
  virtual ~DeviceEnumerator() = default;
  virtual HResult EnumAudioEndpoints(int dataFlow, std::uint32_t stateMask,
                                     std::unique_ptr<DeviceCollection>* devices) = 0;
  virtual HResult GetDefaultAudioEndpoint(int dataFlow, int role, std::unique_ptr<Device>* device) = 0;
};

class EndpointEnumeration {
 public:
  virtual ~EndpointEnumeration() = default;
  // CoCreateInstance of the MMDevice enumerator, CLSCTX_ALL.
  virtual HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) = 0;
};

// The implementation in force: the platform's own unless a test installed another.
EndpointEnumeration& Endpoints();
EndpointEnumeration& SystemEndpoints();
// For tests; pass null to go back to the platform's own.
void SetEndpointsForTesting(EndpointEnumeration* endpoints);

}  // namespace platform
