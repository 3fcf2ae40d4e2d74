// A logger whose link goes away during a capture and comes back under the
// same name (the simulator's link removed and made anew): the supervisor
// opens the port again, the capture goes on, and the gap is noted.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "session/link_supervisor.h"
#include "tools/sim_process.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

using namespace std::chrono_literals;
using korvalog::testing::SimProcess;
using korvalog::testing::WaitUntil;

class SimReconnect : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    settings.LoggerType = GetParam() == 96 ? kLogger96 : kLogger128;
    const std::string base = ::testing::TempDir() + "korvalog-reconnect-" + std::to_string(getpid());
    linkPath = base + ".link";
    first = base + "-1.txt";
    second = base + "-2.txt";
    std::ofstream(first) << "0.2 3 1\n0.3 3 0\n0.4 40 1\n";
    std::ofstream(second) << "0.2 5 1\n0.3 5 0\n";
    link.SetDeviceResolver([this](uint8_t) { return linkPath; });
  }
  void TearDown() override {
    std::remove(first.c_str());
    std::remove(second.c_str());
  }
  std::unique_ptr<SimProcess> Plug(const std::string& script) {
    return std::make_unique<SimProcess>(std::vector<std::string>{
        "--channels", std::to_string(GetParam()), "--script", script, "--link", linkPath});
  }
  // Ticks as the window's timer would, but sooner: while the logger is
  // being configured the next tick comes once the answer is in (or after a
  // short grace), once it is connected once `done` holds (or after 50 ms).
  void Tick(const std::function<bool()>& done = [] { return false; }) {
    link.tick();
    if (link.View().linkNoteChanged) notes.push_back(link.View().linkNote);
    if (link.LinkState != LinkStep::Connected) {
      WaitUntil([&] { return link.Decoder().LoggerAlive.load() == 1; }, 100ms);
    } else {
      WaitUntil(done, 50ms);
    }
  }
  bool TickUntil(const std::function<bool()>& done, int ticks = 200) {
    for (int i = 0; i < ticks && !done(); ++i) Tick(done);
    return done();
  }

  SystemClock clock;
  CaptureData data{clock};
  LoggerSettings settings;
  NoUsbLoggers usb;
  LinkSupervisor link{data, settings, usb, clock};
  std::string linkPath, first, second;
  std::vector<std::string> notes;
};

TEST_P(SimReconnect, CaptureResumesOnTheSameLinkAndNotesTheGap) {
  std::unique_ptr<SimProcess> sim = Plug(first);
  ASSERT_TRUE(sim->Running());
  link.RestartLink();
  ASSERT_TRUE(TickUntil([&] { return link.LinkState == LinkStep::Connected; }));
  data.SetCapture(true);
  ASSERT_TRUE(TickUntil([&] { return data.Store.Count() == 3; }));

  EXPECT_EQ(sim->Stop(), 0);  // unplugged: the link is gone with it
  ASSERT_TRUE(TickUntil([&] { return link.Gaps().Open(); }));
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes.back().substr(0, 20), "Logger link lost at ");
  EXPECT_NE(notes.back().find("after 3 events, reconnecting"), std::string::npos) << notes.back();
  // Tries while the link is missing change nothing.
  for (int i = 0; i < 30; ++i) Tick();
  EXPECT_TRUE(link.Gaps().Open());
  EXPECT_EQ(data.Capturing.load(), 1);

  sim = Plug(second);  // plugged back: the same name, a new device behind it
  ASSERT_TRUE(sim->Running());
  ASSERT_TRUE(TickUntil([&] { return data.Store.Count() == 5; })) << data.Store.Count();
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  data.SetCapture(false);

  // Every change either logger sent, once, in order.
  const int want[5][2] = {{3, 1}, {3, 0}, {40, 1}, {5, 1}, {5, 0}};
  ASSERT_EQ(data.Store.Count(), 5u);
  for (uint32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(data.Store[i].channel, want[i][0]) << i;
    EXPECT_EQ(data.Store[i].state, want[i][1]) << i;
    if (i > 0) {
      EXPECT_GE(data.Store[i].time, data.Store[i - 1].time) << i;
    }
  }
  ASSERT_EQ(link.Gaps().Gaps().size(), 1u);
  const LinkGap& gap = link.Gaps().Gaps()[0];
  EXPECT_EQ(gap.eventIndex, 3u);
  EXPECT_TRUE(gap.Closed());
  EXPECT_GE(gap.lostAt, data.Store[2].time);
  EXPECT_LE(gap.lostAt, gap.backAt);
  EXPECT_LE(gap.backAt, data.Store[3].time);
  EXPECT_EQ(notes.back().substr(0, 20), "Logger link back at ");
}

TEST_P(SimReconnect, ANewCaptureStartsWithoutTheOldGaps) {
  std::unique_ptr<SimProcess> sim = Plug(first);
  ASSERT_TRUE(sim->Running());
  link.RestartLink();
  ASSERT_TRUE(TickUntil([&] { return link.LinkState == LinkStep::Connected; }));
  data.SetCapture(true);
  Tick();
  sim->Stop();
  ASSERT_TRUE(TickUntil([&] { return link.Gaps().Open(); }));
  data.SetCapture(false);
  Tick();
  EXPECT_EQ(link.Gaps().Gaps().size(), 1u);  // the last capture's, until the next starts
  EXPECT_TRUE(link.View().linkNoteChanged);  // no more reconnecting into it
  EXPECT_EQ(link.View().linkNote.find(", reconnecting"), std::string::npos) << link.View().linkNote;
  EXPECT_EQ(link.View().linkNote.substr(0, 20), "Logger link lost at ");
  data.SetCapture(true);
  Tick();
  EXPECT_TRUE(link.Gaps().Gaps().empty());
  EXPECT_TRUE(link.View().linkNote.empty());
  data.SetCapture(false);
}

INSTANTIATE_TEST_SUITE_P(Loggers, SimReconnect, ::testing::Values(96, 128),
                         [](const auto& info) { return "Channels" + std::to_string(info.param); });

TEST(LinkGapTexts, SayWhenAndHowLong) {
  // 10 March 2026 09:12:03 and 12.4 s later.
  const double lost = 46091.0 + (9 * 3600 + 12 * 60 + 3) / 86400.0;
  LinkGaps gaps;
  gaps.Lost(lost, 1);
  EXPECT_EQ(LinkGaps::LostText(gaps.Gaps()[0]), "Logger link lost at 09:12:03 after 1 event, reconnecting");
  gaps.Back(lost + 12.4 / 86400.0);
  EXPECT_EQ(LinkGaps::BackText(gaps.Gaps()[0]), "Logger link back at 09:12:15, 12 s without it");
  gaps.Back(lost + 99.0 / 86400.0);  // closed already: stays as it was
  EXPECT_EQ(LinkGaps::BackText(gaps.Gaps()[0]), "Logger link back at 09:12:15, 12 s without it");
}

}  // namespace
}  // namespace korvalog
