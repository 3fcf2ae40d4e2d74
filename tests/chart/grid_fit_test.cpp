// The waveform column's width at any grid width and column widths, and when
// the chart scrolls sideways.
#include "chart/grid_fit.h"

#include <gtest/gtest.h>

namespace korvalog {
namespace {

TEST(GridFit, TheWaveformColumnTakesWhatTheOthersLeave) {
  const int designFixed = 2 + 23 + 66 + 20 + 20 + 5 + 2;  // frame, four columns, five lines
  struct Case {
    int gridWidth, fixed, wave;
  } cases[] = {
      {569, designFixed, 408},        // the design size
      {900, designFixed, 739},        // a larger stored size: no blank room
      {1920, designFixed, 1759},
      {420, designFixed, 259},        // a smaller one: nothing past the edge
      {569, designFixed + 134, 274},  // the name column widened by 134
      {300, designFixed, 139},
      {250, designFixed, kMinWaveWidth},
      {0, designFixed, kMinWaveWidth},
      {569, designFixed + 500, kMinWaveWidth},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitWaveWidth(c.gridWidth, c.fixed, kWaveRightReserve), c.wave) << c.gridWidth << " " << c.fixed;
    // Never past the room the grid has, unless at the minimum.
    if (c.wave > kMinWaveWidth) { EXPECT_EQ(c.fixed + c.wave + kWaveRightReserve, c.gridWidth); }
  }
}

TEST(GridFit, ReserveFollowsAWideScrollBar) {
  EXPECT_EQ(WaveRightReserve(16), kWaveRightReserve);
  EXPECT_EQ(WaveRightReserve(30), 32);
  EXPECT_EQ(MinimumGridWidth(138, 23), 138 + kMinWaveWidth + 23);
}

TEST(GridFit, TheChartScrollsSidewaysOnlyBelowItsMinimum) {
  struct Case {
    int view, minimum, content, range;
  } cases[] = {
      {569, 281, 569, 0}, {281, 281, 281, 0}, {280, 281, 281, 1},
      {256, 600, 600, 344}, {0, 281, 281, 281}, {-3, 281, 281, 281},
  };
  for (const Case& c : cases) {
    const ChartSpan span = FitChartSpan(c.view, c.minimum);
    EXPECT_EQ(span.contentWidth, c.content) << c.view;
    EXPECT_EQ(span.scrollRange, c.range) << c.view;
  }
}

}  // namespace
}  // namespace korvalog
