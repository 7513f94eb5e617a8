// Calls the default-endpoint switch once, as the main window's Run does, and
// prints its result; run by run_policy_test under a chosen Windows version.
#include <windows.h>
#include <objbase.h>

#include <cstdio>

#include "endpoints/default_endpoint.h"

int wmain() {
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 100;
  const int result = SetDefaultRenderEndpoint(u"{0.0.0.00000000}.{ulvex-policy-check}");
  std::printf("result %d\n", result);
  ::CoUninitialize();
  return 0;
}
