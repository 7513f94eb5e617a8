// The audio service's policy-config classes and interfaces. Undocumented by
// Microsoft; their identities and table layouts have held since these releases:
// - PolicyConfigVistaClient / IPolicyConfigVista: Windows Vista and 7, the
//   interface with SetDefaultEndpoint in table slot 12.
// - PolicyConfigClient / IPolicyConfig: Windows 7 and later (the only one on
//   8 and 10), SetDefaultEndpoint in slot 13, after the extra ResetDeviceFormat.
// The Win32 declarations of both tables are in win32/policy_config_interfaces.h.
#pragma once

#include "platform/policy_config.h"

namespace platform {

constexpr Guid kClsidPolicyConfigVistaClient = {
    0x294935CE, 0xF637, 0x4E7C, {0xA4, 0x1B, 0xAB, 0x25, 0x54, 0x60, 0xB8, 0x62}};
constexpr Guid kIidPolicyConfigVista = {
    0x568B9108, 0x44BF, 0x40B4, {0x90, 0x06, 0x86, 0xAF, 0xE5, 0xB5, 0xA6, 0x20}};
constexpr Guid kClsidPolicyConfigClient = {
    0x870AF99C, 0x171D, 0x4F9E, {0xAF, 0x0D, 0xE6, 0x3D, 0xF4, 0x0C, 0x2B, 0xC9}};
constexpr Guid kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Table slot of SetDefaultEndpoint, counting QueryInterface as 0.
constexpr int kSetDefaultEndpointSlot(PolicyLayout layout) { return layout == PolicyLayout::Vista ? 12 : 13; }

}  // namespace platform
