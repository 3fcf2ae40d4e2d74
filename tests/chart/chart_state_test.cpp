// The chart state: handle limits, the zoom commands and their history, the
// layout that follows the grid's columns, the notifications, and the grid's
// edits.
#include <gtest/gtest.h>

#include <string>

#include "chart/chart_state.h"
#include "chart/grid_edits.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

using Widths = std::array<int, kGridColumns>;
constexpr Widths kDesign{23, 66, 20, 20, 408};
constexpr int kStrip = 6 + 23 + 66 + 20 + 20;  // 135: strip and waveform column start

// A 1000 s capture with an edge on channel 1 every 10 s, laid out at the
// design widths.
struct Chart {
  CaptureBuilder b;
  ChartState s{b.data, b.view};
  explicit Chart(bool withData = true) {
    if (withData) {
      for (int i = 1; i < 100; ++i) b.Event(10.0 * i, 1, i % 2);
      b.Finish(1000);
      s.DataLoaded();
    }
    s.LayoutChart(0, kDesign);
    s.UpdateZoomButtons();
  }
  void Release(SelectionHandle h, int x) { s.SelectionHandleChanged(h, x); }
};

TEST(ChartState, LayoutPlacesStripHandlesAndCursors) {
  Chart c;
  const ChartState& s = c.s;
  EXPECT_EQ(s.StripLeft, kStrip);
  EXPECT_EQ(s.ZoomLeft, kStrip);
  EXPECT_EQ(s.WaveWidth, 408);
  EXPECT_EQ(s.ZoomWidth, 408);
  EXPECT_EQ(s.LabelLeft, kStrip - s.LabelWidth);
  // The handles stop one pixel short of each other; the right one reaches
  // the strip's right end, the left one its left edge.
  EXPECT_EQ((std::array{s.LeftHandle.PosX, s.LeftHandle.MinX, s.LeftHandle.MaxX}),
            (std::array{kStrip, kStrip, kStrip + 407}));
  EXPECT_EQ((std::array{s.RightHandle.PosX, s.RightHandle.MinX, s.RightHandle.MaxX}),
            (std::array{kStrip + 408, kStrip + 1, kStrip + 408}));
  EXPECT_EQ((std::array{s.Cursor1.PosX, s.Cursor1.MinX, s.Cursor1.MaxX}),
            (std::array{kStrip + 10, kStrip + 10, kStrip + 398}));
  EXPECT_EQ(s.Cursor2.PosX, kStrip + 20);
  // Moving the left handle moves the right one's lower limit.
  c.Release(SelectionHandle::Left, kStrip + 100);
  EXPECT_EQ(c.s.RightHandle.MinX, kStrip + 101);
}

TEST(ChartState, RightHandleAtTheEndGivesTheZoomEndExactly) {
  Chart c;
  c.Release(SelectionHandle::Left, kStrip + 102);  // 250 s
  c.Release(SelectionHandle::Right, kStrip + 408);
  EXPECT_EQ(c.s.SelectionEnd.time, c.s.ZoomEnd.time);
  EXPECT_EQ(c.s.SelectionEnd.index, c.s.ZoomEnd.index);
  EXPECT_EQ(c.s.SelectionStart.time, At(250));
  EXPECT_EQ(c.s.SelectionStart.index, 24u);  // events at 10..240 s lie before it
  EXPECT_EQ(c.s.SelectionStart.states[0], 0);
  EXPECT_TRUE(c.s.ZoomWinEnabled);
  EXPECT_TRUE(c.s.ZoomPrevEnabled);
}

TEST(ChartState, SeventeenZoomInsAndSixteenPreviousZooms) {
  Chart c;
  std::vector<std::pair<double, double>> windows;
  for (int i = 0; i < 17; ++i) {
    windows.emplace_back(c.s.ZoomStart.time, c.s.ZoomEnd.time);
    c.Release(SelectionHandle::Left, kStrip + 10);
    c.s.bZoomWinClick();
    EXPECT_EQ(c.s.WaveWidth, 0);  // redrawn by the next layout
    c.s.LayoutChart(0, kDesign);
  }
  EXPECT_EQ(c.s.HistoryDepth, 16);
  for (int i = 15; i >= 0; --i) {
    c.s.bZoomPrevClick();
    EXPECT_EQ(c.s.ZoomStart.time, windows[i].first) << i;
    EXPECT_EQ(c.s.ZoomEnd.time, windows[i].second) << i;
    // The selection in force when that zoom was made comes back.
    EXPECT_EQ(c.s.LeftHandle.PosX, kStrip + 10);
    EXPECT_EQ(c.s.SelectionStart.time, c.s.StripXToTime(kStrip + 10));
  }
  EXPECT_EQ(c.s.ZoomStart.time, c.b.data.CaptureStart.time);
  // The 17th press only resets the selection.
  c.s.bZoomPrevClick();
  EXPECT_EQ(c.s.ZoomStart.time, c.b.data.CaptureStart.time);
  EXPECT_EQ(c.s.SelectionStart.time, c.s.ZoomStart.time);
  EXPECT_EQ(c.s.LeftHandle.PosX, kStrip);
  EXPECT_FALSE(c.s.ZoomWinEnabled);
  EXPECT_FALSE(c.s.ZoomPrevEnabled);
}

TEST(ChartState, ZoomAllEmptiesTheHistoryAndDoubleClickKeepsIt) {
  Chart c;
  c.Release(SelectionHandle::Left, kStrip + 50);
  c.s.bZoomWinClick();
  c.s.LayoutChart(0, kDesign);
  c.Release(SelectionHandle::Right, kStrip + 300);
  c.s.pbZoomDblClick();
  EXPECT_EQ(c.s.HistoryDepth, 1);
  EXPECT_EQ(c.s.SelectionEnd.time, c.s.ZoomEnd.time);
  EXPECT_EQ(c.s.RightHandle.PosX, kStrip + 408);

  c.s.bZoomAllClick();
  EXPECT_EQ(c.s.HistoryDepth, 0);
  EXPECT_EQ(c.s.WaveWidth, 0);
  c.s.LayoutChart(0, kDesign);
  c.s.bZoomPrevClick();  // only resets the selection
  EXPECT_EQ(c.s.ZoomStart.time, c.b.data.CaptureStart.time);
  EXPECT_EQ(c.s.ZoomEnd.time, c.b.data.CaptureEnd.time);
}

TEST(ChartState, NameColumnShiftsAndWaveColumnResets) {
  Chart c;
  c.Release(SelectionHandle::Left, kStrip + 40);
  c.Release(SelectionHandle::Right, kStrip + 200);
  c.s.CursorMoved(MeasuringCursor::First, kStrip + 300);
  const PositionSnapshot start = c.s.SelectionStart, end = c.s.SelectionEnd;
  const uint32_t passes = c.s.WaveformVersion();
  Widths wider = kDesign;
  wider[1] += 30;
  c.s.LayoutChart(0, wider);
  EXPECT_EQ(c.s.StripLeft, kStrip + 30);
  EXPECT_EQ(c.s.ZoomLeft, kStrip + 30);
  EXPECT_EQ(c.s.LabelLeft, kStrip + 30 - c.s.LabelWidth);
  EXPECT_EQ((std::array{c.s.LeftHandle.PosX, c.s.LeftHandle.MinX, c.s.LeftHandle.MaxX}),
            (std::array{kStrip + 70, kStrip + 30, kStrip + 229}));
  EXPECT_EQ(c.s.RightHandle.PosX, kStrip + 230);
  EXPECT_EQ(c.s.Cursor1.PosX, kStrip + 330);
  EXPECT_EQ(c.s.SelectionStart.time, start.time);
  EXPECT_EQ(c.s.SelectionEnd.time, end.time);
  EXPECT_EQ(c.s.WaveformVersion(), passes);  // nothing redrawn

  wider[4] += 100;
  c.s.LayoutChart(0, wider);
  EXPECT_EQ(c.s.WaveWidth, 508);
  EXPECT_EQ(c.s.SelectionStart.time, c.s.ZoomStart.time);
  EXPECT_EQ(c.s.SelectionEnd.time, c.s.ZoomEnd.time);
  EXPECT_EQ(c.s.Cursor1.PosX, kStrip + 30 + 10);
  EXPECT_EQ(c.s.Cursor2.PosX, kStrip + 30 + 20);
  EXPECT_EQ(c.s.RightHandle.PosX, kStrip + 30 + 508);
  EXPECT_GT(c.s.WaveformVersion(), passes);
}

TEST(ChartState, WithoutDataEveryZoomButtonIsDisabled) {
  Chart c(false);
  EXPECT_FALSE(c.s.ZoomWinEnabled || c.s.ZoomPrevEnabled || c.s.ZoomAllEnabled);
  c.Release(SelectionHandle::Left, kStrip + 50);
  EXPECT_FALSE(c.s.ZoomWinEnabled || c.s.ZoomPrevEnabled || c.s.ZoomAllEnabled);
  EXPECT_FALSE(c.s.ShowsTimes());
}

TEST(ChartState, DraggingReadsNoEventsReleasingDoes) {
  Chart c;
  const uint64_t before = c.s.EventsRead();
  for (int x = kStrip; x < kStrip + 200; x += 7) c.s.SelectionHandleMoving(SelectionHandle::Left, x);
  for (int x = kStrip + 10; x < kStrip + 300; x += 7) c.s.CursorMoved(MeasuringCursor::Second, x);
  EXPECT_EQ(c.s.EventsRead(), before);
  EXPECT_EQ(c.s.SelectionStart.time, c.s.ZoomStart.time);  // the selection changes on release
  c.Release(SelectionHandle::Left, kStrip + 200);
  EXPECT_GT(c.s.EventsRead(), before);
}

TEST(ChartState, CursorsMayPassEachOther) {
  Chart c;
  c.s.CursorMoved(MeasuringCursor::First, kStrip + 300);
  c.s.CursorMoved(MeasuringCursor::Second, kStrip + 100);
  EXPECT_GT(c.s.CursorTime(MeasuringCursor::First), c.s.CursorTime(MeasuringCursor::Second));
  EXPECT_EQ(c.s.Cursor1.MinX, kStrip + 10);  // independent limits
  EXPECT_EQ(c.s.Cursor2.MaxX, kStrip + 398);
}

TEST(ChartState, ZeroLengthWindowComputesWithoutFailing) {
  CaptureBuilder b(5);
  b.Event(5, 3, 1).Event(5, 3, 0).Finish(5);  // start and end at the same time
  ChartState s(b.data, b.view);
  s.DataLoaded();
  s.LayoutChart(0, kDesign);
  s.SelectionHandleChanged(SelectionHandle::Left, kStrip + 100);
  s.SelectionHandleChanged(SelectionHandle::Right, kStrip + 200);
  s.bZoomWinClick();
  s.LayoutChart(0, kDesign);
  s.bZoomPrevClick();
  EXPECT_EQ(s.SelectionStart.time, b.data.CaptureStart.time);
  EXPECT_EQ(s.CursorTime(MeasuringCursor::First), b.data.CaptureStart.time);
  EXPECT_EQ(s.Strip().searchTrace.size(), 1u);
}

TEST(ChartState, CaptureNotificationsSetTheWindow) {
  CaptureBuilder b;
  ChartState s(b.data, b.view);
  s.LayoutChart(0, kDesign);
  b.data.CaptureStart.time = At(7);
  s.CaptureStarted();
  EXPECT_EQ(s.ZoomStart.time, At(7));
  EXPECT_EQ(s.SelectionStart.time, At(7));
  EXPECT_EQ(s.WaveWidth, 0);
  s.LayoutChart(0, kDesign);
  b.Event(8, 2, 1).Finish(20);
  s.bZoomWinClick();  // a history entry, dropped when the capture stops
  s.CaptureStopped();
  EXPECT_EQ(s.HistoryDepth, 0);
  EXPECT_EQ(s.ZoomEnd.time, At(20));
  EXPECT_EQ(s.SelectionEnd.index, 1u);
  EXPECT_EQ(s.WaveWidth, 0);
}

TEST(GridEdits, RowMovesNamesAndSearchCycle) {
  CaptureBuilder b;
  // Row 5 to row 2: rows 2..4 move down one; row 0 is not a row to move.
  EXPECT_TRUE(MoveDisplayRow(b.data, b.view.Traces, 5, 2));
  EXPECT_EQ((std::vector<int>(b.view.Traces.Order().begin(), b.view.Traces.Order().begin() + 6)), (std::vector<int>{1, 5, 2, 3, 4, 6}));
  EXPECT_TRUE(MoveDisplayRow(b.data, b.view.Traces, 2, 5));
  EXPECT_EQ(b.view.Traces.Order()[1], 2);
  EXPECT_EQ(b.view.Traces.Order()[4], 5);
  EXPECT_FALSE(MoveDisplayRow(b.data, b.view.Traces, 0, 3));
  EXPECT_EQ(b.data.DataModified.load(), 0);  // no events: nothing to lose

  const std::string forty(40, 'n');
  SetChannelNameFromEdit(b.data, b.view.Traces, 3, forty);
  EXPECT_EQ(b.view.Traces.Name(3), forty.substr(0, 32));
  EXPECT_EQ(b.data.DataModified.load(), 0);
  b.Event(1, 1, 1);
  SetChannelNameFromEdit(b.data, b.view.Traces, 3, "Door");
  EXPECT_EQ(b.data.DataModified.load(), 1);

  ChartState s(b.data, b.view);
  std::vector<int> cycle;
  for (int i = 0; i < 4; ++i) {
    s.StripMode = kStripSequence;
    EXPECT_TRUE(s.GridKeyPress(3, 7));
    EXPECT_EQ(s.StripMode, kStripSearch);
    cycle.push_back(b.view.Traces.Search(7));
  }
  EXPECT_EQ(cycle, (std::vector<int>{1, 0, 2, 1}));
  EXPECT_FALSE(s.GridKeyPress(4, 7));
  b.view.Traces.SetSearch(2, kSearchLow);
  EXPECT_TRUE(s.GridDoubleClick(4, 7));
  for (int ch = 1; ch <= kChannelCount; ++ch)
    EXPECT_EQ(b.view.Traces.Search(ch), ch == 7 ? kSearchHigh : kSearchIgnore);
  EXPECT_FALSE(s.GridDoubleClick(2, 7));
  EXPECT_FALSE(s.GridDoubleClick(3, 0));
}

}  // namespace
}  // namespace korvalog
