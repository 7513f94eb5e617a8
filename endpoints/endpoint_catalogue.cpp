#include "endpoints/endpoint_catalogue.h"

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <string_view>

#include "endpoints/id_buffer.h"
#include "platform/endpoints.h"

namespace {

using platform::kS_OK;

constexpr std::uint32_t kListedStates = platform::kDeviceStateActive | platform::kDeviceStateUnplugged;

struct IdBufferDeleter {
  void operator()(char16_t* buffer) const { IdBuffers().Free(buffer); }
};
using IdBufferPtr = std::unique_ptr<char16_t[], IdBufferDeleter>;

// The text's length, or kMaxEndpointTextUnits + 1 for anything longer.
int BoundedLength(const char16_t* text) {
  int length = 0;
  while (length <= kMaxEndpointTextUnits && text[length] != u'\0') ++length;
  return length;
}

void CopyText(const char16_t* text, int length, char16_t* out) {
  std::copy(text, text + length, out);
  out[length] = u'\0';
}

bool IsExactly(const platform::EndpointIdString* id, const char16_t* other) {
  return id && std::u16string_view(id->text()) == std::u16string_view(other);
}

// Only S_OK with the object in hand counts; success codes such as S_FALSE do not.
template <typename T>
bool Obtained(platform::HResult result, const std::unique_ptr<T>& object) {
  return result == kS_OK && object != nullptr;
}

bool HoldsMarker(const char16_t* name) {
  return std::u16string_view(name).find(kEndpointNameMarker) != std::u16string_view::npos;
}

}  // namespace

int CountRenderEndpoints() {
  std::unique_ptr<platform::DeviceEnumerator> enumerator;
  std::unique_ptr<platform::DeviceCollection> devices;  // released before the enumerator
  if (!Obtained(platform::Endpoints().CreateDeviceEnumerator(&enumerator), enumerator)) return -1;
  if (!Obtained(enumerator->EnumAudioEndpoints(platform::kRender, kListedStates, &devices), devices)) return -1;
  std::uint32_t count = UINT32_MAX;
  if (devices->GetCount(&count) != kS_OK || count > INT_MAX) return -1;
  return static_cast<int>(count);
}

int GetRenderEndpointInfo(int index, char16_t* id, char16_t* name, std::uint8_t* isDefault) {
  // Declared so that they go in the reverse order: ID strings, property value,
  // volume, property store, device, default device, collection, enumerator.
  std::unique_ptr<platform::DeviceEnumerator> enumerator;
  std::unique_ptr<platform::DeviceCollection> devices;
  std::unique_ptr<platform::Device> defaultDevice;
  std::unique_ptr<platform::Device> device;
  std::unique_ptr<platform::PropertyStore> store;
  std::unique_ptr<platform::EndpointVolume> volume;
  std::unique_ptr<platform::PropertyValue> friendlyName;
  std::unique_ptr<platform::EndpointIdString> defaultId;
  std::unique_ptr<platform::EndpointIdString> deviceId;

  if (index < 0) return -1;
  if (!Obtained(platform::Endpoints().CreateDeviceEnumerator(&enumerator), enumerator)) return -1;
  // Without a default endpoint the lookup goes on; no endpoint is then the default.
  if (Obtained(enumerator->GetDefaultAudioEndpoint(platform::kRender, platform::kMultimedia, &defaultDevice),
               defaultDevice)) {
    defaultDevice->GetId(&defaultId);  // its result decides nothing; a string handed out is used
  }
  if (!Obtained(enumerator->EnumAudioEndpoints(platform::kRender, kListedStates, &devices), devices)) return -1;
  if (!Obtained(devices->Item(static_cast<std::uint32_t>(index), &device), device)) return -1;
  if (!Obtained(device->GetId(&deviceId), deviceId)) return -1;
  const int idLength = BoundedLength(deviceId->text());
  if (idLength > kMaxEndpointTextUnits) return -1;

  if (!Obtained(device->OpenPropertyStore(platform::kStgmRead, &store), store)) return -1;
  if (!Obtained(store->GetFriendlyName(&friendlyName), friendlyName)) return -1;
  const char16_t* nameText = friendlyName->wideString();
  if (!nameText) return -1;
  const int nameLength = BoundedLength(nameText);
  if (nameLength == 0 || nameLength > kMaxEndpointTextUnits) return -1;

  // An endpoint whose volume control cannot be had, or does not answer, is not listed.
  if (!Obtained(device->ActivateEndpointVolume(&volume), volume)) return -1;
  std::uint32_t step = 0;
  std::uint32_t stepCount = 0;
  if (volume->GetVolumeStepInfo(&step, &stepCount) != kS_OK) return -1;

  CopyText(deviceId->text(), idLength, id);
  CopyText(nameText, nameLength, name);
  *isDefault = IsExactly(defaultId.get(), deviceId->text()) ? 1 : 0;
  return 0;
}

namespace {

void ListEndpoint(int index, char16_t* name, platform::ListControl& virtualList, platform::ListControl& playbackList) {
  // A buffer that cannot be had leaves the endpoint out rather than ending the fill.
  IdBufferPtr idBuffer(IdBuffers().Allocate());
  if (!idBuffer) return;
  std::uint8_t isDefault = 0;
  if (GetRenderEndpointInfo(index, idBuffer.get(), name, &isDefault) != 0) return;

  const bool isVirtualDevice = HoldsMarker(name);
  platform::ListControl& list = isVirtualDevice ? virtualList : playbackList;
  const int position = list.AddString(name);
  if (position < 0) return;
  list.SetItemData(position, reinterpret_cast<std::intptr_t>(idBuffer.release()));
  if (!isVirtualDevice && isDefault == 1) list.SetCurSel(position);
}

void FreeListData(platform::ListControl& list) {
  const int count = list.GetCount();
  for (int position = 0; position < count; ++position) {
    const std::intptr_t data = list.GetItemData(position);
    // kListError is what a list answers for a position it does not hold; it is no buffer.
    if (data != 0 && data != platform::kListError) IdBuffers().Free(reinterpret_cast<char16_t*>(data));
  }
}

}  // namespace

void FillDeviceLists(platform::ListControl& virtualList, platform::ListControl& playbackList) {
  const int count = CountRenderEndpoints();
  std::array<char16_t, kIdBufferUnits> name{};
  for (int index = 0; index < count; ++index) ListEndpoint(index, name.data(), virtualList, playbackList);
  if (playbackList.GetCount() == 1) playbackList.SetCurSel(0);
  if (virtualList.GetCount() == 1) virtualList.SetCurSel(0);
}

void FreeDeviceListData(platform::ListControl& virtualList, platform::ListControl& playbackList) {
  FreeListData(virtualList);
  FreeListData(playbackList);
}

const char16_t* SelectedEndpointId(platform::ListControl& list) {
  const int selection = list.GetCurSel();
  if (selection < 0) return nullptr;
  const std::intptr_t data = list.GetItemData(selection);
  if (data == 0 || data == platform::kListError) return nullptr;
  return reinterpret_cast<const char16_t*>(data);
}
