// Makes an endpoint the default render endpoint for the multimedia role,
// through the policy-config path that the reported Windows version takes.
// User-interface thread only, in its single-threaded COM apartment.
#pragma once

// 0 when switched; -1 when not (a version neither path serves, or a refusal).
int SetDefaultRenderEndpoint(const char16_t* endpointId);
// The Windows 7 path: the Vista-era interface, table slot 12.
int SetDefaultEndpointWin7(const char16_t* endpointId);
// The Windows 8 and later path: asked for IUnknown, table slot 13.
int SetDefaultEndpointWin8(const char16_t* endpointId);
