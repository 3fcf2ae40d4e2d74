// Zooming the chart to what a report line stands for: a margin either side,
// held inside the capture, kept in the zoom history, refused without data.
#include "chart/zoom_to_time.h"

#include <gtest/gtest.h>

#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;
using testing::Seconds;

TEST(ZoomToTime, ZoomsWithAMarginInsideTheCapture) {
  CaptureBuilder b;
  for (int i = 0; i < 100; ++i) b.Event(i * 10 + 5, 1 + i % 3, static_cast<uint8_t>((i / 3) % 2 == 0));
  b.Finish(1000);
  ChartState state(b.data, b.view);
  state.LayoutChart(0, {20, 80, 20, 20, 500});
  state.ZoomToAll();
  struct C {
    double from, to, wantFrom, wantTo;
  };
  const C cases[] = {
      {100, 200, 80, 220},   // a fifth either side
      {500, 501, 498, 503},  // at least two seconds
      {0.5, 30, 0, 35.9},    // held at the start
      {990, 999, 988, 1000}, // and at the end
  };
  int depth = state.HistoryDepth;
  for (const C& c : cases) {
    ASSERT_TRUE(ZoomChartTo(state, At(c.from), At(c.to)));
    EXPECT_NEAR(Seconds(state.ZoomStart.time - At(0)), c.wantFrom, 0.001);
    EXPECT_NEAR(Seconds(state.ZoomEnd.time - At(0)), c.wantTo, 0.001);
    EXPECT_EQ(state.HistoryDepth, ++depth);
    // The snapshot holds the levels at its time.
    uint32_t expectIndex = 0;
    while (expectIndex < b.data.Store.Count() && b.data.Store[expectIndex].time < state.ZoomStart.time) ++expectIndex;
    EXPECT_EQ(state.ZoomStart.index, expectIndex);
  }
  EXPECT_FALSE(ZoomChartTo(state, At(2000), At(2100)));
  EXPECT_EQ(state.HistoryDepth, depth);
}

TEST(ZoomToTime, RefusedWithoutData) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  ChartState state(data, view);
  EXPECT_FALSE(ZoomChartTo(state, At(1), At(2)));
}

}  // namespace
}  // namespace korvalog
