#include "platform/endpoints.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<EndpointEnumeration*> g_override{nullptr};
}  // namespace

EndpointEnumeration& Endpoints() {
  EndpointEnumeration* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemEndpoints();
}

void SetEndpointsForTesting(EndpointEnumeration* endpoints) { g_override.store(endpoints, std::memory_order_release); }

}  // namespace platform
