#include "platform/com_server.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<ComServer*> g_override{nullptr};
}  // namespace

ComServer& Com() {
  ComServer* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemCom();
}

void SetComForTesting(ComServer* com) { g_override.store(com, std::memory_order_release); }

}  // namespace platform
