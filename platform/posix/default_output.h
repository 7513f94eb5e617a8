// What this build offers as its one render endpoint: the system's default
// sound output, which is wave-out device 0 of the POSIX wave-out substitute.
#pragma once

namespace platform {

inline constexpr char16_t kDefaultOutputEndpointId[] = u"{0.0.0.00000000}.{posix-default-output}";
inline constexpr char16_t kDefaultOutputName[] = u"Default output";

}  // namespace platform
