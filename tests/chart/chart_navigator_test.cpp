// Navigation over a laid-out chart: zoom around a time, pan, the capture's
// ends, go to a time, next and previous change, match, violation and
// marker, drag panning, and the zoom history every step enters.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart/chart_navigator.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;
using testing::Seconds;

using Widths = std::array<int, kGridColumns>;
constexpr Widths kDesign{23, 66, 20, 20, 1000};
constexpr int kStrip = 6 + 23 + 66 + 20 + 20;

double Round(double seconds) { return std::round(seconds * 1000) / 1000; }

// A 1000 s capture: channel 1 changes every 10 s, channel 2 only at 999 s,
// channel 5 never; a search for channel 1 HIGH; a pattern channel 1 up then
// down within 3 s (so every pulse of 10 s is a violation).
struct Nav {
  CaptureBuilder b;
  ChartState s{b.data, b.view};
  ChartNavigator n{s};
  explicit Nav(bool withData = true) {
    if (withData) {
      for (int i = 1; i < 100; ++i) b.Event(10.0 * i, 1, i % 2);
      b.Event(999, 2, 1);
      b.Search(1, kSearchHigh);
      b.Row(1, 1, 1, 0, 3).Row(2, 1, 0);
      b.Finish(1000);
      s.DataLoaded();
    }
    s.LayoutChart(0, kDesign);
    s.UpdateZoomButtons();
  }
  std::pair<double, double> Shown() const {
    return {Round(Seconds(n.ShownStart() - At(0))), Round(Seconds(n.ShownEnd() - At(0)))};
  }
  double Cursor1() const { return Round(Seconds(s.CursorTime(MeasuringCursor::First) - At(0))); }
};

TEST(ChartNavigator, ZoomAroundKeepsThePointedTimeInPlace) {
  struct Case {
    std::vector<std::pair<double, double>> steps;  // (time in s, notches)
    std::pair<double, double> shown;
  };
  const Case cases[] = {
      {{{500, 1}}, {100, 900}},              // 0.8 around the middle
      {{{0, 1}}, {0, 800}},                  // around the start
      {{{1000, 2}}, {360, 1000}},
      {{{250, 1}, {250, -1}}, {0, 1000}},    // in and out again
      {{{500, -3}}, {0, 1000}},              // out of the capture: held to it
  };
  for (const Case& c : cases) {
    Nav nav;
    for (const auto& [t, notches] : c.steps) nav.n.ZoomAround(At(t), notches);
    EXPECT_EQ(nav.Shown(), c.shown) << c.steps.size() << " steps from " << c.steps.front().first;
    EXPECT_EQ(nav.s.ZoomStart.time, nav.s.SelectionStart.time);
    EXPECT_EQ(nav.s.ZoomEnd.time, nav.s.SelectionEnd.time);
  }
  Nav nav;
  nav.n.ZoomAround(At(500), 70);  // the narrowest window is 1 ms
  EXPECT_NEAR(Seconds(nav.n.ShownEnd() - nav.n.ShownStart()), 0.001, 1e-6);
  EXPECT_NEAR(Seconds(nav.n.ShownStart() - At(0)), 499.9995, 1e-6);
}

TEST(ChartNavigator, PanAndEnds) {
  struct Case {
    double zoomTo;  // window width after zooming in around 500 s
    std::vector<double> pans;
    std::pair<double, double> shown;
  };
  const Case cases[] = {
      {100, {0.1}, {460, 560}},     {100, {-0.1, -0.1}, {430, 530}},
      {100, {100}, {900, 1000}},    {100, {-100}, {0, 100}},
      {1000, {0.1}, {0, 1000}},     // the whole capture cannot pan
  };
  for (const Case& c : cases) {
    Nav nav;
    nav.n.ShowWindow(At(500 - c.zoomTo / 2), At(500 + c.zoomTo / 2));
    for (double f : c.pans) nav.n.Pan(f);
    EXPECT_EQ(nav.Shown(), c.shown) << c.zoomTo << " " << c.pans.front();
  }
  Nav nav;
  nav.n.ShowWindow(At(400), At(500));
  EXPECT_TRUE(nav.n.ToCaptureEnd());
  EXPECT_EQ(nav.Shown(), (std::pair<double, double>{900, 1000}));
  EXPECT_EQ(nav.s.ZoomEnd.index, nav.b.data.CaptureEnd.index);
  EXPECT_TRUE(nav.n.ToCaptureStart());
  EXPECT_EQ(nav.Shown(), (std::pair<double, double>{0, 100}));
  EXPECT_FALSE(nav.n.ToCaptureStart());  // already there: nothing changes
}

TEST(ChartNavigator, EveryStepEntersTheHistoryAndPreviousZoomUndoesIt) {
  Nav nav;
  nav.n.ZoomAround(At(500), 1);
  nav.n.Pan(0.1);
  nav.n.ZoomAround(At(600), 2);
  EXPECT_EQ(nav.s.HistoryDepth, 3);
  const std::pair<double, double> back[] = {{180, 980}, {100, 900}, {0, 1000}};
  for (const auto& shown : back) {
    nav.s.bZoomPrevClick();
    EXPECT_EQ(nav.Shown(), shown);
  }
  EXPECT_EQ(nav.s.HistoryDepth, 0);
  // 18 steps: the history keeps 16.
  nav.n.ZoomCentre(1);
  for (int i = 0; i < 17; ++i) nav.n.Pan(i % 2 == 0 ? 0.1 : -0.05);
  EXPECT_EQ(nav.s.HistoryDepth, kZoomHistoryDepth);
}

TEST(ChartNavigator, SnapshotsMadeByStepsHoldTheLevels) {
  Nav nav;
  nav.n.ShowWindow(At(15), At(35));
  EXPECT_EQ(nav.s.ZoomStart.index, 1u);  // the event at 10 s lies before
  EXPECT_EQ(nav.s.ZoomStart.states[0], 1);
  EXPECT_EQ(nav.s.ZoomEnd.index, 3u);
  EXPECT_EQ(nav.s.ZoomEnd.states[0], 1);
  EXPECT_TRUE(nav.s.ZoomWinEnabled == false);
  EXPECT_TRUE(nav.s.ZoomPrevEnabled);
}

TEST(ChartNavigator, GoToCentresAndPlacesCursorOneExactly) {
  Nav nav;
  nav.n.ShowWindow(At(0), At(100));
  struct Case {
    double t;
    bool ok;
    std::pair<double, double> shown;
  };
  // Half a second before the end the cursor (10 px in) can reach the time
  // only in a narrower window.
  const Case cases[] = {{500.123, true, {450.123, 550.123}}, {20, true, {0, 100}}, {999.5, true, {999, 1000}},
                        {1000.5, false, {999, 1000}}, {-1, false, {999, 1000}},
                        // On the start itself: the narrowest window, the cursor on the start.
                        {0, true, {0, 0.001}}};
  for (const Case& c : cases) {
    EXPECT_EQ(nav.n.GoTo(At(c.t)), c.ok) << c.t;
    EXPECT_EQ(nav.Shown(), c.shown) << c.t;
    if (c.ok) {
      EXPECT_EQ(nav.Cursor1(), c.t);
    }
  }
}

TEST(ChartNavigator, NextAndPreviousEdgeOfAChannel) {
  Nav nav;
  nav.n.ShowWindow(At(0), At(100));
  // From the cursor's first place (10 px in: 1 s), on channel 1.
  std::vector<double> seen;
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(nav.n.StepEdge(1, true));
    seen.push_back(nav.Cursor1());
  }
  EXPECT_EQ(seen, (std::vector<double>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}));
  // 100 s lay beyond cursor 1's reach (10 px from the end): centred.
  EXPECT_EQ(nav.Shown(), (std::pair<double, double>{50, 150}));
  ASSERT_TRUE(nav.n.StepEdge(1, false));
  EXPECT_EQ(nav.Cursor1(), 110);
  // Channel 2's only change is the last event; channel 5 has none.
  EXPECT_TRUE(nav.n.StepEdge(2, true));
  EXPECT_EQ(nav.Shown(), (std::pair<double, double>{900, 1000}));
  EXPECT_FALSE(nav.n.StepEdge(2, true));
  EXPECT_FALSE(nav.n.StepEdge(5, true));
  EXPECT_FALSE(nav.n.StepEdge(5, false));
  EXPECT_TRUE(nav.n.StepEdge(1, false));
  EXPECT_EQ(nav.Cursor1(), 990);
}

TEST(ChartNavigator, MatchesViolationsAndMarkers) {
  Nav nav;
  nav.n.ShowWindow(At(0), At(100));
  ASSERT_TRUE(nav.n.StepFinding(false, true));
  EXPECT_EQ(nav.Cursor1(), 10);  // the search for channel 1 HIGH begins to hold
  ASSERT_TRUE(nav.n.StepFinding(false, true));
  EXPECT_EQ(nav.Cursor1(), 30);
  ASSERT_TRUE(nav.n.StepFinding(false, false));
  EXPECT_EQ(nav.Cursor1(), 10);
  EXPECT_FALSE(nav.n.StepFinding(false, false));
  const CaptureFindings& found = nav.n.Findings();
  EXPECT_EQ(found.matchStarts.size(), 50u);
  ASSERT_FALSE(found.violations.empty());
  EXPECT_EQ(found.violations[0].kind, ViolationKind::TooLate);
  EXPECT_EQ(found.violations[0].step, 2);
  EXPECT_EQ(found.violations[0].limitSeconds, 3);
  EXPECT_EQ(Round(Seconds(found.violations[0].took)), 10);
  ASSERT_TRUE(nav.n.StepFinding(true, true));
  EXPECT_EQ(nav.Cursor1(), Round(Seconds(found.violations[0].time - At(0))));
  // Markers, in time order whatever order they were dropped in.
  nav.b.view.Markers.Add(At(70), "door");
  nav.b.view.Markers.Add(At(40));
  ASSERT_TRUE(nav.n.StepMarker(true));
  EXPECT_EQ(nav.Cursor1(), 40);
  ASSERT_TRUE(nav.n.StepMarker(true));
  EXPECT_EQ(nav.Cursor1(), 70);
  EXPECT_FALSE(nav.n.StepMarker(true));
  ASSERT_TRUE(nav.n.StepMarker(false));
  EXPECT_EQ(nav.Cursor1(), 40);
}

TEST(ChartNavigator, FindingsFollowTheSearch) {
  Nav nav;
  EXPECT_EQ(nav.n.Findings().matchStarts.size(), 50u);
  nav.b.view.Traces.SetSearch(1, kSearchLow);
  // LOW holds from the start: the first match start is the first fall.
  EXPECT_EQ(nav.n.Findings().matchStarts.size(), 49u);
}

TEST(ChartNavigator, DragPansByPixelsAndEntersTheHistoryOnce) {
  Nav nav;
  nav.n.ShowWindow(At(400), At(500));
  const int depth = nav.s.HistoryDepth;
  nav.n.BeginDrag();
  nav.n.DragBy(100);  // 1000 px = 100 s: 100 px right shows 10 s earlier
  nav.n.DragBy(200);
  nav.n.EndDrag();
  EXPECT_EQ(nav.Shown(), (std::pair<double, double>{380, 480}));
  EXPECT_EQ(nav.s.HistoryDepth, depth + 1);
  EXPECT_EQ(Round(Seconds(nav.n.TimeAtWaveX(kStrip + 500) - At(0))), 430);
}

TEST(ChartNavigator, NothingWithoutData) {
  Nav nav(false);
  EXPECT_FALSE(nav.n.ShowWindow(At(0), At(1)));
  EXPECT_FALSE(nav.n.ZoomCentre(1));
  EXPECT_FALSE(nav.n.GoTo(At(0)));
  EXPECT_FALSE(nav.n.StepEdge(1, true));
  EXPECT_FALSE(nav.n.StepFinding(true, true));
  EXPECT_TRUE(nav.n.Findings().matchStarts.empty());
}

}  // namespace
}  // namespace korvalog
