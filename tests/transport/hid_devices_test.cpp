#include "transport/hid_devices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "transport/memory_hid.h"
#include "transport/serial_decoder.h"

namespace korvalog {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Report(uint8_t transition) { return Bytes{0, transition, 0, 0, 0, 0, 0, 0, 0}; }

// Waits (bounded) until the condition holds; the readers run on their own threads.
template <typename F>
bool Eventually(F condition) {
  for (int i = 0; i < 2000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return condition();
}

class HidDevicesTest : public ::testing::Test {
 protected:
  ManualClock clock{45000.25};
  CaptureData data{clock};
  MemoryHidBackend backend;
  HidDevices devices{backend, data, clock};
};

TEST_F(HidDevicesTest, LoggersListedInOrderWithIndexAndClock) {
  auto first = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  auto other = backend.Plug("/dev/hidraw2", 0x6B2D, 0x1234);
  auto second = backend.Plug("/dev/hidraw3", 0x6B2D, 0xFF00);
  devices.ScanHidDevices();
  ASSERT_EQ(devices.HidDeviceCount(), 2);
  const HidReport clockReport = SetClockReport(clock.Now());
  const Bytes clockBytes(clockReport.begin(), clockReport.end());
  EXPECT_EQ(first->Written(), (std::vector<Bytes>{{0, 3, 0, 0, 0, 0, 0, 0, 0}, clockBytes}));
  EXPECT_EQ(second->Written(), (std::vector<Bytes>{{0, 3, 1, 0, 0, 0, 0, 0, 0}, clockBytes}));
  EXPECT_EQ(other->OpenHandles(), 0);  // another product is left alone
  EXPECT_EQ(first->OpenHandles(), 2);  // one handle to read, one to write

  devices.SendConfigReport(255, true);
  devices.SendStartReport();
  EXPECT_EQ(second->Written().at(2), (Bytes{0, 1, 0xF6, 0x09, 1, 0, 0, 0, 0}));
  EXPECT_EQ(second->Written().at(3), (Bytes{0, 2, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(HidDevicesTest, DeviceThatCannotBeOpenedTwiceIsLeftOut) {
  auto d = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  d->FailOpenAfter(1);
  devices.ScanHidDevices();
  EXPECT_EQ(devices.HidDeviceCount(), 0);
  EXPECT_EQ(d->OpenHandles(), 0);
}

TEST_F(HidDevicesTest, ReportsBecomeTransitionsAndBadOnesAreIgnored) {
  auto d = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  devices.ScanHidDevices();
  data.SetCapture(true);
  d->PushInput(Report(0xFF));                   // channel 128 high
  d->PushInput(Bytes{1, 0x81, 0, 0, 0, 0, 0, 0, 0});  // report ID 1
  d->PushInput(Bytes{0, 0x82, 0, 0});            // short
  d->PushInput(Report(0x80));                   // channel 1 high
  ASSERT_TRUE(Eventually([&] { return data.Store.Count() == 2; }));
  EXPECT_EQ(d->PendingInput(), 0u);
  EXPECT_EQ(data.Store[0].channel, 128);
  EXPECT_EQ(data.Store[0].state, 1);
  EXPECT_EQ(data.Store[0].time, 45000.25);
  EXPECT_EQ(data.Store[1].channel, 1);
  EXPECT_EQ(data.States.Level(2), 0);
}

TEST_F(HidDevicesTest, ReportsKeepFlowingWhileTheLockIsHeldAndNoneIsLost) {
  // The driver's queue is short (64 reports on Linux): the reader must go on
  // emptying it while another producer holds the lock.
  auto d = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  devices.ScanHidDevices();
  data.SetCapture(true);
  constexpr int kReports = 200;
  const auto report = [](int i) { return Report(static_cast<uint8_t>(((i / 8 + 1) % 2) << 7 | (i % 8))); };
  {
    std::lock_guard<TransitionMutex> hold(data.TransitionLock());
    for (int i = 0; i < kReports; ++i) {
      d->PushInput(report(i));
      if (i % 32 == 31) {
        ASSERT_TRUE(Eventually([&] { return d->PendingInput() == 0; })) << i;
      }
    }
    ASSERT_TRUE(Eventually([&] { return d->PendingInput() == 0; }));
    EXPECT_EQ(data.Store.Count(), 0u);
  }
  ASSERT_TRUE(Eventually([&] { return data.Store.Count() == kReports; }));
  for (int i = 0; i < kReports; ++i) {
    EXPECT_EQ(data.Store[i].channel, i % 8 + 1);
    EXPECT_EQ(data.Store[i].state, (i / 8 + 1) % 2);
  }
}

TEST_F(HidDevicesTest, UnpluggingEndsTheReaderAndTheRescanFindsNone) {
  auto d = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  devices.ScanHidDevices();
  ASSERT_EQ(devices.HidDeviceCount(), 1);
  backend.Unplug(d);
  ASSERT_TRUE(Eventually([&] { return d->OpenHandles() == 1; }));  // the reader closed its handle
  ASSERT_TRUE(Eventually([&] { return devices.DeviceLost.load() == 1; }));
  EXPECT_TRUE(devices.TakeDeviceLost());
  devices.ScanHidDevices();
  EXPECT_EQ(devices.HidDeviceCount(), 0);
  EXPECT_EQ(d->OpenHandles(), 0);
}

TEST_F(HidDevicesTest, RescanLeavesOneReaderPerLoggerAndRaisesNoLoss) {
  auto d = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  devices.ScanHidDevices();
  devices.ScanHidDevices();
  devices.ScanHidDevices();
  EXPECT_EQ(devices.HidDeviceCount(), 1);
  EXPECT_EQ(d->OpenHandles(), 2);  // only the latest scan's read and write handles
  EXPECT_FALSE(devices.TakeDeviceLost());
  // Each report is applied once: a doubled reader would record it twice
  // after the channel changed back in between.
  data.SetCapture(true);
  for (int i = 0; i < 50; ++i) d->PushInput(Report(i % 2 ? 0x05 : 0x85));
  ASSERT_TRUE(Eventually([&] { return d->PendingInput() == 0 && data.Store.Count() == 50; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_EQ(data.Store.Count(), 50u);
}

// Two USB readers and the serial decoder feed the capture at once: every
// transition arrives exactly once and nothing races (run under TSan).
TEST_F(HidDevicesTest, TwoReadersAndSerialDecoderTogether) {
  auto a = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  auto b = backend.Plug("/dev/hidraw2", 0x6B2D, 0xFF00);
  devices.ScanHidDevices();
  ASSERT_EQ(devices.HidDeviceCount(), 2);
  LoggerSettings settings;
  settings.LoggerType = kLogger96;
  SerialDecoder serial(data, settings, clock);
  data.SetCapture(true);
  constexpr int kToggles = 2000;
  // Logger a toggles channels 1..8, logger b 9..16, the serial logger 17..24:
  // disjoint channels, so every transition changes a level and is recorded.
  std::thread feedA([&] {
    for (int i = 0; i < kToggles; ++i) a->PushInput(Report(static_cast<uint8_t>(((i / 8 + 1) % 2) << 7 | (i % 8))));
  });
  std::thread feedB([&] {
    for (int i = 0; i < kToggles; ++i) b->PushInput(Report(static_cast<uint8_t>(((i / 8 + 1) % 2) << 7 | (8 + i % 8))));
  });
  std::thread feedSerial([&] {
    for (int i = 0; i < kToggles; i += 8) {
      uint8_t chunk[8];
      for (int k = 0; k < 8; ++k) chunk[k] = static_cast<uint8_t>((((i + k) / 8 + 1) % 2) << 7 | (16 + k));
      serial.OnReceive(chunk, 8);
    }
  });
  feedA.join();
  feedB.join();
  feedSerial.join();
  ASSERT_TRUE(Eventually([&] { return data.Store.Count() == 3u * kToggles; }));
  int perGroup[3] = {0, 0, 0};
  for (uint32_t i = 0; i < data.Store.Count(); ++i) ++perGroup[(data.Store[i].channel - 1) / 8];
  EXPECT_EQ(perGroup[0], kToggles);
  EXPECT_EQ(perGroup[1], kToggles);
  EXPECT_EQ(perGroup[2], kToggles);
}

}  // namespace
}  // namespace korvalog
