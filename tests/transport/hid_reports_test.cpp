#include "transport/hid_reports.h"

#include <gtest/gtest.h>

#include "base/date_time.h"

namespace korvalog {
namespace {

TEST(HidReports, Layouts) {
  double t = 0;
  ASSERT_TRUE(TryEncodeDateTime({2099, 12, 31, 23, 59, 59, 999}, t));
  EXPECT_EQ(SetClockReport(t), (HidReport{0, 0, 99, 59, 59, 23, 31, 12, 99}));
  EXPECT_EQ(ConfigReport(255, false), (HidReport{0, 1, 0xF6, 0x09, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ConfigReport(5, true), (HidReport{0, 1, 50, 0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(StartReport(), (HidReport{0, 2, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(DeviceIndexReport(1), (HidReport{0, 3, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(HidReports, LoggerIdentity) {
  EXPECT_TRUE(IsLoggerDevice({"/dev/hidraw3", 0x6B2D, 0xFF00}));
  EXPECT_FALSE(IsLoggerDevice({"/dev/hidraw3", 0x6B2D, 0xFF01}));
  EXPECT_TRUE(IsLoggerDevice({"\\\\?\\hid#vid_6b2d&pid_ff00#7&1a2b", 0, 0}));
  EXPECT_FALSE(IsLoggerDevice({"\\\\?\\hid#vid_6b2d&pid_ff01#7&1a2b", 0, 0}));
}

}  // namespace
}  // namespace korvalog
