// Registry entries of a local automation server's class, written at every
// normal start and removed on request. Main thread only; failures are ignored,
// since a user without write access still runs the program.
#pragma once

#include <string>

#include "platform/policy_config.h"

struct ServerClass {
  platform::Guid clsid;
  const char16_t* progId;
};

// "{8E2E391A-2A76-475A-A770-A23196240BBD}": braced, upper case.
std::u16string FormatGuid(const platform::Guid& guid);

void RegisterServerClass(const ServerClass& server);
void UnregisterServerClass(const ServerClass& server);
