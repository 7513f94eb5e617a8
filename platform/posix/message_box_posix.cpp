// Without a desktop the box becomes a line on standard error, answered OK.
#include <cstdio>
#include <string>

#include "platform/message_box.h"

namespace platform {
namespace {

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
  return out;
}

class PosixMessages final : public MessageBoxes {
 public:
  int Show(const char16_t* text, unsigned) override {
    std::fprintf(stderr, "%s: %s\n", Narrow(MessageCaption()).c_str(), Narrow(text).c_str());
    return 1;
  }
};

}  // namespace

MessageBoxes& SystemMessages() {
  static MessageBoxes* messages = new PosixMessages;
  return *messages;
}

}  // namespace platform
