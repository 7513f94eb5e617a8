#include <algorithm>

#include "platform/profile.h"
#include "settings/settings.h"

void ReadWindowText(const std::u16string& key, const std::u16string& languageFilePath,
                    char16_t (&buffer)[kWindowTextUnits]) {
  std::fill(std::begin(buffer), std::end(buffer), u'\0');
  platform::Profile().ReadString(u"frmMain", key, u"", buffer, kWindowTextUnits, languageFilePath);
}
