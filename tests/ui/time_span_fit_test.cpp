// Which texts of a time span are drawn at a given width.
#include "ui/time_span_fit.h"

#include <gtest/gtest.h>

namespace korvalog {
namespace {

TEST(TimeSpanFit, TextsGiveWayDurationFirstThenTheEnd) {
  // Start and end 100 pixels, the duration 60 (triangle included), centred.
  const auto fit = [](int width) {
    const int left = width / 2 - 25;
    return FitTimeSpan(width, 100, 100, left, left + 60, 6);
  };
  struct Case {
    int width;
    bool start, end, duration;
  } cases[] = {
      {408, true, true, true}, {300, true, true, true},  {287, true, true, true},
      {280, true, true, false}, {206, true, true, false}, {205, true, false, false},
      {100, true, false, false}, {99, false, false, false}, {0, false, false, false},
      {-5, false, false, false},
  };
  for (const Case& c : cases) {
    const TimeSpanFit f = fit(c.width);
    EXPECT_EQ(f.start, c.start) << c.width;
    EXPECT_EQ(f.end, c.end) << c.width;
    EXPECT_EQ(f.duration, c.duration) << c.width;
  }
}

TEST(TimeSpanFit, DrawnTextsNeverOverlap) {
  for (int width = 0; width <= 600; ++width) {
    const int left = width / 2 - 40;
    const TimeSpanFit f = FitTimeSpan(width, 120, 130, left, left + 95, 6);
    if (f.start && f.end) { EXPECT_LE(120 + 6, width - 130) << width; }
    if (f.duration) {
      EXPECT_LE(120 + 6, left) << width;
      EXPECT_LE(left + 95 + 6, width - 130) << width;
    }
    if (f.start) { EXPECT_LE(120, width) << width; }
  }
}

}  // namespace
}  // namespace korvalog
