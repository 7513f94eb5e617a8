#include <windows.h>

#include "platform/message_box.h"

namespace platform {
namespace {

class Win32Messages final : public MessageBoxes {
 public:
  int Show(const char16_t* text, unsigned type) override {
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    return ::MessageBoxW(::GetActiveWindow(), reinterpret_cast<LPCWSTR>(text),
                         reinterpret_cast<LPCWSTR>(MessageCaption()), type);
  }
};

}  // namespace

MessageBoxes& SystemMessages() {
  static Win32Messages messages;
  return messages;
}

}  // namespace platform
