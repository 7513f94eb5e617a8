#include "endpoints/wave_out_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "endpoints/endpoint_catalogue.h"
#include "platform/memory_list_control.h"
#include "tests/fakes/fake_wave_out_devices.h"

namespace {

using fakes::FakeWaveOutDevice;
using fakes::FakeWaveOutDevices;
using platform::kMmSysErrBadDeviceId;
using platform::kMmSysErrNotSupported;

const std::u16string kWanted = u"{0.0.0.00000000}.{5a1f3c-wanted}";

struct IndexCase {
  const char* what;
  std::vector<FakeWaveOutDevice> devices;
  int expected;
};

FakeWaveOutDevice Device(std::u16string id) {
  FakeWaveOutDevice device;
  device.id = std::move(id);
  return device;
}

const std::vector<IndexCase> kIndexCases = {
    {"no devices", {}, -1},
    {"the only device", {Device(kWanted)}, 0},
    {"two devices report the same ID: the lower number", {Device(u"{other}"), Device(kWanted), Device(kWanted)}, 1},
    {"letter case differs only", {Device(u"{other}"), Device(u"{0.0.0.00000000}.{5A1F3C-WANTED}")}, 1},
    {"a device whose size query fails sits before the match",
     {{kWanted, kMmSysErrNotSupported, 0, {}}, Device(kWanted)},
     1},
    {"a device whose ID query fails sits before the match",
     {{kWanted, 0, kMmSysErrBadDeviceId, {}}, Device(u"{other}"), Device(kWanted)},
     2},
    {"no device reports the ID", {Device(u"{one}"), Device(u"{two}")}, -1},
    {"an ID that only begins like it", {Device(kWanted + u"-longer")}, -1},
    {"an ID that is a part of it", {Device(kWanted.substr(0, 10))}, -1},
    {"a size reported without the terminator still reads as a whole string",
     {{kWanted, 0, 0, static_cast<std::uint32_t>(kWanted.size() * 2)}},
     0},
    {"a size that cuts the ID short", {{kWanted, 0, 0, 8}}, -1},
    // The last unit's high byte is not written, and is zero in an ASCII ID.
    {"an odd size one byte short", {{kWanted, 0, 0, static_cast<std::uint32_t>(kWanted.size() * 2 - 1)}}, 0},
    {"an empty ID", {{u"", 0, 0, 0}, Device(kWanted)}, 1},
};

TEST(FindWaveOutIndex, ReturnsTheLowestMatchingDeviceAndFreesEveryBlock) {
  for (const IndexCase& test : kIndexCases) {
    SCOPED_TRACE(test.what);
    FakeWaveOutDevices devices(test.devices);
    EXPECT_EQ(FindWaveOutIndex(kWanted.c_str()), test.expected);
    EXPECT_EQ(devices.liveBlocks(), 0);
    EXPECT_EQ(devices.badFrees(), 0);
    EXPECT_EQ(devices.badIdQueries(), 0) << "a block not zeroed, or the query not told the reported size";
  }
}

TEST(FindWaveOutIndex, NoDevicesMeansNoQuery) {
  FakeWaveOutDevices devices;
  EXPECT_EQ(FindWaveOutIndex(kWanted.c_str()), -1);
  EXPECT_EQ(devices.log(), std::vector<std::string>{"count"});
}

TEST(FindWaveOutIndex, AsksEachDeviceInTurnWithABlockTwoBytesLargerThanTheId) {
  const std::uint32_t idBytes = static_cast<std::uint32_t>((kWanted.size() + 1) * 2);
  FakeWaveOutDevices devices({{u"{x}", kMmSysErrNotSupported, 0, {}}, Device(u"{y}"), Device(kWanted)});
  EXPECT_EQ(FindWaveOutIndex(kWanted.c_str()), 2);
  EXPECT_EQ(devices.log(), (std::vector<std::string>{"count", "size 0", "size 1", "alloc 10", "id 1", "free", "size 2",
                                                     "alloc " + std::to_string(idBytes + 2), "id 2", "free"}));
}

TEST(FindWaveOutIndex, AnOddSizeGetsRoomForAWholeTerminatingUnit) {
  FakeWaveOutDevices devices({{kWanted, 0, 0, 7}});
  FindWaveOutIndex(kWanted.c_str());
  EXPECT_EQ(devices.log()[2], "alloc 10");
}

TEST(FindWaveOutIndex, ABlockThatCannotBeHadEndsTheSearch) {
  FakeWaveOutDevices devices({Device(u"{x}"), Device(kWanted), Device(kWanted)});
  devices.FailAllocation(2);
  EXPECT_EQ(FindWaveOutIndex(kWanted.c_str()), -1);
  EXPECT_EQ(devices.log(), (std::vector<std::string>{"count", "size 0", "alloc 10", "id 0", "free", "size 1",
                                                     "alloc " + std::to_string((kWanted.size() + 1) * 2 + 2)}));
  EXPECT_EQ(devices.liveBlocks(), 0);
}

TEST(FindWaveOutIndex, ASizeTooLargeForAnyBlockEndsTheSearch) {
  FakeWaveOutDevices devices({{kWanted, 0, 0, 0xFFFFFFFFu}, Device(kWanted)});
  // On 64-bit builds the size fits a size_t and the fake's allocation is
  // asked for; either way nothing is queried into a block too small.
  devices.FailAllocation(1);
  EXPECT_EQ(FindWaveOutIndex(kWanted.c_str()), -1);
  EXPECT_EQ(devices.badIdQueries(), 0);
  EXPECT_EQ(devices.liveBlocks(), 0);
}

TEST(FindWaveOutIndex, NoEndpointIdMeansNothingQueried) {
  FakeWaveOutDevices devices({Device(kWanted)});
  EXPECT_EQ(FindWaveOutIndex(nullptr), -1);
  EXPECT_TRUE(devices.log().empty());
}

TEST(FindWaveOutIndex, NoSelectionInThePlaybackListMeansNothingQueried) {
  FakeWaveOutDevices devices({Device(kWanted)});
  platform::MemoryListControl playback;
  std::u16string id = kWanted;
  playback.SetItemData(playback.AddString(u"Speakers"), reinterpret_cast<std::intptr_t>(&id[0]));
  playback.AddString(u"Headphones");

  EXPECT_EQ(FindWaveOutIndex(SelectedEndpointId(playback)), -1);
  EXPECT_TRUE(devices.log().empty());

  playback.SetCurSel(1);
  EXPECT_EQ(FindWaveOutIndex(SelectedEndpointId(playback)), 0);
}

}  // namespace
