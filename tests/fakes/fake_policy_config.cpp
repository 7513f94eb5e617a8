#include "tests/fakes/fake_policy_config.h"

#include "platform/policy_config_ids.h"
#include "platform/version_conditions.h"

namespace fakes {

FakePolicyConfig::FakePolicyConfig(std::uint32_t major, std::uint32_t minor) : major_(major), minor_(minor) {
  platform::SetPolicyForTesting(this);
}

FakePolicyConfig::~FakePolicyConfig() { platform::SetPolicyForTesting(nullptr); }

std::uint64_t FakePolicyConfig::VerSetConditionMask(std::uint64_t mask, std::uint32_t type, std::uint8_t condition) {
  log.push_back("mask");
  return platform::EncodeCondition(mask, type, condition);
}

bool FakePolicyConfig::VerifyVersionInfo(const platform::VersionProbe& probe, std::uint32_t typeMask,
                                         std::uint64_t conditionMask) {
  log.push_back("verify");
  probes.push_back({probe.size, probe.majorVersion, probe.minorVersion, typeMask, conditionMask});
  return platform::SatisfiesConditions(major_, minor_, probe, typeMask, conditionMask);
}

platform::HResult FakePolicyConfig::CreateInstance(const platform::Guid& clsid, const platform::Guid& iid,
                                                   void** object) {
  log.push_back("create");
  creations.push_back({clsid, iid});
  *object = nullptr;
  if (createResult == platform::kOk || objectEvenOnFailure) {
    *object = &object_;
    ++objectsHandedOut;
  }
  return createResult;
}

platform::HResult FakePolicyConfig::SetDefaultEndpoint(void* object, platform::PolicyLayout layout,
                                                       const char16_t* id, int role) {
  log.push_back("set");
  if (object != &object_) return platform::kFail;
  sets.push_back({layout, platform::kSetDefaultEndpointSlot(layout), id, role});
  return callResult;
}

void FakePolicyConfig::Release(void* object) {
  log.push_back("release");
  if (object == &object_) ++releases;
}

}  // namespace fakes
