// The real HID library: the scan runs on this machine (normally finding no
// logger) and ends cleanly.
#include <gtest/gtest.h>

#include "transport/hid_devices.h"
#include "transport/hidapi/hidapi_backend.h"

namespace korvalog {
namespace {

TEST(HidapiBackend, ScanRunsAndCloses) {
  SystemClock clock;
  CaptureData data(clock);
  HidapiBackend backend;
  HidDevices devices(backend, data, clock);
  devices.ScanHidDevices();
  EXPECT_GE(devices.HidDeviceCount(), 0);
  devices.CloseHidDevices();
  EXPECT_EQ(devices.HidDeviceCount(), 0);
  EXPECT_FALSE(devices.TakeDeviceLost());
}

}  // namespace
}  // namespace korvalog
