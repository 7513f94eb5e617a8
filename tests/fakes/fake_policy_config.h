// A scripted policy-config seam: reports a chosen version, records every
// call, hands out objects that count their releases, and can refuse the
// creation or the call. Installed for its own lifetime.
#pragma once

#include <string>
#include <vector>

#include "platform/policy_config.h"

namespace fakes {

class FakePolicyConfig : public platform::PolicyConfig {
 public:
  FakePolicyConfig(std::uint32_t major, std::uint32_t minor);
  ~FakePolicyConfig() override;

  platform::HResult createResult = platform::kOk;
  bool objectEvenOnFailure = false;  // a refused creation that still hands back a pointer
  platform::HResult callResult = platform::kOk;

  struct Probe {
    std::uint32_t size, major, minor, typeMask;
    std::uint64_t conditionMask;
  };
  struct Creation {
    platform::Guid clsid, iid;
  };
  struct SetCall {
    platform::PolicyLayout layout;
    int slot;
    std::u16string id;
    int role;
  };
  std::vector<std::string> log;  // "mask", "verify", "create", "set", "release", in order
  std::vector<Probe> probes;
  std::vector<Creation> creations;
  std::vector<SetCall> sets;
  int objectsHandedOut = 0;
  int releases = 0;

  std::uint64_t VerSetConditionMask(std::uint64_t mask, std::uint32_t type, std::uint8_t condition) override;
  bool VerifyVersionInfo(const platform::VersionProbe& probe, std::uint32_t typeMask,
                         std::uint64_t conditionMask) override;
  platform::HResult CreateInstance(const platform::Guid& clsid, const platform::Guid& iid, void** object) override;
  platform::HResult SetDefaultEndpoint(void* object, platform::PolicyLayout layout, const char16_t* id,
                                       int role) override;
  void Release(void* object) override;

 private:
  std::uint32_t major_, minor_;
  int object_ = 0;
};

}  // namespace fakes
