// The application's message box: an OK box with the exclamation icon and the
// application's name as its caption. UI thread only; returns when the user
// has closed it.
#pragma once

namespace platform {

constexpr unsigned kMbOk = 0x0;

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // The button the user closed it with (1 for OK).
  virtual int Show(const char16_t* text, unsigned type) = 0;
};

MessageBoxes& Messages();
MessageBoxes& SystemMessages();
void SetMessagesForTesting(MessageBoxes* messages);
// The caption of every box; the application sets it at start.
void SetMessageCaption(const char16_t* caption);
const char16_t* MessageCaption();

}  // namespace platform
