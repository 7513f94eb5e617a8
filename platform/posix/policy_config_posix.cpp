// The default-endpoint seam on POSIX: the system reports itself as 6.1, and
// the one policy-config object it offers keeps the default output in the
// process (PosixDefaultOutput), where native tests and tools read it.
#include <mutex>
#include <string>

#include "platform/policy_config.h"
#include "platform/policy_config_ids.h"
#include "platform/posix/default_output.h"
#include "platform/version_conditions.h"

namespace platform {
namespace {

std::mutex g_lock;
std::u16string& DefaultOutput() {
  static std::u16string* output = new std::u16string;
  return *output;
}

int g_policyObject;

class PosixPolicy final : public PolicyConfig {
 public:
  std::uint64_t VerSetConditionMask(std::uint64_t mask, std::uint32_t type, std::uint8_t condition) override {
    return EncodeCondition(mask, type, condition);
  }
  bool VerifyVersionInfo(const VersionProbe& probe, std::uint32_t typeMask, std::uint64_t conditionMask) override {
    return SatisfiesConditions(6, 1, probe, typeMask, conditionMask);
  }
  HResult CreateInstance(const Guid& clsid, const Guid& iid, void** object) override {
    *object = nullptr;
    if (!(clsid == kClsidPolicyConfigVistaClient)) return kClassNotRegistered;
    if (!(iid == kIidPolicyConfigVista)) return kNoInterface;
    *object = &g_policyObject;
    return kOk;
  }
  HResult SetDefaultEndpoint(void* object, PolicyLayout, const char16_t* id, int role) override {
    if (object != &g_policyObject || !id || role != 1) return kFail;
    std::lock_guard<std::mutex> guard(g_lock);
    DefaultOutput() = id;
    return kOk;
  }
  void Release(void*) override {}
};

}  // namespace

std::u16string PosixDefaultOutput() {
  std::lock_guard<std::mutex> guard(g_lock);
  return DefaultOutput();
}

PolicyConfig& SystemPolicy() {
  static PolicyConfig* policy = new PosixPolicy;
  return *policy;
}

}  // namespace platform
