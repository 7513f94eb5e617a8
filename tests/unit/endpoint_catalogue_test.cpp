#include "endpoints/endpoint_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/memory_list_control.h"
#include "tests/fakes/fake_endpoints.h"
#include "tests/fakes/fake_id_buffers.h"

namespace {

using fakes::EndpointStep;
using fakes::FakeEndpoint;
using fakes::FakeEndpointCatalogue;
using fakes::FakeIdBufferHeap;
using fakes::Narrow;
using platform::MemoryListControl;

struct Listed {
  std::vector<std::string> names;
  std::vector<std::string> ids;  // from each entry's item data; "" for none
  std::string selected;          // the selected entry's name; "" for none
};

Listed Read(MemoryListControl& list) {
  Listed listed;
  for (int position = 0; position < list.GetCount(); ++position) {
    listed.names.push_back(Narrow(list.Text(position)));
    const std::intptr_t data = list.GetItemData(position);
    listed.ids.push_back(data ? Narrow(reinterpret_cast<const char16_t*>(data)) : "");
  }
  if (list.GetCurSel() >= 0) listed.selected = Narrow(list.Text(list.GetCurSel()));
  return listed;
}

std::u16string Repeated(char16_t unit, std::size_t count) { return std::u16string(count, unit); }

// Fills both lists from the catalogue, checks that the fill kept nothing of
// the catalogue's and that the lists own exactly the buffers left, and frees.
class Fill {
 public:
  explicit Fill(std::size_t playbackCapacity = 1000) : playback(playbackCapacity) {}
  ~Fill() { FreeDeviceListData(virtualList, playback); }

  void Run(FakeEndpointCatalogue& catalogue) {
    FillDeviceLists(virtualList, playback);
    EXPECT_EQ(catalogue.held(), 0) << "the fill kept an object, ID string or property value";
    EXPECT_EQ(heap.live(), virtualList.GetCount() + playback.GetCount()) << "an ID buffer outside the lists";
    EXPECT_EQ(heap.badFrees(), 0);
  }

  FakeIdBufferHeap heap;
  MemoryListControl virtualList;
  MemoryListControl playback;
};

struct SortCase {
  const char* what;
  std::vector<FakeEndpoint> endpoints;  // in enumeration order
  std::u16string defaultId;
  std::vector<std::string> virtualNames;
  std::string virtualSelected;
  std::vector<std::string> playbackNames;
  std::string playbackSelected;
};

const std::vector<SortCase> kSortCases = {
    {"no endpoints", {}, u"", {}, "", {}, ""},
    {"marker between other words goes to the virtual list only",
     {{u"v", u"My Tallowmere Virtual Audio"}, {u"s", u"Speakers"}, {u"h", u"Headphones"}},
     u"s",
     {"My Tallowmere Virtual Audio"},
     "My Tallowmere Virtual Audio",
     {"Headphones", "Speakers"},
     "Speakers"},
    {"marker in other letter case is a playback device",
     {{u"l", u"tallowmere lower"}, {u"u", u"TALLOWMERE UPPER"}, {u"s", u"Speakers"}},
     u"s",
     {},
     "",
     {"Speakers", "tallowmere lower", "TALLOWMERE UPPER"},
     "Speakers"},
    {"default sorts into the middle and stays selected as others sort ahead of it",
     {{u"s", u"Speakers"}, {u"m", u"Monitor"}, {u"h", u"Headphones"}, {u"a", u"Analog Out"}},
     u"m",
     {},
     "",
     {"Analog Out", "Headphones", "Monitor", "Speakers"},
     "Monitor"},
    {"default is the virtual device, one playback entry: it is selected",
     {{u"v", u"Tallowmere Virtual Audio Device"}, {u"s", u"Speakers"}},
     u"v",
     {"Tallowmere Virtual Audio Device"},
     "Tallowmere Virtual Audio Device",
     {"Speakers"},
     "Speakers"},
    {"default is the virtual device, two playback entries: none selected",
     {{u"v", u"Tallowmere Virtual Audio Device"}, {u"s", u"Speakers"}, {u"h", u"Headphones"}},
     u"v",
     {"Tallowmere Virtual Audio Device"},
     "Tallowmere Virtual Audio Device",
     {"Headphones", "Speakers"},
     ""},
    {"two marker endpoints: none selected in the virtual list, whatever is the default",
     {{u"v1", u"Tallowmere One"}, {u"v2", u"Tallowmere Two"}, {u"s", u"Speakers"}},
     u"v1",
     {"Tallowmere One", "Tallowmere Two"},
     "",
     {"Speakers"},
     "Speakers"},
    {"no default endpoint: nothing is the default",
     {{u"s", u"Speakers"}, {u"h", u"Headphones"}},
     u"",
     {},
     "",
     {"Headphones", "Speakers"},
     ""},
    {"an ID that differs from the default's only in letter case is not the default",
     {{u"{ab}", u"Speakers"}, {u"{AB}x", u"Headphones"}, {u"{AB}", u"Monitor"}},
     u"{ab}",
     {},
     "",
     {"Headphones", "Monitor", "Speakers"},
     "Speakers"},
};

TEST(FillDeviceLists, SortsEndpointsIntoTheTwoListsAndSelects) {
  for (const SortCase& test : kSortCases) {
    SCOPED_TRACE(test.what);
    FakeEndpointCatalogue catalogue(test.endpoints);
    catalogue.SetDefault(test.defaultId);
    Fill fill;
    fill.Run(catalogue);

    const Listed virtualListed = Read(fill.virtualList);
    const Listed playbackListed = Read(fill.playback);
    EXPECT_EQ(virtualListed.names, test.virtualNames);
    EXPECT_EQ(virtualListed.selected, test.virtualSelected);
    EXPECT_EQ(playbackListed.names, test.playbackNames);
    EXPECT_EQ(playbackListed.selected, test.playbackSelected);

    // Every entry carries its own endpoint's ID.
    std::map<std::string, std::string> idOfName;
    for (const FakeEndpoint& endpoint : test.endpoints) idOfName[Narrow(endpoint.name)] = Narrow(endpoint.id);
    for (const Listed* listed : {&virtualListed, &playbackListed}) {
      for (std::size_t i = 0; i < listed->names.size(); ++i) {
        EXPECT_EQ(listed->ids[i], idOfName[listed->names[i]]) << listed->names[i];
      }
    }
  }
}

TEST(FillDeviceLists, DefaultEndpointIsTheSelectedEntryWithItsOwnIdAsItemData) {
  FakeEndpointCatalogue catalogue({{u"{s}", u"Speakers"}, {u"{m}", u"Monitor"}, {u"{a}", u"Analog Out"}});
  catalogue.SetDefault(u"{m}");
  Fill fill;
  fill.Run(catalogue);

  ASSERT_EQ(fill.playback.GetCurSel(), 1);
  EXPECT_EQ(std::u16string(SelectedEndpointId(fill.playback)), u"{m}");
}

struct LeftOutCase {
  const char* what;
  FakeEndpoint target;
  EndpointStep failingStep;
  platform::HResult result;
};

const FakeEndpoint kTarget{u"{target}", u"Headphones"};

const std::vector<LeftOutCase> kLeftOutCases = {
    {"Item fails", kTarget, EndpointStep::Item, platform::kE_FAIL},
    {"Item answers S_FALSE", kTarget, EndpointStep::Item, platform::kS_FALSE},
    {"GetId fails", kTarget, EndpointStep::GetId, platform::kE_FAIL},
    {"GetId answers S_FALSE", kTarget, EndpointStep::GetId, platform::kS_FALSE},
    {"OpenPropertyStore fails", kTarget, EndpointStep::OpenPropertyStore, platform::kE_FAIL},
    {"OpenPropertyStore answers S_FALSE", kTarget, EndpointStep::OpenPropertyStore, platform::kS_FALSE},
    {"friendly name cannot be read", kTarget, EndpointStep::GetFriendlyName, platform::kE_FAIL},
    {"friendly name read answers S_FALSE", kTarget, EndpointStep::GetFriendlyName, platform::kS_FALSE},
    {"volume control cannot be activated", kTarget, EndpointStep::ActivateEndpointVolume, platform::kE_FAIL},
    {"volume activation answers S_FALSE", kTarget, EndpointStep::ActivateEndpointVolume, platform::kS_FALSE},
    {"volume steps not implemented", kTarget, EndpointStep::GetVolumeStepInfo, platform::kE_NOTIMPL},
    {"volume steps answer S_FALSE", kTarget, EndpointStep::GetVolumeStepInfo, platform::kS_FALSE},
    {"ID of 256 characters", {Repeated(u'i', 256), u"Headphones"}, EndpointStep::Item, platform::kS_OK},
    {"name of 256 characters", {u"{target}", Repeated(u'n', 256)}, EndpointStep::Item, platform::kS_OK},
    {"empty name", {u"{target}", u""}, EndpointStep::Item, platform::kS_OK},
    {"name that is not a string", {u"{target}", u"Headphones", false}, EndpointStep::Item, platform::kS_OK},
};

TEST(FillDeviceLists, LeavesOutJustTheEndpointWhoseLookupFails) {
  for (const LeftOutCase& test : kLeftOutCases) {
    SCOPED_TRACE(test.what);
    FakeEndpointCatalogue catalogue(
        {{u"{s}", u"Speakers"}, test.target, {u"{v}", u"Tallowmere Virtual Audio Device"}, {u"{m}", u"Monitor"}});
    catalogue.SetDefault(u"{s}");
    if (test.result != platform::kS_OK) catalogue.Fail(test.failingStep, test.target.id, test.result);
    Fill fill;
    fill.Run(catalogue);

    EXPECT_EQ(Read(fill.playback).names, (std::vector<std::string>{"Monitor", "Speakers"}));
    EXPECT_EQ(Read(fill.playback).selected, "Speakers");
    EXPECT_EQ(Read(fill.virtualList).names, (std::vector<std::string>{"Tallowmere Virtual Audio Device"}));
    EXPECT_EQ(fill.heap.allocations(), 4);
    EXPECT_EQ(fill.heap.frees(), 1) << "the left-out endpoint's buffer";
  }
}

TEST(FillDeviceLists, CopiesIdsAndNamesUpTo255CharactersWhole) {
  for (std::size_t length : {127u, 128u, 200u, 255u}) {
    SCOPED_TRACE(length);
    const std::u16string id = Repeated(u'i', length);
    const std::u16string name = Repeated(u'n', length);
    FakeEndpointCatalogue catalogue({{id, name}});
    Fill fill;
    fill.Run(catalogue);
    const Listed listed = Read(fill.playback);
    ASSERT_EQ(listed.names.size(), 1u);
    EXPECT_EQ(listed.names[0], Narrow(name));
    EXPECT_EQ(listed.ids[0], Narrow(id));
  }
}

TEST(FillDeviceLists, TwoEndpointsWithTheSameNameGiveTwoEntries) {
  FakeEndpointCatalogue catalogue({{u"{one}", u"Speakers"}, {u"{two}", u"Speakers"}});
  Fill fill;
  fill.Run(catalogue);

  const Listed listed = Read(fill.playback);
  EXPECT_EQ(listed.names, (std::vector<std::string>{"Speakers", "Speakers"}));
  std::vector<std::string> ids = listed.ids;
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<std::string>{"{one}", "{two}"}));
  EXPECT_NE(fill.playback.GetItemData(0), fill.playback.GetItemData(1));
}

struct ChangeCase {
  const char* what;
  std::vector<FakeEndpoint> atCount;
  std::vector<FakeEndpoint> atLookups;
  std::vector<std::string> listed;
  int lookups;
};

const std::vector<ChangeCase> kChangeCases = {
    {"one endpoint went: the index past the end is skipped",
     {{u"a", u"Alpha"}, {u"b", u"Beta"}, {u"c", u"Gamma"}},
     {{u"a", u"Alpha"}, {u"c", u"Gamma"}},
     {"Alpha", "Gamma"},
     3},
    {"endpoints came: only as many as counted are looked up",
     {{u"a", u"Alpha"}},
     {{u"z", u"Zeta"}, {u"a", u"Alpha"}, {u"b", u"Beta"}},
     {"Zeta"},
     1},
};

TEST(FillDeviceLists, EachLookupEnumeratesAfresh) {
  for (const ChangeCase& test : kChangeCases) {
    SCOPED_TRACE(test.what);
    FakeEndpointCatalogue catalogue(test.atCount);
    catalogue.ChangeEndpointsAtEnumeration(2, test.atLookups);
    Fill fill;
    fill.Run(catalogue);
    EXPECT_EQ(Read(fill.playback).names, test.listed);
    EXPECT_EQ(catalogue.Count("CreateEnumerator"), test.lookups + 1);
    EXPECT_EQ(catalogue.Count("release enumerator"), test.lookups + 1);
  }
}

TEST(FillDeviceLists, AFillOfNEndpointsEnumeratesNPlusOneTimesAndReadsTheDefaultNTimes) {
  FakeEndpointCatalogue catalogue({{u"a", u"Alpha"}, {u"b", u"Beta"}, {u"c", u"Gamma"}});
  catalogue.SetDefault(u"b");
  Fill fill;
  fill.Run(catalogue);
  EXPECT_EQ(catalogue.Count("CreateEnumerator"), 4);
  EXPECT_EQ(catalogue.Count("EnumAudioEndpoints flow=0 mask=9"), 4);
  EXPECT_EQ(catalogue.Count("GetDefaultAudioEndpoint flow=0 role=1"), 3);
}

TEST(FillDeviceLists, CountFailureLeavesBothListsEmptyAndLooksNothingUp) {
  FakeEndpointCatalogue catalogue({{u"a", u"Alpha"}, {u"v", u"Tallowmere"}});
  catalogue.FailCall(EndpointStep::GetCount, 1);
  Fill fill;
  fill.Run(catalogue);
  EXPECT_EQ(fill.playback.GetCount(), 0);
  EXPECT_EQ(fill.virtualList.GetCount(), 0);
  EXPECT_EQ(catalogue.Count("Item 0"), 0);
  EXPECT_EQ(fill.heap.allocations(), 0);
}

TEST(FillDeviceLists, ARefusedEntryIsMissingAndItsBufferFreed) {
  // The default comes second and is refused: nothing is selected for it, and
  // the only entry is selected for being the only one.
  FakeEndpointCatalogue catalogue({{u"a", u"Alpha"}, {u"b", u"Beta"}});
  catalogue.SetDefault(u"b");
  Fill fill(1);
  fill.Run(catalogue);
  EXPECT_EQ(Read(fill.playback).names, std::vector<std::string>{"Alpha"});
  EXPECT_EQ(Read(fill.playback).selected, "Alpha");
  EXPECT_EQ(fill.heap.frees(), 1);
}

TEST(FillDeviceLists, AnIdBufferThatCannotBeHadLeavesThatEndpointOut) {
  FakeEndpointCatalogue catalogue({{u"a", u"Alpha"}, {u"b", u"Beta"}, {u"c", u"Gamma"}});
  Fill fill;
  fill.heap.FailAllocation(2);
  fill.Run(catalogue);
  EXPECT_EQ(Read(fill.playback).names, (std::vector<std::string>{"Alpha", "Gamma"}));
}

TEST(FreeDeviceListData, ReleasesEveryIdBufferOnceAndPassesOverEntriesWithoutOne) {
  FakeIdBufferHeap heap;
  MemoryListControl virtualList;
  MemoryListControl playback;
  {
    FakeEndpointCatalogue catalogue(
        {{u"v1", u"Tallowmere One"}, {u"v2", u"Tallowmere Two"}, {u"s", u"Speakers"}, {u"h", u"Headphones"}});
    FillDeviceLists(virtualList, playback);
  }
  playback.AddString(u"An entry without a buffer");
  virtualList.AddString(u"Another without a buffer");
  ASSERT_EQ(heap.live(), 4);

  FreeDeviceListData(virtualList, playback);

  EXPECT_EQ(heap.live(), 0);
  EXPECT_EQ(heap.badFrees(), 0);
  ASSERT_EQ(heap.freeCounts().size(), 4u);
  for (const auto& buffer : heap.freeCounts()) EXPECT_EQ(buffer.second, 1);
  EXPECT_EQ(playback.GetCount(), 3) << "the entries stay";
  EXPECT_EQ(virtualList.GetCount(), 3);
}

TEST(CountRenderEndpoints, CountsActiveAndUnpluggedRenderEndpoints) {
  FakeEndpointCatalogue catalogue({{u"a", u"Alpha"}, {u"b", u"Beta"}});
  EXPECT_EQ(CountRenderEndpoints(), 2);
  EXPECT_EQ(catalogue.log(),
            (std::vector<std::string>{"CreateEnumerator", "EnumAudioEndpoints flow=0 mask=9", "GetCount preset=-1",
                                      "release collection", "release enumerator"}));
}

TEST(CountRenderEndpoints, AnyAnswerButSOkFailsAndReleasesWhatWasObtained) {
  const struct {
    EndpointStep step;
    platform::HResult result;
  } cases[] = {
      {EndpointStep::CreateEnumerator, platform::kE_FAIL},   {EndpointStep::CreateEnumerator, platform::kS_FALSE},
      {EndpointStep::EnumAudioEndpoints, platform::kE_FAIL}, {EndpointStep::EnumAudioEndpoints, platform::kS_FALSE},
      {EndpointStep::GetCount, platform::kE_FAIL},           {EndpointStep::GetCount, platform::kS_FALSE},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(std::string(fakes::StepName(test.step)) + " " + std::to_string(test.result));
    FakeEndpointCatalogue catalogue(std::vector<FakeEndpoint>{{u"a", u"Alpha"}});
    catalogue.Fail(test.step, {}, test.result);
    EXPECT_EQ(CountRenderEndpoints(), -1);
    EXPECT_EQ(catalogue.held(), 0);
  }
}

const std::vector<std::string> kLookupOfB = {
    "CreateEnumerator",
    "GetDefaultAudioEndpoint flow=0 role=1",
    "GetId default a",
    "EnumAudioEndpoints flow=0 mask=9",
    "Item 1",
    "GetId b",
    "OpenPropertyStore access=0 b",
    "GetFriendlyName b",
    "ActivateEndpointVolume b",
    "GetVolumeStepInfo b",
    "free id b",
    "free id default a",
    "clear value b",
    "release volume b",
    "release store b",
    "release device b",
    "release default a",
    "release collection",
    "release enumerator",
};

TEST(GetRenderEndpointInfo, CallsInOrderAndReleasesInOrder) {
  FakeEndpointCatalogue catalogue({{u"a", u"Alpha"}, {u"b", u"Beta"}});
  catalogue.SetDefault(u"a");
  char16_t id[256];
  char16_t name[256];
  std::uint8_t isDefault = 7;
  ASSERT_EQ(GetRenderEndpointInfo(1, id, name, &isDefault), 0);
  EXPECT_EQ(std::u16string(id), u"b");
  EXPECT_EQ(std::u16string(name), u"Beta");
  EXPECT_EQ(isDefault, 0);
  EXPECT_EQ(catalogue.log(), kLookupOfB);
}

// The releases of the full lookup that concern what was obtained, in order.
std::vector<std::string> Releases(const std::vector<std::string>& log) {
  std::vector<std::string> releases;
  for (const std::string& entry : log) {
    if (entry.rfind("release", 0) == 0 || entry.rfind("free", 0) == 0 || entry.rfind("clear", 0) == 0) {
      releases.push_back(entry);
    }
  }
  return releases;
}

TEST(GetRenderEndpointInfo, EachFailingStepFailsLeavesOutputsAloneAndReleasesInOrder) {
  const EndpointStep steps[] = {
      EndpointStep::CreateEnumerator,
      EndpointStep::EnumAudioEndpoints,
      EndpointStep::Item,
      EndpointStep::GetId,
      EndpointStep::OpenPropertyStore,
      EndpointStep::GetFriendlyName,
      EndpointStep::ActivateEndpointVolume,
      EndpointStep::GetVolumeStepInfo,
  };
  const std::vector<std::string> allReleases = Releases(kLookupOfB);
  for (EndpointStep step : steps) {
    for (platform::HResult result : {platform::kE_FAIL, platform::kS_FALSE}) {
      SCOPED_TRACE(std::string(fakes::StepName(step)) + " " + std::to_string(result));
      FakeEndpointCatalogue catalogue({{u"a", u"Alpha"}, {u"b", u"Beta"}});
      catalogue.SetDefault(u"a");
      catalogue.Fail(step, {}, result);
      std::u16string id(256, u'#');
      std::u16string name(256, u'#');
      std::uint8_t isDefault = 7;
      EXPECT_EQ(GetRenderEndpointInfo(1, &id[0], &name[0], &isDefault), -1);
      EXPECT_EQ(id, std::u16string(256, u'#'));
      EXPECT_EQ(name, std::u16string(256, u'#'));
      EXPECT_EQ(isDefault, 7);
      EXPECT_EQ(catalogue.held(), 0);

      // What was released came in the order of the full lookup's releases.
      const std::vector<std::string> releases = Releases(catalogue.log());
      auto next = allReleases.begin();
      for (const std::string& release : releases) {
        next = std::find(next, allReleases.end(), release);
        ASSERT_NE(next, allReleases.end()) << release << " out of order in\n" << ::testing::PrintToString(releases);
        ++next;
      }
    }
  }
}

TEST(GetRenderEndpointInfo, ReadsTheDefaultFlag) {
  const struct {
    const char* what;
    std::u16string defaultId;
    EndpointStep failing;
    std::uint8_t expected;
  } cases[] = {
      {"the default", u"b", EndpointStep::CreateEnumerator, 1},
      {"another is the default", u"a", EndpointStep::CreateEnumerator, 0},
      {"no default endpoint", u"", EndpointStep::CreateEnumerator, 0},
      {"default cannot be had", u"b", EndpointStep::GetDefaultAudioEndpoint, 0},
      {"default's ID cannot be had", u"b", EndpointStep::DefaultGetId, 0},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    FakeEndpointCatalogue catalogue({{u"a", u"Alpha"}, {u"b", u"Beta"}});
    catalogue.SetDefault(test.defaultId);
    if (test.failing != EndpointStep::CreateEnumerator) catalogue.Fail(test.failing);
    char16_t id[256];
    char16_t name[256];
    std::uint8_t isDefault = 7;
    ASSERT_EQ(GetRenderEndpointInfo(1, id, name, &isDefault), 0);
    EXPECT_EQ(isDefault, test.expected);
    EXPECT_EQ(catalogue.held(), 0);
  }
}

TEST(GetRenderEndpointInfo, AnIndexOutsideTheCollectionFails) {
  FakeEndpointCatalogue catalogue(std::vector<FakeEndpoint>{{u"a", u"Alpha"}});
  char16_t id[256];
  char16_t name[256];
  std::uint8_t isDefault = 0;
  for (int index : {1, 2, -1}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(GetRenderEndpointInfo(index, id, name, &isDefault), -1);
  }
  EXPECT_EQ(catalogue.held(), 0);
}

TEST(SelectedEndpointId, IsNullWithoutASelectionOrABuffer) {
  MemoryListControl list;
  EXPECT_EQ(SelectedEndpointId(list), nullptr) << "empty list";
  list.AddString(u"No buffer");
  list.SetCurSel(0);
  EXPECT_EQ(SelectedEndpointId(list), nullptr) << "entry without item data";
  char16_t buffer[] = u"{id}";
  list.SetItemData(list.AddString(u"With buffer"), reinterpret_cast<std::intptr_t>(buffer));
  list.SetCurSel(-1);
  EXPECT_EQ(SelectedEndpointId(list), nullptr) << "no selection";
  list.SetCurSel(1);
  EXPECT_EQ(SelectedEndpointId(list), buffer);
}

}  // namespace
