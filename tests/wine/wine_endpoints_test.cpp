// The catalogue and the wave-out resolution against Wine's real endpoints:
// a private PulseAudio with the null sinks "Speakers", "Headphones" and
// "Tallowmere Virtual Audio Device" (started by with_null_sinks), Wine's own
// "PulseAudio" endpoint that follows the default sink, and real combo boxes.
#include <windows.h>

#include <mmsystem.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "endpoints/endpoint_catalogue.h"
#include "endpoints/wave_out_index.h"
#include "platform/endpoints.h"
#include "platform/win32/list_control_win32.h"
#include "tests/wine/test_dialog.h"

namespace {

constexpr wchar_t kEnumeratorServerKey[] =
    L"Software\\Classes\\CLSID\\{BCDE0395-E52F-467C-8E3D-C4579291692E}\\InprocServer32";
constexpr wchar_t kWineServer[] = L"C:\\windows\\system32\\mmdevapi.dll";
constexpr wchar_t kStandInName[] = L"ulvex_enumerator_standin.dll";
const std::set<std::u16string> kEndpointNames = {u"Speakers", u"Headphones", u"Tallowmere Virtual Audio Device",
                                                 u"PulseAudio"};

class ComApartment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK); }
  void TearDown() override { ::CoUninitialize(); }
};
::testing::Environment* const kCom = ::testing::AddGlobalTestEnvironment(new ComApartment);

std::string Narrow(const std::u16string& text) {
  std::string narrow;
  for (char16_t unit : text) narrow.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  return narrow;
}

struct Endpoint {
  std::u16string id;
  std::u16string name;
  bool isDefault;
};

std::vector<Endpoint> LookUpAll(int count) {
  std::vector<Endpoint> endpoints;
  for (int index = 0; index < count; ++index) {
    char16_t id[256];
    char16_t name[256];
    std::uint8_t isDefault = 0;
    if (GetRenderEndpointInfo(index, id, name, &isDefault) == 0) endpoints.push_back({id, name, isDefault == 1});
  }
  return endpoints;
}

std::wstring StandInPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + kStandInName;
}

// Wine's COM reads class registrations from the machine's classes only (a
// per-user one under HKCU\Software\Classes is not seen), so the stand-in
// takes the place of Wine's own server there, in this test's own prefix, and
// Wine's is put back afterwards.
class ServerRegistration {
 public:
  ServerRegistration() {
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEnumeratorServerKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                      &key_, nullptr);
  }
  ~ServerRegistration() {
    if (key_) ::RegCloseKey(key_);
  }
  ServerRegistration(const ServerRegistration&) = delete;
  ServerRegistration& operator=(const ServerRegistration&) = delete;

  std::wstring Server() const {
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    if (!key_ ||
        ::RegQueryValueExW(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS) {
      return {};
    }
    return value;
  }
  bool SetServer(const std::wstring& path) {
    const wchar_t model[] = L"Both";
    return key_ &&
           ::RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                            static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
           ::RegSetValueExW(key_, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof(model)) ==
               ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
};

// A run that ended early may have left the stand-in registered.
std::wstring WineServer(const std::wstring& registered) {
  return registered.empty() || registered == StandInPath() ? kWineServer : registered;
}

// Runs first: once the stand-in has patched Wine's volume table, it stays patched in this process.
TEST(PlainWine, ListsNothingBecauseVolumeStepsAreNotImplemented) {
  ServerRegistration registration;
  ASSERT_TRUE(registration.SetServer(WineServer(registration.Server())));
  ASSERT_EQ(::GetModuleHandleW(kStandInName), nullptr) << "the stand-in was loaded before this test";
  const int count = CountRenderEndpoints();
  ASSERT_EQ(count, static_cast<int>(kEndpointNames.size())) << "the three null sinks and Wine's PulseAudio endpoint";
  EXPECT_TRUE(LookUpAll(count).empty());

  // And that is for the reason Wine 8 gives: E_NOTIMPL from GetVolumeStepInfo.
  std::unique_ptr<platform::DeviceEnumerator> enumerator;
  std::unique_ptr<platform::DeviceCollection> devices;
  std::unique_ptr<platform::Device> device;
  std::unique_ptr<platform::EndpointVolume> volume;
  ASSERT_EQ(platform::Endpoints().CreateDeviceEnumerator(&enumerator), S_OK);
  ASSERT_EQ(enumerator->EnumAudioEndpoints(platform::kRender, 9, &devices), S_OK);
  ASSERT_EQ(devices->Item(0, &device), S_OK);
  ASSERT_EQ(device->ActivateEndpointVolume(&volume), S_OK);
  std::uint32_t step = 0;
  std::uint32_t stepCount = 0;
  EXPECT_EQ(volume->GetVolumeStepInfo(&step, &stepCount), E_NOTIMPL);

  wine_tests::TestDialog dialog;
  platform::ComboBoxListControl virtualList(dialog.control(wine_tests::kVirtualDeviceListId));
  platform::ComboBoxListControl playback(dialog.control(wine_tests::kPlaybackDeviceListId));
  FillDeviceLists(virtualList, playback);
  EXPECT_EQ(virtualList.GetCount(), 0);
  EXPECT_EQ(playback.GetCount(), 0);
}

class WithStandIn : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ServerRegistration registration;
    wineServer_ = WineServer(registration.Server());
    ASSERT_TRUE(registration.SetServer(StandInPath()));
  }
  static void TearDownTestSuite() { ServerRegistration().SetServer(wineServer_); }

  void SetUp() override {
    count_ = CountRenderEndpoints();
    ASSERT_NE(::GetModuleHandleW(kStandInName), nullptr) << "COM did not load the stand-in";
  }
  int count_ = -1;
  static std::wstring wineServer_;
};
std::wstring WithStandIn::wineServer_;

TEST_F(WithStandIn, ListsTheSinksWithTheirIdsAndNames) {
  ASSERT_EQ(count_, static_cast<int>(kEndpointNames.size()));
  const std::vector<Endpoint> endpoints = LookUpAll(count_);
  std::set<std::u16string> names;
  std::set<std::u16string> ids;
  std::vector<std::u16string> defaults;
  for (const Endpoint& endpoint : endpoints) {
    names.insert(endpoint.name);
    ids.insert(endpoint.id);
    if (endpoint.isDefault) defaults.push_back(endpoint.name);
    // Render endpoint IDs of the MMDevice API: "{0.0.0.00000000}.{GUID}".
    EXPECT_EQ(endpoint.id.rfind(u"{0.0.0.00000000}.{", 0), 0u) << Narrow(endpoint.id);
  }
  EXPECT_EQ(names, kEndpointNames);
  EXPECT_EQ(ids.size(), endpoints.size());
  EXPECT_EQ(defaults, std::vector<std::u16string>{u"PulseAudio"}) << "Wine's default endpoint";
}

std::u16string WaveOutName(int device) {
  WAVEOUTCAPSW caps{};
  if (::waveOutGetDevCapsW(static_cast<UINT_PTR>(device), &caps, sizeof(caps)) != MMSYSERR_NOERROR) return u"?";
  return reinterpret_cast<const char16_t*>(caps.szPname);
}

std::u16string Lowered(std::u16string text) {
  for (char16_t& unit : text) {
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit + 0x20);
  }
  return text;
}

TEST_F(WithStandIn, FindWaveOutIndexMapsEachEndpointToTheDeviceThatPlaysToIt) {
  const std::vector<Endpoint> endpoints = LookUpAll(count_);
  ASSERT_EQ(endpoints.size(), kEndpointNames.size());
  ASSERT_EQ(::waveOutGetNumDevs(), endpoints.size());
  std::set<int> devices;
  for (const Endpoint& endpoint : endpoints) {
    SCOPED_TRACE(Narrow(endpoint.name));
    const int device = FindWaveOutIndex(endpoint.id.c_str());
    ASSERT_GE(device, 0);
    devices.insert(device);
    // Wine names each wave-out device after its endpoint, cut to 31 characters.
    EXPECT_EQ(WaveOutName(device), endpoint.name.substr(0, MAXPNAMELEN - 1));
    EXPECT_EQ(FindWaveOutIndex(Lowered(endpoint.id).c_str()), device) << "letter case is ignored";
    if (endpoint.isDefault) {
      EXPECT_EQ(device, 0) << "wave-out device 0 is the default endpoint";
    }
  }
  EXPECT_EQ(devices.size(), endpoints.size());
  EXPECT_EQ(FindWaveOutIndex(u"{0.0.0.00000000}.{00000000-0000-0000-0000-000000000000}"), -1);
}

TEST_F(WithStandIn, FillDeviceListsPutsTheMarkerEndpointAloneInTheVirtualList) {
  std::map<std::u16string, std::u16string> idOfName;
  for (const Endpoint& endpoint : LookUpAll(count_)) idOfName[endpoint.name] = endpoint.id;

  wine_tests::TestDialog dialog;
  ASSERT_NE(dialog.window(), nullptr);
  platform::ComboBoxListControl virtualList(dialog.control(wine_tests::kVirtualDeviceListId));
  platform::ComboBoxListControl playback(dialog.control(wine_tests::kPlaybackDeviceListId));
  FillDeviceLists(virtualList, playback);

  ASSERT_EQ(virtualList.GetCount(), 1);
  EXPECT_EQ(virtualList.Text(0), u"Tallowmere Virtual Audio Device");
  EXPECT_EQ(virtualList.GetCurSel(), 0);
  EXPECT_EQ(std::u16string(SelectedEndpointId(virtualList)), idOfName[u"Tallowmere Virtual Audio Device"]);

  ASSERT_EQ(playback.GetCount(), 3);
  std::vector<std::u16string> texts;
  for (int position = 0; position < 3; ++position) {
    texts.push_back(playback.Text(position));
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(playback.GetItemData(position))),
              idOfName[texts.back()]);
  }
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"Headphones", u"PulseAudio", u"Speakers"}));
  ASSERT_GE(playback.GetCurSel(), 0);
  EXPECT_EQ(playback.Text(playback.GetCurSel()), u"PulseAudio") << "the default endpoint is preselected";

  FreeDeviceListData(virtualList, playback);
}

}  // namespace
