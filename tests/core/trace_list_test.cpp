// The view's list of traces: rows in display order with the channel's name,
// search condition and role; moving rows, the copy with some channels first,
// and the conversions to and from the tables the files keep.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "core/capture_view.h"
#include "core/trace_list.h"

namespace korvalog {
namespace {

std::vector<int> Rows(const TraceList& t, int n) {
  std::vector<int> out;
  for (int r = 1; r <= n; ++r) out.push_back(t.ChannelAt(r));
  return out;
}

// Row and channel agree both ways, for every row.
void ExpectIndexed(const TraceList& t) {
  for (int r = 1; r <= kChannelCount; ++r) ASSERT_EQ(t.RowOf(t.ChannelAt(r)), r) << r;
}

TEST(TraceList, StartsInChannelOrderWithPlainNames) {
  const TraceList t;
  for (int r = 1; r <= kChannelCount; ++r) {
    const Trace trace = t.At(r);
    EXPECT_EQ(trace.channel, r);
    EXPECT_EQ(trace.name, "#" + std::to_string(r));
    EXPECT_EQ(trace.search, kSearchIgnore);
    EXPECT_EQ(trace.role.role, ChannelRole::None);
  }
  for (int outside : {-1, 0, kChannelCount + 1, 255}) {
    EXPECT_EQ(t.ChannelAt(outside), 0);
    EXPECT_EQ(t.RowOf(outside), 0);
    EXPECT_EQ(t.At(outside).channel, 0);
  }
}

TEST(TraceList, MovesRowsLikeTheGridDoes) {
  struct Case {
    int from, to;
    bool moved;
    std::vector<int> top5;
  } cases[] = {
      {5, 1, true, {5, 1, 2, 3, 4}},
      {1, 5, true, {2, 3, 4, 5, 1}},
      {3, 3, false, {1, 2, 3, 4, 5}},
      {0, 2, false, {1, 2, 3, 4, 5}},
      {2, 129, false, {1, 2, 3, 4, 5}},
      {128, 2, true, {1, 128, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
    TraceList t;
    t.SetName(5, "Door");
    EXPECT_EQ(t.MoveRow(c.from, c.to), c.moved);
    EXPECT_EQ(Rows(t, 5), c.top5);
    EXPECT_EQ(t.At(t.RowOf(5)).name, "Door");  // the name follows its channel
    ExpectIndexed(t);
  }
}

TEST(TraceList, WithFirstPutsChannelsOnTopInTheListsOrderAndLeavesItAlone) {
  TraceList window;
  window.MoveRow(40, 1);  // 40, 1, 2, ...
  window.SetName(40, "Hall call");
  const TraceList before = window;
  struct Case {
    std::vector<int> channels;
    std::vector<int> top4;
  } cases[] = {
      {{}, {40, 1, 2, 3}},
      {{3}, {3, 40, 1, 2}},
      {{3, 40}, {40, 3, 1, 2}},  // the window's order, not the request's
      {{7, 7, 2}, {2, 7, 40, 1}},
      {{0, 200, 9}, {9, 40, 1, 2}},  // no such channel: passed over
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channels.size());
    const TraceList picture = window.WithFirst(c.channels);
    EXPECT_EQ(Rows(picture, 4), c.top4);
    EXPECT_EQ(picture.Name(40), "Hall call");
    ExpectIndexed(picture);
    EXPECT_TRUE(window == before);
  }
}

TEST(TraceList, OrderFromAFileMustBeAPermutation) {
  DisplayOrder reversed;
  for (int i = 0; i < kChannelCount; ++i) reversed[i] = static_cast<uint8_t>(kChannelCount - i);
  DisplayOrder repeated = reversed;
  repeated[5] = repeated[6];
  DisplayOrder zero = reversed;
  zero[0] = 0;
  DisplayOrder high = reversed;
  high[0] = 129;
  struct Case {
    const DisplayOrder* order;
    bool taken;
  } cases[] = {{&reversed, true}, {&repeated, false}, {&zero, false}, {&high, false}};
  for (const Case& c : cases) {
    TraceList t;
    t.MoveRow(3, 1);
    const DisplayOrder was = t.Order();
    EXPECT_EQ(t.SetOrder(*c.order), c.taken);
    EXPECT_EQ(t.Order(), c.taken ? *c.order : was);
    ExpectIndexed(t);
  }
  TraceList t;
  t.SetOrder(reversed);
  t.ResetOrder();
  EXPECT_EQ(Rows(t, 3), (std::vector<int>{1, 2, 3}));
}

TEST(TraceList, TableKeepsTheStoredBytes) {
  ChannelTable table{};
  ResetChannelTable(table);
  // Bytes past the name's length, as an older writer may have left them.
  SetChannelName(table[9], "Car");
  table[9].nameChars[10] = 'x';
  table[9].SearchCondition = kSearchLow;
  table[10].SearchCondition = 7;  // not a condition the grid cycles
  TraceList t;
  t.SetTable(table);
  EXPECT_EQ(std::memcmp(t.Table().data(), table.data(), sizeof table), 0);
  EXPECT_EQ(t.Name(10), "Car");
  EXPECT_EQ(t.Search(10), kSearchLow);
  EXPECT_EQ(t.SearchConditions()[10], 7);
  ChannelRecord rec = t.Record(10);
  rec.SearchCondition = kSearchHigh;
  t.SetRecord(10, rec);
  EXPECT_EQ(t.Search(10), kSearchHigh);
}

TEST(TraceList, NamesAreCutAndRolesKept) {
  TraceList t;
  t.SetName(1, std::string(40, 'a'));
  EXPECT_EQ(t.Name(1), std::string(kChannelNameMax, 'a'));
  t.Roles().Set(3, ChannelRole::HallUp, 2);
  EXPECT_EQ(t.Role(3), (ChannelRoleEntry{ChannelRole::HallUp, 2}));
  EXPECT_EQ(t.At(3).role.floor, 2);
  TraceList other = t;
  EXPECT_TRUE(other == t);
  other.SetSearch(128, kSearchHigh);
  EXPECT_FALSE(other == t);
  t.Reset();
  EXPECT_EQ(t.Name(1), "#1");
  EXPECT_FALSE(t.Roles().Any());
}

TEST(CaptureView, ResetGoesBackToProgramStart) {
  CaptureView v;
  v.Traces.MoveRow(2, 1);
  v.Sequence[0] = SequenceRow{3, 1, 0, 5};
  v.Markers.Add(45658.5, "door");
  v.Reset();
  EXPECT_TRUE(v.Traces == TraceList());
  EXPECT_EQ(v.Sequence[0].signal, 0);
  EXPECT_TRUE(v.Markers.Empty());
}

}  // namespace
}  // namespace korvalog
