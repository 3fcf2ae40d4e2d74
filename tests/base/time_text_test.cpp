#include "base/time_text.h"
#include "core/channel_colours.h"
#include "core/records.h"

#include <gtest/gtest.h>

#include "base/date_time.h"

namespace korvalog {
namespace {

double Seconds(double s) { return s / 86400.0; }

double At(int y, int mo, int d, int h, int mi, int s, int ms) {
  double t = 0;
  EXPECT_TRUE(TryEncodeDateTime({y, mo, d, h, mi, s, ms}, t));
  return t;
}

TEST(TimeStamp, Forms) {
  EXPECT_EQ(FormatTimeStamp(At(2025, 12, 6, 8, 34, 56, 789)), "06/12 0834:56.794");
  EXPECT_EQ(FormatTimeStamp(At(2025, 1, 1, 0, 0, 0, 0)), "01/01 0000:00.005");
  // 5 ms before midnight rolls over to the next day.
  EXPECT_EQ(FormatTimeStamp(At(2025, 12, 31, 23, 59, 59, 995)), "01/01 0000:00.000");
}

TEST(Duration, FourFormsAndTheirBoundaries) {
  EXPECT_EQ(FormatDuration(Seconds(90000)), "1 01:00");
  EXPECT_EQ(FormatDuration(Seconds(200000)), "2 07:33");
  EXPECT_EQ(FormatDuration(Seconds(3725.4)), "1:02:05");
  EXPECT_EQ(FormatDuration(Seconds(3599.999)), "1:00:00");
  EXPECT_EQ(FormatDuration(Seconds(75.5)), "1:15.50");
  EXPECT_EQ(FormatDuration(Seconds(59.996)), "1:00.00");
  EXPECT_EQ(FormatDuration(Seconds(3599.996)), "1:00:00");
  EXPECT_EQ(FormatDuration(1.0 - Seconds(0.004)), "1 00:00");
  EXPECT_EQ(FormatDuration(Seconds(0.1234)), "0.12");
  EXPECT_EQ(FormatDuration(Seconds(0.125)), "0.13");
  EXPECT_EQ(FormatDuration(Seconds(9.999)), "10.00");
  EXPECT_EQ(FormatDuration(0.0), "0.00");
  EXPECT_EQ(FormatDuration(Seconds(59.995)), "1:00.00");  // rounding reaches the minute
  EXPECT_EQ(FormatDuration(400.0), "400 00:00");
}

TEST(Duration, NegativeCarriesASign) {
  EXPECT_EQ(FormatDuration(Seconds(-75.5)), "-1:15.50");
  EXPECT_EQ(FormatDuration(Seconds(-2)), "-2.00");
  EXPECT_EQ(FormatDuration(Seconds(-3725.4)), "-1:02:05");
}

TEST(Colours, SixteenAndSixtyFour) {
  EXPECT_EQ(ChannelColour(1, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(ChannelColour(2, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(ChannelColour(16, 0), (Rgb{128, 128, 192}));
  EXPECT_EQ(ChannelColour(17, 0), ChannelColour(1, 0));
  EXPECT_EQ(ChannelColour(33, 7), ChannelColour(1, 0));  // any other mode: 16 colours
  EXPECT_EQ(ChannelColour(1, 1), (Rgb{0, 0, 0}));
  EXPECT_EQ(ChannelColour(2, 1), (Rgb{0, 0, 128}));
  EXPECT_EQ(ChannelColour(64, 1), (Rgb{255, 255, 255}));
  EXPECT_EQ(ChannelColour(65, 1), ChannelColour(1, 1));
}

TEST(Sequence, CountSteps) {
  SequenceTable t{};
  EXPECT_EQ(CountSequenceSteps(t), 0);
  t[1].signal = 4;
  EXPECT_EQ(CountSequenceSteps(t), 0);  // row 1 empty
  for (auto& row : t) row.signal = 3;
  EXPECT_EQ(CountSequenceSteps(t), 15);
  t[5].signal = 0;
  EXPECT_EQ(CountSequenceSteps(t), 5);
}

}  // namespace
}  // namespace korvalog
