// The real korvalog-sim on a pseudo-terminal, the real serial transport and
// the link supervisor: connect, capture, unplug.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "base/date_time.h"
#include "session/link_supervisor.h"
#include "tools/sim_process.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

using namespace std::chrono_literals;

using korvalog::testing::WaitUntil;

struct Expected {
  int channel, level;
};

class SimCapture : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    settings.LoggerType = GetParam() == 96 ? kLogger96 : kLogger128;
    script = ::testing::TempDir() + "korvalog-sim-script-" + std::to_string(getpid()) + ".txt";
  }
  void TearDown() override { std::remove(script.c_str()); }

  void WriteScript(const std::string& text) { std::ofstream(script) << text; }

  // Ticks as the window's timer would, but without waiting out the 250 ms:
  // after each command the next tick comes once the answer is in (or after
  // a short grace when none comes).
  bool ConnectWithin(int ticks) { return ConnectWithin(link, ticks); }
  static bool ConnectWithin(LinkSupervisor& l, int ticks) {
    for (int i = 0; i < ticks && l.LinkState != LinkStep::Connected; ++i) {
      l.tick();
      WaitUntil([&] { return l.Decoder().LoggerAlive.load() == 1; }, 100ms);
    }
    return l.LinkState == LinkStep::Connected;
  }

  SystemClock clock;
  CaptureData data{clock};
  LoggerSettings settings;
  NoUsbLoggers usb;
  LinkSupervisor link{data, settings, usb, clock};
  std::string script;
};

TEST_P(SimCapture, EventsMatchWhatTheLoggerSentWithPcTimeStamps) {
  WriteScript(
      "0.3 5 1\n"
      "0.3 6 1\n"
      "0.4 5 0\n"
      "0.5 90 1\n"
      "0.5 6 0\n"
      "0.6 1 1\n");
  testing::SimProcess sim({"--channels", std::to_string(GetParam()), "--script", script});
  ASSERT_TRUE(sim.Running());
  link.SetDeviceResolver([&](uint8_t) { return sim.DevicePath(); });
  link.RestartLink();
  ASSERT_TRUE(ConnectWithin(40));
  const double before = clock.Now();
  data.SetCapture(true);  // as soon as the link is up, before the first change
  const std::vector<Expected> want{{5, 1}, {6, 1}, {5, 0}, {90, 1}, {6, 0}, {1, 1}};
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() >= want.size(); }));
  std::this_thread::sleep_for(50ms);
  data.SetCapture(false);
  const double after = clock.Now();
  ASSERT_EQ(data.Store.Count(), want.size());
  double last = before;
  for (size_t i = 0; i < want.size(); ++i) {
    const EventRecord& r = data.Store[static_cast<uint32_t>(i)];
    EXPECT_EQ(r.channel, want[i].channel) << i;
    EXPECT_EQ(r.state, want[i].level) << i;
    EXPECT_GE(r.time, last) << i;
    EXPECT_LE(r.time, after) << i;
    last = r.time;
  }
}

TEST_P(SimCapture, UnpluggedLoggerShowsNoLoggerAndTheCaptureKeepsItsEvents) {
  WriteScript("0.2 3 1\n0.3 3 0\n");
  testing::SimProcess sim({"--channels", std::to_string(GetParam()), "--script", script});
  ASSERT_TRUE(sim.Running());
  link.SetDeviceResolver([&](uint8_t) { return sim.DevicePath(); });
  link.RestartLink();
  ASSERT_TRUE(ConnectWithin(40));
  data.SetCapture(true);
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() == 2; }));
  EXPECT_EQ(sim.Stop(), 0);
  ASSERT_TRUE(WaitUntil([&] { return link.Comms()->LineFailed(); }));
  for (int i = 0; i < 20 && link.View().loggerText != "NO Logger"; ++i) link.tick();
  EXPECT_EQ(link.View().loggerText, "NO Logger");
  EXPECT_TRUE(link.View().captureEnabled);
  EXPECT_EQ(data.Capturing.load(), 1);
  data.SetCapture(false);
  EXPECT_EQ(data.Store.Count(), 2u);
}

TEST_P(SimCapture, LoggerThatNeverAnswersIsNeverConnected) {
  testing::SimProcess sim({"--channels", std::to_string(GetParam()), "--answer", "never"});
  ASSERT_TRUE(sim.Running());
  link.SetDeviceResolver([&](uint8_t) { return sim.DevicePath(); });
  link.RestartLink();
  for (int i = 0; i < 40; ++i) link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_EQ(link.View().loggerText, "NO Logger");
}

// A capture wanted before the logger is configured begins before the start
// command goes out: the change the logger sends at once on that command is
// an event, not a start level.
TEST_P(SimCapture, AChangeOnTheStartCommandIsAnEvent) {
  WriteScript("0 3 1\n0 7 1\n0.1 3 0\n");
  testing::SimProcess sim({"--channels", std::to_string(GetParam()), "--script", script});
  ASSERT_TRUE(sim.Running());
  link.SetDeviceResolver([&](uint8_t) { return sim.DevicePath(); });
  link.RestartLink();
  link.StartCaptureWithLogger();
  ASSERT_TRUE(ConnectWithin(40));
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() == 3; }));
  data.SetCapture(false);
  EXPECT_EQ(data.CaptureStart.states[2], 0);
  EXPECT_EQ(data.CaptureStart.states[6], 0);
  EXPECT_EQ(data.Store[0].channel, 3);
  EXPECT_EQ(data.Store[1].channel, 7);
  EXPECT_EQ(data.Store[2].state, 0);
}

// A logger that streams 10,000 changes a second is reached by
// one program after another, and again after a change of settings.
TEST_P(SimCapture, AStreamingLoggerIsReachedAgainAndAgain) {
  testing::SimProcess sim({"--channels", std::to_string(GetParam()), "--rate", "10000"});
  ASSERT_TRUE(sim.Running());
  for (int run = 0; run < 3; ++run) {
    LinkSupervisor program(data, settings, usb, clock);
    program.SetDeviceResolver([&](uint8_t) { return sim.DevicePath(); });
    program.RestartLink();
    ASSERT_TRUE(ConnectWithin(program, 60)) << "run " << run;
    const uint32_t bytes = program.Decoder().BytesSeen();
    ASSERT_TRUE(WaitUntil([&] { return program.Decoder().BytesSeen() > bytes + 1000; })) << "streaming";
    program.RestartLink();  // Properties changed
    ASSERT_TRUE(ConnectWithin(program, 60)) << "run " << run << " after a restart";
  }
}

INSTANTIATE_TEST_SUITE_P(Loggers, SimCapture, ::testing::Values(96, 128),
                         [](const auto& info) { return "Channels" + std::to_string(info.param); });

}  // namespace
}  // namespace korvalog
