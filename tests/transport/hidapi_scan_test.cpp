// The real HID library: the scan runs on this machine, where no USB logger
// is attached, finds none, starts no reader and ends cleanly.
#include <gtest/gtest.h>

#include <vector>

#include "transport/hid_devices.h"
#include "transport/hidapi/hidapi_backend.h"

namespace korvalog {
namespace {

TEST(HidapiBackend, ScanWithoutALoggerFindsNoneAndCloses) {
  SystemClock clock;
  CaptureData data(clock);
  HidapiBackend backend;
  // Other HID devices (keyboards, mice) may be listed; none is a logger.
  std::vector<HidDeviceInfo> loggers;
  for (const HidDeviceInfo& info : backend.Enumerate()) {
    if (IsLoggerDevice(info)) loggers.push_back(info);
  }
  ASSERT_TRUE(loggers.empty()) << loggers.size() << " USB logger(s) attached: this test is for a machine without";

  HidDevices devices(backend, data, clock);
  devices.ScanHidDevices();
  EXPECT_EQ(devices.HidDeviceCount(), 0);
  EXPECT_FALSE(devices.TakeDeviceLost());
  // Reports for no logger go nowhere, and nothing is captured.
  devices.SendConfigReport(5, false);
  devices.SendStartReport();
  EXPECT_EQ(data.Store.Count(), 0u);
  // A second scan finds the same; closing leaves nothing lost and nothing open.
  devices.ScanHidDevices();
  EXPECT_EQ(devices.HidDeviceCount(), 0);
  devices.CloseHidDevices();
  EXPECT_EQ(devices.HidDeviceCount(), 0);
  EXPECT_FALSE(devices.TakeDeviceLost());
  EXPECT_EQ(devices.DeviceLost.load(), 0);
}

}  // namespace
}  // namespace korvalog
