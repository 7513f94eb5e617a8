// The encoding of version condition masks that VerSetConditionMask builds,
// and their test against a reported version, for platforms and fakes that
// have no version test functions of their own.
#pragma once

#include <cstdint>

#include "platform/policy_config.h"

namespace platform {

// Three bits of condition per type bit, the type's bit index picking the place.
std::uint64_t EncodeCondition(std::uint64_t mask, std::uint32_t type, std::uint8_t condition);
// True when the reported version satisfies each condition that typeMask names.
bool SatisfiesConditions(std::uint32_t reportedMajor, std::uint32_t reportedMinor, const VersionProbe& probe,
                         std::uint32_t typeMask, std::uint64_t conditionMask);

}  // namespace platform
