// This build's own catalogue and wave-out queries, as the native window meets
// them: one default output, which is wave-out device 0.
#include <gtest/gtest.h>

#include "endpoints/endpoint_catalogue.h"
#include "endpoints/wave_out_index.h"
#include "platform/memory_list_control.h"

namespace {

TEST(PosixEndpoints, ListTheDefaultOutputSelectedAndResolveItToDeviceZero) {
  platform::MemoryListControl virtualList;
  platform::MemoryListControl playback;
  FillDeviceLists(virtualList, playback);

  EXPECT_EQ(virtualList.GetCount(), 0);
  ASSERT_EQ(playback.GetCount(), 1);
  EXPECT_EQ(playback.Text(0), u"Default output");
  ASSERT_EQ(playback.GetCurSel(), 0);
  EXPECT_EQ(FindWaveOutIndex(SelectedEndpointId(playback)), 0);
  EXPECT_EQ(FindWaveOutIndex(u"{0.0.0.00000000}.{someone-else}"), -1);

  FreeDeviceListData(virtualList, playback);
}

}  // namespace
