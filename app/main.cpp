// The program's entry: hands the arguments to the application object.
#include <string>
#include <vector>

#include "app/monitor_app.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the entry takes the Windows command line, UTF-16");

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  CUlvexDriver_MonitorApp app;
  return app.Run(arguments);
}
