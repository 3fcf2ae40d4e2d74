// The link supervisor driving real HidDevices over in-memory USB loggers.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "session/link_supervisor.h"
#include "transport/hid_devices.h"
#include "transport/memory_hid.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

using korvalog::testing::WaitUntil;

using Bytes = std::vector<uint8_t>;

// Output report commands (byte 1) written to a device, in order.
std::vector<int> Commands(const MemoryHidDevice& d) {
  std::vector<int> out;
  for (const Bytes& r : d.Written()) out.push_back(r.at(1));
  return out;
}

class UsbLinkTest : public ::testing::Test {
 protected:
  ManualClock clock{45658.5};
  CaptureData data{clock};
  LoggerSettings settings;
  MemoryHidBackend backend;
  HidDevices devices{backend, data, clock};
  LinkSupervisor link{data, settings, devices, clock};

  void Ticks(int n) {
    for (int i = 0; i < n; ++i) link.tick();
  }
};

TEST_F(UsbLinkTest, UsbLoggerConnectsAndFallsBackAfterItIsLost) {
  settings.LoggerType = kLoggerUsb;
  settings.Debounce = 255;
  auto logger = backend.Plug("/dev/hidraw0", 0x6B2D, 0xFF00);
  link.RestartLink();  // as at program start: no serial link, one scan
  ASSERT_EQ(devices.HidDeviceCount(), 1);
  EXPECT_EQ(Commands(*logger), (std::vector<int>{3, 0}));  // position, clock

  link.tick();  // state 0, present: configuration report
  EXPECT_EQ(link.LinkState, LinkStep::DebounceSent);
  EXPECT_EQ(logger->Written().back(), (Bytes{0, 1, 0xF6, 0x09, 0, 0, 0, 0, 0}));
  Ticks(2);
  EXPECT_EQ(Commands(*logger), (std::vector<int>{3, 0, 1}));
  link.tick();  // three ticks after the configuration: the start report
  EXPECT_EQ(Commands(*logger), (std::vector<int>{3, 0, 1, 2}));
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  EXPECT_TRUE(link.View().captureEnabled);

  // Pulled out: the reader ends, the next tick rescans and finds nothing.
  backend.Unplug(logger);
  ASSERT_TRUE(WaitUntil([&] { return devices.DeviceLost.load() == 1; }));
  const LinkView& view = link.tick();
  EXPECT_TRUE(view.repaintGrid);
  EXPECT_EQ(devices.HidDeviceCount(), 0);
  int ticksToZero = 1;
  while (link.LinkState == LinkStep::Connected && ticksToZero < 100) {
    link.tick();
    ++ticksToZero;
  }
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_EQ(ticksToZero, 20);  // 20 ticks in state 4 since the loss: 5 s
  EXPECT_FALSE(link.View().captureEnabled);

  // State 0 scans on every tick once 8 ticks have passed; plugging back in connects.
  auto again = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  Ticks(8);
  EXPECT_EQ(devices.HidDeviceCount(), 1);
  Ticks(4);
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  EXPECT_EQ(Commands(*again).back(), 2);
}

TEST_F(UsbLinkTest, SerialTypeWithUsbLoggerGetsConfigurationButNoStart) {
  settings.LoggerType = kLogger128;
  settings.Port = 16;
  link.SetDeviceResolver([](uint8_t) { return std::string("/nonexistent/port"); });
  auto logger = backend.Plug("/dev/hidraw0", 0x6B2D, 0xFF00);
  link.RestartLink();
  Ticks(10);
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  EXPECT_EQ(Commands(*logger), (std::vector<int>{3, 0, 1}));
  Ticks(40);  // stays while the device is open
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  EXPECT_EQ(Commands(*logger), (std::vector<int>{3, 0, 1}));
}

TEST_F(UsbLinkTest, UsbCaptureRecordsReports) {
  settings.LoggerType = kLoggerUsb;
  auto logger = backend.Plug("/dev/hidraw0", 0x6B2D, 0xFF00);
  link.RestartLink();
  Ticks(4);
  ASSERT_EQ(link.LinkState, LinkStep::Connected);
  data.SetCapture(true);
  logger->PushInput(Bytes{0, 0x85, 0, 0, 0, 0, 0, 0, 0});
  logger->PushInput(Bytes{0, 0x05, 0, 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() == 2; }));
  EXPECT_TRUE(link.tick().repaintGrid);
  data.SetCapture(false);
  EXPECT_EQ(data.Store[0].channel, 6);
  EXPECT_EQ(data.Store[1].state, 0);
}

}  // namespace
}  // namespace korvalog
