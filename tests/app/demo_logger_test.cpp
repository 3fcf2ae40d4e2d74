// The demonstration logger through the real link supervisor, HID readers
// and event store: silent until started, then a lift's input changes.
#include "app/demo_logger.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "session/link_supervisor.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

TEST(DemoLogger, ConnectsAndCapturesALift) {
  SystemClock clock;
  CaptureData data(clock);
  LoggerSettings settings;
  settings.LoggerType = kLoggerUsb;
  DemoLogger demo(data, clock, 200.0);
  demo.Loggers().ScanHidDevices();
  LinkSupervisor link(data, settings, demo.Loggers(), clock);
  link.OpenSerialLink();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(demo.ReportsSent(), 0u);  // nothing before the start report
  for (int i = 0; i < 5 && link.LinkState != LinkStep::Connected; ++i) link.tick();
  ASSERT_EQ(link.LinkState, LinkStep::Connected);
  data.SetCapture(true);
  ASSERT_TRUE(testing::WaitUntil([&] { return data.Store.Count() >= 20; }));
  data.SetCapture(false);
  for (uint32_t i = 0; i < data.Store.Count(); ++i) {
    EXPECT_GE(data.Store[i].channel, 1);
    EXPECT_LE(data.Store[i].channel, 23);  // the lift's inputs 1..23
  }
}

}  // namespace
}  // namespace korvalog
