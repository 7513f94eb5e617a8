// Records every message box instead of showing it; answers OK. Installed for its lifetime.
#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"

namespace fakes {

class FakeMessages : public platform::MessageBoxes {
 public:
  FakeMessages() { platform::SetMessagesForTesting(this); }
  ~FakeMessages() override { platform::SetMessagesForTesting(nullptr); }
  int Show(const char16_t* text, unsigned type) override {
    shown.push_back(text);
    types.push_back(type);
    return 1;
  }
  std::vector<std::u16string> shown;
  std::vector<unsigned> types;
};

}  // namespace fakes
