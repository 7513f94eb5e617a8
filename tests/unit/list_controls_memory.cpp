// The list controls a build without a window system tests: the in-memory one.
#include "platform/memory_list_control.h"
#include "tests/unit/list_control_cases.h"

namespace list_cases {

std::vector<NamedFactory> ListControlsUnderTest() {
  return {{"Memory", [] { return std::make_unique<platform::MemoryListControl>(); },
           [](platform::ListControl& list, int position) {
             return static_cast<platform::MemoryListControl&>(list).Text(position);
           }}};
}

}  // namespace list_cases
