// The cases every list control must pass, whatever implements it: the
// in-memory list and, on Windows, a real sorted combo box.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/list_control.h"

namespace list_cases {

struct NamedFactory {
  std::string name;
  std::function<std::unique_ptr<platform::ListControl>()> make;
  // Reads an entry's text; the seam itself has no such operation.
  std::function<std::u16string(platform::ListControl&, int)> text;
};

// Defined per platform: the list controls this build can test.
std::vector<NamedFactory> ListControlsUnderTest();

}  // namespace list_cases
