#include "base/date_time.h"

#include <gtest/gtest.h>

#include "transport/usb_report.h"

namespace korvalog {
namespace {

TEST(DateTime, EpochAndRoundTrip) {
  EXPECT_EQ(DaysFromCivil(1899, 12, 30), 0);
  EXPECT_EQ(DaysFromCivil(1900, 1, 1), 2);
  EXPECT_EQ(DaysFromCivil(2025, 1, 1), 45658);
  double t = 0;
  ASSERT_TRUE(TryEncodeDateTime({2099, 12, 31, 23, 59, 59, 999}, t));
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(t));
  EXPECT_EQ(f.year, 2099);
  EXPECT_EQ(f.month, 12);
  EXPECT_EQ(f.day, 31);
  EXPECT_EQ(f.hour, 23);
  EXPECT_EQ(f.minute, 59);
  EXPECT_EQ(f.second, 59);
  EXPECT_EQ(f.millisecond, 999);
  EXPECT_FALSE(TryEncodeDateTime({2025, 2, 29, 0, 0, 0, 0}, t));
  EXPECT_TRUE(TryEncodeDateTime({2024, 2, 29, 0, 0, 0, 0}, t));
  EXPECT_FALSE(TryEncodeDateTime({2025, 1, 1, 24, 0, 0, 0}, t));
}

TEST(UsbReport, Decoding) {
  UsbTransition t{};
  const uint8_t high128[9] = {0, 0xFF};
  ASSERT_TRUE(DecodeInputReport(high128, 9, t));
  EXPECT_EQ(t.channel, 128);
  EXPECT_EQ(t.level, 1);
  const uint8_t wrongId[9] = {1, 0x80};
  EXPECT_FALSE(DecodeInputReport(wrongId, 9, t));
  EXPECT_FALSE(DecodeInputReport(high128, 8, t));
}

}  // namespace
}  // namespace korvalog
