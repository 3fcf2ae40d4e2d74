// The Windows HID backend: the scan runs through SetupAPI and hid.dll (here
// normally finding no logger) and ends cleanly; device paths name the ids.
#include <gtest/gtest.h>

#include "transport/hid_devices.h"
#include "transport/system_hid.h"
#include "transport/windows/windows_hid_backend.h"

namespace korvalog {
namespace {

TEST(WindowsHidBackend, ScanRunsAndCloses) {
  SystemClock clock;
  CaptureData data(clock);
  const std::unique_ptr<HidBackend> backend = MakeSystemHidBackend();
  const std::vector<HidDeviceInfo> present = backend->Enumerate();
  for (const HidDeviceInfo& d : present) EXPECT_FALSE(d.path.empty());
  HidDevices devices(*backend, data, clock);
  devices.ScanHidDevices();
  // Only loggers among the devices present are opened.
  EXPECT_LE(static_cast<size_t>(devices.HidDeviceCount()), present.size());
  devices.CloseHidDevices();
  EXPECT_EQ(devices.HidDeviceCount(), 0);
  EXPECT_FALSE(devices.TakeDeviceLost());
}

TEST(WindowsHidBackend, OpeningAPathThatIsNoDeviceFails) {
  WindowsHidBackend backend;
  EXPECT_EQ(backend.Open("\\\\?\\hid#vid_6b2d&pid_ff00#0&0&0#{4d1e55b2-f16f-11cf-88cb-001111000030}"), nullptr);
  EXPECT_EQ(backend.Open(""), nullptr);
}

TEST(WindowsHidBackend, InterfacePathsNameVendorAndProduct) {
  const struct {
    const char* path;
    bool named;
    uint16_t vendor, product;
  } cases[] = {
      {"\\\\?\\hid#vid_6b2d&pid_ff00#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", true, 0x6B2D, 0xFF00},
      {"\\\\?\\HID#VID_6B2D&PID_FF00#7&1A2B3C4D&0&0000#{4D1E55B2-F16F-11CF-88CB-001111000030}", true, 0x6B2D, 0xFF00},
      {"\\\\?\\hid#vid_046d&pid_c52b&mi_02#8&2fb9&0&0000#{4d1e55b2}", true, 0x046D, 0xC52B},
      {"\\\\?\\hid#vid_6b2d&pid_ff0#x", false, 0, 0},        // too few digits
      {"\\\\?\\hid#vid_6b2g&pid_ff00#x", false, 0, 0},       // not hexadecimal
      {"\\\\?\\hid#hid_device_system_game#1", false, 0, 0},  // no ids at all
      {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    uint16_t v = 1, p = 2;
    EXPECT_EQ(IdsFromInterfacePath(c.path, v, p), c.named) << c.path;
    if (c.named) {
      EXPECT_EQ(v, c.vendor) << c.path;
      EXPECT_EQ(p, c.product) << c.path;
    } else {
      EXPECT_EQ(v, 1) << c.path;  // untouched
      EXPECT_EQ(p, 2) << c.path;
    }
  }
}

}  // namespace
}  // namespace korvalog
