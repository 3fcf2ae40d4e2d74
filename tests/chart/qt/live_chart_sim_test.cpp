// The chart while a capture from the real logger simulator on a
// pseudo-terminal runs: edges drawn at their times as they arrive, a full
// store that stops the capture and then shows all of it.
#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>

#include "chart/qt/chart_panel.h"
#include "chart/time_axis.h"
#include "core/capture_data.h"
#include "core/channel_colours.h"
#include "session/link_supervisor.h"
#include "tools/sim_process.h"
#include "support/wait_until.h"
#include "transport/usb_loggers.h"

namespace korvalog {
namespace {

using namespace std::chrono_literals;
using korvalog::testing::WaitUntil;

constexpr int kStripLeft = 6 + 23 + 66 + 20 + 20;

bool ColumnRun(const QImage& image, int x, int y0, int y1, QRgb colour) {
  for (int y = y0; y <= y1; ++y)
    if (image.pixel(x, y) != colour) return false;
  return true;
}

QRgb Ink(int channel) {
  const Rgb c = ChannelColour(channel, 0);
  return qRgb(c.r, c.g, c.b);
}

class LiveSim : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.LoggerType = kLogger96;
    script = ::testing::TempDir() + "korvalog-live-script-" + std::to_string(getpid()) + ".txt";
    panel = new ChartPanel(data, view, settings);
    panel->resize(800, 500);
    panel->show();
    data.AddObserver(panel);
  }
  void TearDown() override {
    if (data.Capturing.load() != 0) data.SetCapture(false);
    data.RemoveObserver(panel);
    delete panel;
    std::remove(script.c_str());
  }

  bool Connect(testing::SimProcess& sim) {
    link.SetDeviceResolver([&](uint8_t) { return sim.DevicePath(); });
    link.RestartLink();
    for (int i = 0; i < 40 && link.LinkState != LinkStep::Connected; ++i) {
      link.tick();
      WaitUntil([&] { return link.Decoder().LoggerAlive.load() == 1; }, 100ms);
    }
    return link.LinkState == LinkStep::Connected;
  }
  // The window's timer: a tick whenever the test waits.
  bool TickUntil(const std::function<bool()>& done) {
    return WaitUntil([&] {
      data.DeliverPendingNotifications();
      panel->Tick();
      QApplication::processEvents();
      return done();
    });
  }
  int RowTop(int row) { return panel->Grid()->Layout().CellRect(4, row, panel->Grid()->TopRow()).top(); }
  int WaveX(double t) {
    const ChartState& s = panel->State();
    return kStripLeft + TimeToX(t, s.SelectionStart, s.SelectionEnd, s.WaveWidth);
  }

  SystemClock clock;
  CaptureData data{clock};
  CaptureView view;
  LoggerSettings settings;
  NoUsbLoggers usb;
  LinkSupervisor link{data, settings, usb, clock};
  std::string script;
  ChartPanel* panel = nullptr;
};

TEST_F(LiveSim, EdgesAppearAtTheirTimesWhileTheCaptureRuns) {
  std::ofstream(script) << "2.5 2 1\n3.0 3 1\n3.5 2 0\n";
  testing::SimProcess sim({"--channels", "96", "--script", script});
  ASSERT_TRUE(sim.Running());
  ASSERT_TRUE(Connect(sim));
  data.SetCapture(true);
  ASSERT_TRUE(panel->Live().Following());
  EXPECT_TRUE(panel->FollowButton()->isVisible());
  // The first edge is drawn before the others have arrived.
  ASSERT_TRUE(TickUntil([&] { return panel->Live().Consumed() >= 1; }));
  {
    ASSERT_EQ(data.Capturing.load(), 1);
    const QImage grid = panel->Grid()->grab().toImage();
    const int x = WaveX(data.Store[0].time);
    EXPECT_TRUE(ColumnRun(grid, x, RowTop(2) + 2, RowTop(2) + 17, Ink(2))) << x;
  }
  ASSERT_TRUE(TickUntil([&] { return panel->Live().Consumed() >= 3; }));
  ASSERT_EQ(data.Capturing.load(), 1);
  const QImage grid = panel->Grid()->grab().toImage();
  const int rise = WaveX(data.Store[0].time), fall = WaveX(data.Store[2].time), up3 = WaveX(data.Store[1].time);
  EXPECT_LT(rise, fall);
  EXPECT_TRUE(ColumnRun(grid, rise, RowTop(2) + 2, RowTop(2) + 17, Ink(2)));
  EXPECT_TRUE(ColumnRun(grid, fall, RowTop(2) + 2, RowTop(2) + 17, Ink(2)));
  EXPECT_TRUE(ColumnRun(grid, up3, RowTop(3) + 2, RowTop(3) + 17, Ink(3)));
  EXPECT_EQ(grid.pixel((rise + fall) / 2, RowTop(2) + 2), Ink(2));   // HIGH between
  EXPECT_NE(grid.pixel((rise + fall) / 2, RowTop(2) + 17), Ink(2));
  ASSERT_GT(rise, kStripLeft + 2);  // the capture started before the script's first change
  EXPECT_EQ(grid.pixel((kStripLeft + rise) / 2, RowTop(2) + 17), Ink(2));  // LOW before
  // Stopped: the whole capture, as a finished one shows it.
  data.SetCapture(false);
  EXPECT_FALSE(panel->State().Live);
  EXPECT_FALSE(panel->FollowButton()->isVisible());
  EXPECT_EQ(panel->State().ZoomStart.time, data.CaptureStart.time);
  EXPECT_EQ(panel->State().ZoomEnd.time, data.CaptureEnd.time);
  EXPECT_EQ(panel->State().HistoryDepth, 0);
}

TEST_F(LiveSim, AFullStoreStopsCleanlyAndThenShowsAllOfIt) {
  data.SetStoreLimit(400);
  testing::SimProcess sim({"--channels", "96", "--pattern", "lift", "--rate", "400", "--seed", "3"});
  ASSERT_TRUE(sim.Running());
  ASSERT_TRUE(Connect(sim));
  data.SetCapture(true);
  ASSERT_TRUE(TickUntil([&] { return panel->Live().Consumed() > 0; }));
  EXPECT_TRUE(panel->State().Live);
  ASSERT_TRUE(TickUntil([&] { return data.Capturing.load() == 0 && !panel->State().Live; }));
  EXPECT_EQ(data.Store.Count(), 400u);
  const ChartState& s = panel->State();
  EXPECT_EQ(s.ZoomStart.time, data.CaptureStart.time);
  EXPECT_EQ(s.ZoomEnd.time, data.CaptureEnd.time);
  EXPECT_EQ(s.ZoomEnd.index, 400u);
  // The last record's edge is drawn where the whole capture puts it.
  const EventRecord& last = data.Store[399];
  const int row = last.channel;  // display order as it starts: row n shows channel n
  panel->Grid()->SetTopRow(row);
  const QImage shown = panel->Grid()->grab().toImage();
  EXPECT_TRUE(ColumnRun(shown, WaveX(last.time), RowTop(row) + 2, RowTop(row) + 17, Ink(last.channel)));
}

}  // namespace
}  // namespace korvalog
