#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory_list_control.h"
#include "tests/unit/list_control_cases.h"

namespace {

using list_cases::NamedFactory;
using platform::ListControl;

std::string Narrow(const std::u16string& text) {
  std::string narrow;
  for (char16_t unit : text) narrow.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  return narrow;
}

std::vector<std::string> Texts(const NamedFactory& factory, ListControl& list) {
  std::vector<std::string> texts;
  for (int position = 0; position < list.GetCount(); ++position) texts.push_back(Narrow(factory.text(list, position)));
  return texts;
}

}  // namespace

namespace list_cases {
void PrintTo(const NamedFactory& factory, std::ostream* out) { *out << factory.name; }
}  // namespace list_cases

namespace {

class ListControlContract : public ::testing::TestWithParam<NamedFactory> {};

struct InsertCase {
  const char* what;
  std::vector<std::u16string> added;
  std::vector<int> positions;
  std::vector<std::string> order;
};

const std::vector<InsertCase> kInsertCases = {
    {"ascending", {u"a", u"b", u"c"}, {0, 1, 2}, {"a", "b", "c"}},
    {"descending", {u"c", u"b", u"a"}, {0, 0, 0}, {"a", "b", "c"}},
    {"letter case ignored", {u"b", u"A", u"C", u"d"}, {0, 0, 2, 3}, {"A", "b", "C", "d"}},
    {"endpoint names",
     {u"Speakers", u"headphones", u"HDMI Output", u"Tallowmere Virtual Audio Device", u"monitor"},
     {0, 0, 0, 3, 2},
     {"HDMI Output", "headphones", "monitor", "Speakers", "Tallowmere Virtual Audio Device"}},
    {"a prefix sorts first", {u"Speakers (2)", u"Speakers"}, {0, 0}, {"Speakers", "Speakers (2)"}},
};

TEST_P(ListControlContract, InsertsSortedAndReportsThePosition) {
  for (const InsertCase& test : kInsertCases) {
    SCOPED_TRACE(test.what);
    auto list = GetParam().make();
    std::vector<int> positions;
    for (const std::u16string& text : test.added) positions.push_back(list->AddString(text.c_str()));
    EXPECT_EQ(positions, test.positions);
    EXPECT_EQ(Texts(GetParam(), *list), test.order);
  }
}

TEST_P(ListControlContract, ItemDataAndSelectionMoveWithTheirEntry) {
  auto list = GetParam().make();
  list->SetItemData(list->AddString(u"Monitor"), 1);
  list->SetCurSel(0);
  list->SetItemData(list->AddString(u"Speakers"), 2);
  list->SetItemData(list->AddString(u"Analog"), 3);
  list->SetItemData(list->AddString(u"headphones"), 4);

  EXPECT_EQ(Texts(GetParam(), *list), (std::vector<std::string>{"Analog", "headphones", "Monitor", "Speakers"}));
  EXPECT_EQ(list->GetCurSel(), 2);
  const std::vector<std::intptr_t> expected = {3, 4, 1, 2};
  for (int position = 0; position < 4; ++position) EXPECT_EQ(list->GetItemData(position), expected[position]);
}

TEST_P(ListControlContract, EqualTextsAreBothKeptWithTheirOwnItemData) {
  auto list = GetParam().make();
  const int first = list->AddString(u"Speakers");
  list->SetItemData(first, 11);
  const int second = list->AddString(u"Speakers");
  list->SetItemData(second, 22);
  ASSERT_EQ(list->GetCount(), 2);
  EXPECT_NE(list->GetItemData(0), list->GetItemData(1));
  EXPECT_EQ(list->GetItemData(0) + list->GetItemData(1), 33);
}

TEST_P(ListControlContract, ReportsEmptinessAndOutOfRangeAsErrors) {
  auto list = GetParam().make();
  EXPECT_EQ(list->GetCount(), 0);
  EXPECT_EQ(list->GetCurSel(), platform::kListError);
  EXPECT_EQ(list->GetItemData(0), platform::kListError);

  list->AddString(u"Only");
  EXPECT_EQ(list->GetItemData(0), 0) << "a new entry has no item data";
  EXPECT_EQ(list->GetItemData(1), platform::kListError);
  EXPECT_EQ(list->GetItemData(-1), platform::kListError);

  list->SetCurSel(0);
  EXPECT_EQ(list->GetCurSel(), 0);
  list->SetCurSel(-1);
  EXPECT_EQ(list->GetCurSel(), platform::kListError) << "-1 clears the selection";
}

TEST_P(ListControlContract, KeepsPointerSizedItemData) {
  auto list = GetParam().make();
  int anything = 0;
  const auto address = reinterpret_cast<std::intptr_t>(&anything);
  list->SetItemData(list->AddString(u"Entry"), address);
  EXPECT_EQ(list->GetItemData(0), address);
}

INSTANTIATE_TEST_SUITE_P(Each, ListControlContract, ::testing::ValuesIn(list_cases::ListControlsUnderTest()),
                         [](const ::testing::TestParamInfo<NamedFactory>& info) { return info.param.name; });

TEST(MemoryListControl, RefusesEntriesBeyondItsCapacity) {
  platform::MemoryListControl list(2);
  EXPECT_EQ(list.AddString(u"b"), 0);
  list.SetCurSel(0);
  EXPECT_EQ(list.AddString(u"c"), 1);
  EXPECT_EQ(list.AddString(u"a"), platform::kListErrorSpace);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetCurSel(), 0) << "a refused entry moves nothing";
  EXPECT_EQ(list.AddString(nullptr), platform::kListError);
}

// As Windows documents it; Wine's combo box keeps the selection instead, and
// nothing here selects outside a list.
TEST(MemoryListControl, SelectingOutsideTheListClearsTheSelection) {
  platform::MemoryListControl list;
  list.AddString(u"Only");
  list.SetCurSel(0);
  list.SetCurSel(1);
  EXPECT_EQ(list.GetCurSel(), platform::kListError);
}

}  // namespace
