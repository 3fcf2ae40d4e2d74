// The window's continuous capture with the live chart following, against
// the real korvalog-sim: a store of 20 events fills again and again while
// the receive thread appends, and after every tick of the window the levels
// the chart shows are those of the events sent up to the one it has read.
// Run under ThreadSanitizer too: the chart reads the store while it fills.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sstream>

#include "chart/qt/chart_panel.h"
#include "project/temp_dir.h"
#include "session/continuous_parts.h"
#include "support/wait_until.h"
#include "tools/sim_process.h"
#include "ui/qt/btn_transparent.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

namespace fs = std::filesystem;

constexpr int kChannels = 16;
constexpr int kEvents = 130;
constexpr uint32_t kStoreEvents = 20;

// Event i: channel 1 + 5i mod 16, each one the opposite of that channel's
// level before, 40 ms apart. levels[n] holds the levels after n events.
struct Script {
  std::string text;
  std::vector<std::array<uint8_t, kChannels>> levels{1};
};

Script MakeScript() {
  Script s;
  std::ostringstream text;
  for (int i = 0; i < kEvents; ++i) {
    const int c = (i * 5) % kChannels;
    std::array<uint8_t, kChannels> next = s.levels.back();
    next[c] ^= 1;
    s.levels.push_back(next);
    text << 2.0 + 0.04 * i << ' ' << c + 1 << ' ' << int{next[c]} << '\n';
  }
  s.text = text.str();
  return s;
}

TEST(ContinuousCaptureLiveChart, FollowsEveryPartWithTheLevelsSent) {
  testing_support::TempDir dir;
  const Script script = MakeScript();
  testing_support::WriteBytes(dir / "lift.script", script.text);
  korvalog::testing::SimProcess sim({"--script", dir / "lift.script"});
  ASSERT_TRUE(sim.Running());
  qputenv("KORVALOG_COM1", QByteArray::fromStdString(sim.DevicePath()));
  StoreForWindow(1, kLogger96, 5, false);
  const std::string folder = dir / "parts";
  fs::create_directories(folder);
  {
    ProgramWindows w(std::nullopt, false, dir / "journals");
    w.main.show();
    w.settings.WhenFull = FullStoreChoice{true, folder, 0};
    w.data.SetStoreLimit(kStoreEvents);
    LiveChart& live = w.main.Chart().Live();
    const ChartState& state = w.main.Chart().State();
    const auto wait = [](const std::function<bool()>& done) {
      return korvalog::testing::WaitUntil(done, std::chrono::seconds(60), [] { QTest::qWait(5); });
    };
    ASSERT_TRUE(wait([&] { return w.main.Link().LinkState == LinkStep::Connected && w.main.bCapture->isEnabled(); }));
    QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
    ASSERT_TRUE(w.data.Capturing.load());
    const uint32_t firstPart = live.Part();
    int checks = 0, checksInALaterPart = 0, pans = 0;
    uint32_t read = 0;
    ASSERT_TRUE(wait([&] {
      // The events the chart has read: every full part before its own, and
      // what it read of that.
      read = (live.Part() - firstPart) * kStoreEvents + live.Consumed();
      if (read > kEvents) return true;  // reported below
      const PositionSnapshot shown = live.EndSnapshot();
      for (int c = 0; c < kChannels; ++c) {
        EXPECT_EQ(shown.states[c], script.levels[read][c]) << "channel " << c + 1 << " after " << read;
        const std::vector<LevelSegment>& trace = state.Waveforms().channels[c];
        if (live.Following() && state.Live && !trace.empty()) {
          EXPECT_EQ(trace.back().level, script.levels[read][c]) << "trace " << c + 1 << " after " << read;
        }
      }
      ++checks;
      if (live.Part() != firstPart && live.Consumed() > 0) ++checksInALaterPart;
      // Now and then a look back, and back to following.
      if (checks % 40 == 20 && w.main.Chart().Navigator().Pan(-0.5)) ++pans;
      if (checks % 40 == 30) w.main.Chart().SetFollowing(true);  // the Follow button
      return read == kEvents && !w.main.Session().PartWaiting();
    }));
    EXPECT_EQ(read, uint32_t{kEvents});
    EXPECT_GE(live.Part() - firstPart, kEvents / kStoreEvents);
    EXPECT_GT(checksInALaterPart, 0);
    QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
    EXPECT_FALSE(w.data.Capturing.load());
    RecordProperty("checks", checks);
    RecordProperty("pans", pans);
  }
  qunsetenv("KORVALOG_COM1");
  size_t parts = 0;
  for (const auto& e : fs::directory_iterator(folder)) parts += IsContinuousPartName(e.path().filename().string());
  EXPECT_EQ(parts, size_t{kEvents / kStoreEvents + 1});
}

}  // namespace
}  // namespace korvalog::test
