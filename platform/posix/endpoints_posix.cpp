// The endpoint-enumeration seam without the MMDevice API: a catalogue of one
// active render endpoint, the default output, which is also the default.
#include <memory>
#include <new>
#include <string>

#include "platform/endpoints.h"
#include "platform/posix/default_output.h"

namespace platform {
namespace {

class PosixEndpointIdString final : public EndpointIdString {
 public:
  explicit PosixEndpointIdString(const char16_t* text) : text_(text) {}
  const char16_t* text() const override { return text_.c_str(); }

 private:
  std::u16string text_;
};

class PosixFriendlyName final : public PropertyValue {
 public:
  const char16_t* wideString() const override { return kDefaultOutputName; }
};

class PosixEndpointVolume final : public EndpointVolume {
 public:
  HResult GetVolumeStepInfo(std::uint32_t* step, std::uint32_t* stepCount) override {
    *step = 100;
    *stepCount = 101;
    return kS_OK;
  }
};

class PosixPropertyStore final : public PropertyStore {
 public:
  HResult GetFriendlyName(std::unique_ptr<PropertyValue>* value) override {
    value->reset(new (std::nothrow) PosixFriendlyName);
    return *value ? kS_OK : kE_FAIL;
  }
};

template <typename Seam, typename Made>
HResult Make(std::unique_ptr<Seam>* out) {
  out->reset(new (std::nothrow) Made);
  return *out ? kS_OK : kE_FAIL;
}

class PosixDefaultOutput final : public Device {
 public:
  HResult GetId(std::unique_ptr<EndpointIdString>* id) override {
    id->reset(new (std::nothrow) PosixEndpointIdString(kDefaultOutputEndpointId));
    return *id ? kS_OK : kE_FAIL;
  }
  HResult OpenPropertyStore(std::uint32_t, std::unique_ptr<PropertyStore>* store) override {
    return Make<PropertyStore, PosixPropertyStore>(store);
  }
  HResult ActivateEndpointVolume(std::unique_ptr<EndpointVolume>* volume) override {
    return Make<EndpointVolume, PosixEndpointVolume>(volume);
  }
};

class PosixDeviceCollection final : public DeviceCollection {
 public:
  explicit PosixDeviceCollection(std::uint32_t count) : count_(count) {}
  HResult GetCount(std::uint32_t* count) override {
    *count = count_;
    return kS_OK;
  }
  HResult Item(std::uint32_t index, std::unique_ptr<Device>* device) override {
    device->reset();
    if (index >= count_) return kE_INVALIDARG;
    return Make<Device, PosixDefaultOutput>(device);
  }

 private:
  std::uint32_t count_;
};

class PosixDeviceEnumerator final : public DeviceEnumerator {
 public:
  HResult EnumAudioEndpoints(int dataFlow, std::uint32_t stateMask,
                             std::unique_ptr<DeviceCollection>* devices) override {
    const bool listed = dataFlow == kRender && (stateMask & kDeviceStateActive) != 0;
    devices->reset(new (std::nothrow) PosixDeviceCollection(listed ? 1 : 0));
    return *devices ? kS_OK : kE_FAIL;
  }
  HResult GetDefaultAudioEndpoint(int dataFlow, int, std::unique_ptr<Device>* device) override {
    device->reset();
    if (dataFlow != kRender) return kE_NOTFOUND;
    return Make<Device, PosixDefaultOutput>(device);
  }
};

class PosixEndpoints final : public EndpointEnumeration {
 public:
  HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) override {
    return Make<DeviceEnumerator, PosixDeviceEnumerator>(enumerator);
  }
};

}  // namespace

EndpointEnumeration& SystemEndpoints() {
  static PosixEndpoints endpoints;
  return endpoints;
}

}  // namespace platform
