// The program's entry: hands the arguments to the application object.
#include <string>
#include <vector>

#include "app/monitor_app.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the entry takes the Windows command line, UTF-16");

namespace {
// One application object for the process, made before the entry runs.
CUlvexDriver_MonitorApp theApp;
}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  return theApp.Run(arguments);
}
