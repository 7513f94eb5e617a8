#include "platform/registry.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<ClassesRegistry*> g_override{nullptr};
}  // namespace

ClassesRegistry& Registry() {
  ClassesRegistry* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemRegistry();
}

void SetRegistryForTesting(ClassesRegistry* registry) { g_override.store(registry, std::memory_order_release); }

}  // namespace platform
