#include "platform/version_conditions.h"

namespace platform {
namespace {

int BitIndex(std::uint32_t type) {
  int index = 0;
  while (type > 1) {
    type >>= 1;
    ++index;
  }
  return index;
}

bool Holds(std::uint32_t reported, std::uint32_t probe, std::uint8_t condition) {
  switch (condition) {
    case 1: return reported == probe;
    case 2: return reported > probe;
    case 3: return reported >= probe;
    case 4: return reported < probe;
    case 5: return reported <= probe;
    default: return false;
  }
}

std::uint8_t ConditionOf(std::uint64_t mask, std::uint32_t type) {
  return static_cast<std::uint8_t>((mask >> (3 * BitIndex(type))) & 7);
}

}  // namespace

std::uint64_t EncodeCondition(std::uint64_t mask, std::uint32_t type, std::uint8_t condition) {
  if (type == 0 || condition == 0) return mask;
  return mask | (static_cast<std::uint64_t>(condition & 7) << (3 * BitIndex(type)));
}

bool SatisfiesConditions(std::uint32_t reportedMajor, std::uint32_t reportedMinor, const VersionProbe& probe,
                         std::uint32_t typeMask, std::uint64_t conditionMask) {
  if (typeMask == 0) return false;
  if ((typeMask & kVerMajorVersion) &&
      !Holds(reportedMajor, probe.majorVersion, ConditionOf(conditionMask, kVerMajorVersion)))
    return false;
  if ((typeMask & kVerMinorVersion) &&
      !Holds(reportedMinor, probe.minorVersion, ConditionOf(conditionMask, kVerMinorVersion)))
    return false;
  return true;
}

}  // namespace platform
