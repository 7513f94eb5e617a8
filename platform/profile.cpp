#include "platform/profile.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<ProfileFiles*> g_override{nullptr};
}  // namespace

ProfileFiles& Profile() {
  ProfileFiles* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemProfile();
}

void SetProfileForTesting(ProfileFiles* profile) { g_override.store(profile, std::memory_order_release); }

}  // namespace platform
