#include "platform/policy_config.h"

#include <atomic>
#include <cstring>

namespace platform {
namespace {
std::atomic<PolicyConfig*> g_override{nullptr};
}  // namespace

bool operator==(const Guid& a, const Guid& b) {
  return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
         std::memcmp(a.data4, b.data4, sizeof a.data4) == 0;
}

PolicyConfig& Policy() {
  PolicyConfig* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemPolicy();
}

void SetPolicyForTesting(PolicyConfig* policy) { g_override.store(policy, std::memory_order_release); }

}  // namespace platform
