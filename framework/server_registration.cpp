#include "framework/server_registration.h"

#include "platform/registry.h"

namespace {

using platform::Registry;

void AppendHex(std::u16string& out, unsigned long long value, int digits) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

void SetUnlessPresent(const std::u16string& key, const std::u16string& value) {
  std::u16string existing;
  if (Registry().GetDefaultValue(key, &existing) && !existing.empty()) return;
  Registry().SetDefaultValue(key, value);
}

// Quoted, so that a path with blanks (C:\Program Files\...) cannot be taken
// for a shorter program followed by arguments.
std::u16string QuotedServerPath() { return u"\"" + Registry().ModuleFileName() + u"\""; }

}  // namespace

std::u16string FormatGuid(const platform::Guid& guid) {
  std::u16string out = u"{";
  AppendHex(out, guid.data1, 8);
  out += u'-';
  AppendHex(out, guid.data2, 4);
  out += u'-';
  AppendHex(out, guid.data3, 4);
  out += u'-';
  for (int i = 0; i < 8; ++i) {
    if (i == 2) out += u'-';
    AppendHex(out, guid.data4[i], 2);
  }
  return out + u"}";
}

void RegisterServerClass(const ServerClass& server) {
  const std::u16string progId = server.progId;
  const std::u16string clsid = FormatGuid(server.clsid);
  const std::u16string classKey = u"CLSID\\" + clsid;
  SetUnlessPresent(progId, progId);
  SetUnlessPresent(classKey, progId);
  Registry().SetDefaultValue(progId + u"\\CLSID", clsid);
  Registry().SetDefaultValue(classKey + u"\\ProgID", progId);
  Registry().SetDefaultValue(classKey + u"\\InprocHandler32", u"ole32.dll");
  Registry().SetDefaultValue(classKey + u"\\LocalServer32", QuotedServerPath());
}

void UnregisterServerClass(const ServerClass& server) {
  Registry().DeleteTree(server.progId);
  Registry().DeleteTree(u"CLSID\\" + FormatGuid(server.clsid));
}
