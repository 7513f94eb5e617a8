#include "platform/message_box.h"

#include <atomic>
#include <string>

namespace platform {
namespace {
std::atomic<MessageBoxes*> g_override{nullptr};
std::u16string& Caption() {
  static std::u16string* caption = new std::u16string(u"UlvexDriver_Monitor");
  return *caption;
}
}  // namespace

MessageBoxes& Messages() {
  MessageBoxes* installed = g_override.load(std::memory_order_acquire);
  return installed ? *installed : SystemMessages();
}

void SetMessagesForTesting(MessageBoxes* messages) { g_override.store(messages, std::memory_order_release); }
void SetMessageCaption(const char16_t* caption) { Caption() = caption ? caption : u""; }
const char16_t* MessageCaption() { return Caption().c_str(); }

}  // namespace platform
