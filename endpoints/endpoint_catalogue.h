// The endpoint catalogue: lists the render endpoints and sorts them into the
// virtual device list (names with the marker) and the playback device list,
// each entry carrying an ID buffer as item data. Holds no state; the lists'
// entries own their ID buffers from the fill until FreeDeviceListData. UI
// thread, with COM initialised on it.
#pragma once

#include <cstdint>

#include "platform/list_control.h"

// Endpoint names holding this, case-sensitively, are the virtual audio device.
inline constexpr char16_t kEndpointNameMarker[] = u"Tallowmere";
// Longest ID or name a lookup accepts, in UTF-16 code units.
constexpr int kMaxEndpointTextUnits = 255;

// Render endpoints that are active or unplugged; -1 on failure.
int CountRenderEndpoints();

// The index-th render endpoint: its ID and friendly name, each into a buffer of
// 256 code units, and whether it is the default endpoint for the multimedia
// role. 0 on success; -1 on failure, the outputs then untouched.
int GetRenderEndpointInfo(int index, char16_t* id, char16_t* name, std::uint8_t* isDefault);

// Once, on empty lists: adds every endpoint that a lookup gives, selects the
// default endpoint in the playback list, and a list's only entry.
void FillDeviceLists(platform::ListControl& virtualList, platform::ListControl& playbackList);

// Frees the ID buffer of every entry of both lists; the entries stay.
void FreeDeviceListData(platform::ListControl& virtualList, platform::ListControl& playbackList);

// The ID buffer's string of the list's selected entry; null when nothing is
// selected or the entry has no buffer.
const char16_t* SelectedEndpointId(platform::ListControl& list);
