// A USB logger pulled out during a capture and plugged back (in-memory
// loggers through the real HidDevices): the gap is noted at once, the
// logger is found and started again, and its reports go on into the same
// capture.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/date_time.h"
#include "session/link_supervisor.h"
#include "transport/hid_devices.h"
#include "transport/memory_hid.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

using korvalog::testing::WaitUntil;

using Bytes = std::vector<uint8_t>;

TEST(UsbReconnect, PulledOutLoggerComesBackIntoTheSameCapture) {
  ManualClock clock{45658.5};
  CaptureData data{clock};
  LoggerSettings settings;
  settings.LoggerType = kLoggerUsb;
  MemoryHidBackend backend;
  HidDevices devices{backend, data, clock};
  LinkSupervisor link{data, settings, devices, clock};
  auto logger = backend.Plug("/dev/hidraw0", 0x6B2D, 0xFF00);
  link.RestartLink();
  for (int i = 0; i < 4; ++i) link.tick();
  ASSERT_EQ(link.LinkState, LinkStep::Connected);
  data.SetCapture(true);
  link.tick();
  EXPECT_TRUE(link.View().linkNote.empty());
  logger->PushInput(Bytes{0, 0x85, 0, 0, 0, 0, 0, 0, 0});  // channel 6 high
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() == 1; }));

  clock.Set(clock.Now() + 10.0 / kSecondsPerDay);
  backend.Unplug(logger);
  ASSERT_TRUE(WaitUntil([&] { return devices.DeviceLost.load() == 1; }));
  link.tick();  // rescans, finds nothing: lost now, not 5 s later
  ASSERT_TRUE(link.Gaps().Open());
  EXPECT_EQ(link.Gaps().Gaps()[0].eventIndex, 1u);
  EXPECT_EQ(link.Gaps().Gaps()[0].lostAt, clock.Now());
  EXPECT_TRUE(link.View().linkNoteChanged);
  EXPECT_NE(link.View().linkNote.find("after 1 event, reconnecting"), std::string::npos);
  for (int i = 0; i < 40; ++i) link.tick();  // nobody there
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_TRUE(link.Gaps().Open());
  EXPECT_TRUE(link.View().captureEnabled);

  clock.Set(clock.Now() + 7.0 / kSecondsPerDay);
  auto again = backend.Plug("/dev/hidraw1", 0x6B2D, 0xFF00);
  for (int i = 0; i < 12 && link.LinkState != LinkStep::Connected; ++i) link.tick();
  ASSERT_EQ(link.LinkState, LinkStep::Connected);
  ASSERT_EQ(link.Gaps().Gaps().size(), 1u);
  EXPECT_TRUE(link.Gaps().Gaps()[0].Closed());
  EXPECT_EQ(link.View().linkNote.substr(0, 20), "Logger link back at ");
  EXPECT_NE(link.View().linkNote.find(", 7 s without it"), std::string::npos) << link.View().linkNote;
  again->PushInput(Bytes{0, 0x05, 0, 0, 0, 0, 0, 0, 0});  // channel 6 low
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() == 2; }));
  EXPECT_EQ(data.Capturing.load(), 1);
  data.SetCapture(false);
  EXPECT_EQ(data.Store[0].channel, 6);
  EXPECT_EQ(data.Store[0].state, 1);
  EXPECT_EQ(data.Store[1].channel, 6);
  EXPECT_EQ(data.Store[1].state, 0);
}

}  // namespace
}  // namespace korvalog
