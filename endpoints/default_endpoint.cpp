#include "endpoints/default_endpoint.h"

#include <utility>

#include "platform/policy_config.h"
#include "platform/policy_config_ids.h"

namespace {

using platform::Policy;

constexpr int kMultimediaRole = 1;

// Owns one interface pointer of the seam; put() releases what it held first.
class PolicyObject {
 public:
  PolicyObject() = default;
  PolicyObject(const PolicyObject&) = delete;
  PolicyObject& operator=(const PolicyObject&) = delete;
  ~PolicyObject() { reset(); }
  void* get() const { return object_; }
  void** put() {
    reset();
    return &object_;
  }
  void reset() {
    if (void* old = std::exchange(object_, nullptr)) Policy().Release(old);
  }

 private:
  void* object_ = nullptr;
};

int SetDefaultThrough(const platform::Guid& clsid, const platform::Guid& iid, platform::PolicyLayout layout,
                      const char16_t* endpointId) {
  PolicyObject object;
  if (Policy().CreateInstance(clsid, iid, object.put()) != platform::kOk) return -1;
  return Policy().SetDefaultEndpoint(object.get(), layout, endpointId, kMultimediaRole) == platform::kOk ? 0 : -1;
}

// True when the reported version is 6.x with x above `minor`.
bool ReportsSixWithMinorAbove(std::uint32_t minor) {
  platform::VersionProbe probe;
  probe.majorVersion = 6;
  probe.minorVersion = minor;
  std::uint64_t conditions = Policy().VerSetConditionMask(0, platform::kVerMajorVersion, platform::kVerEqual);
  conditions = Policy().VerSetConditionMask(conditions, platform::kVerMinorVersion, platform::kVerGreater);
  return Policy().VerifyVersionInfo(probe, platform::kVerMajorVersion | platform::kVerMinorVersion, conditions);
}

}  // namespace

int SetDefaultEndpointWin7(const char16_t* endpointId) {
  return SetDefaultThrough(platform::kClsidPolicyConfigVistaClient, platform::kIidPolicyConfigVista,
                           platform::PolicyLayout::Vista, endpointId);
}

int SetDefaultEndpointWin8(const char16_t* endpointId) {
  return SetDefaultThrough(platform::kClsidPolicyConfigClient, platform::kIidUnknown, platform::PolicyLayout::Modern,
                           endpointId);
}

int SetDefaultRenderEndpoint(const char16_t* endpointId) {
  const bool aboveSixZero = ReportsSixWithMinorAbove(0);
  const bool aboveSixOne = ReportsSixWithMinorAbove(1);
  if (!aboveSixZero) return -1;
  if (!aboveSixOne) return SetDefaultEndpointWin7(endpointId);
  return SetDefaultEndpointWin8(endpointId);
}
