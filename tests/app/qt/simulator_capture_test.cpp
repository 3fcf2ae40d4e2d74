// End to end: the main window against the real korvalog-sim on a
// pseudo-terminal, mapped to port 1 through KORVALOG_COM1. The link comes
// up, a capture is pressed on and off, the chart draws it, Save writes a
// project that korvalog-cli reads back with the same event count.
#include <QFileDialog>
#include <QLabel>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "app/qt/status_panels.h"
#include "chart/qt/chart_panel.h"
#include "project/temp_dir.h"
#include "support/qt/wait_until_shown.h"
#include "tools/fast_stream.h"
#include "tools/sim_process.h"
#include "ui/qt/btn_transparent.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

using korvalog::testing::WaitUntilShown;
using namespace std::chrono_literals;

std::string CliInfo(const std::string& path) {
  const std::string command = std::string(KORVALOG_CLI_PATH) + " info '" + path + "' 2>&1";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

TEST(SimulatorCapture, CaptureChartAndSave) {
  testing_support::TempDir dir;
  korvalog::testing::SimProcess sim({"--rate", "20"});
  ASSERT_TRUE(sim.Running());
  qputenv("KORVALOG_COM1", QByteArray::fromStdString(sim.DevicePath()));
  StoreForWindow(1, kLogger96, 5, false);
  ProgramWindows w;
  w.main.show();
  EXPECT_EQ(w.main.Status().PanelText(2), "COM1, 96 channels, 50mS debounce");

  ASSERT_TRUE(WaitUntilShown([&] { return w.main.Status().PanelText(1) == "Logger OK"; }, 10000ms));
  ASSERT_TRUE(w.main.bCapture->isEnabled());
  QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
  EXPECT_TRUE(w.data.Capturing.load());
  const QRegularExpression capturing(QStringLiteral("^Capturing \\[(\\d+) events\\]$"));
  ASSERT_TRUE(WaitUntilShown(
      [&] {
        const auto m = capturing.match(w.main.lCapStat->text());
        return m.hasMatch() && m.captured(1).toInt() >= 10;
      },
      10000ms));
  EXPECT_TRUE(w.main.bCapture->Down());
  // The chart draws the capture as it arrives, following its newest events.
  auto* chart = w.main.findChild<ChartPanel*>(QStringLiteral("Chart"));
  ASSERT_NE(chart, nullptr);
  ASSERT_TRUE(WaitUntilShown([&] { return chart->Live().Consumed() >= 10; }, 3000ms));
  EXPECT_TRUE(chart->Live().Following());
  int edges = 0;
  for (const auto& channel : chart->State().Waveforms().channels)
    for (const LevelSegment& s : channel) edges += s.edge ? 1 : 0;
  EXPECT_GE(edges, 1);
  QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
  EXPECT_FALSE(w.data.Capturing.load());
  const uint32_t events = w.data.Store.Count();
  ASSERT_GE(events, 10u);
  ASSERT_TRUE(WaitUntilShown([&] { return w.main.lCapStat->text().startsWith("Captured: "); }, 3000ms));
  EXPECT_EQ(w.main.lCapStat->text(), QStringLiteral("Captured: %1 events").arg(events));
  EXPECT_FALSE(w.main.bCapture->Down());

  const std::string file = dir / "lift.kv";
  ModalAnswer save{ChooseFile(file)};
  AnswerNextModal(save);
  w.main.bSaveClick();
  EXPECT_EQ(save.seen, 1);
  EXPECT_FALSE(w.data.DataModified.load());
  const std::string info = CliInfo(file);
  EXPECT_NE(info.find("events\t" + std::to_string(events) + "\n"), std::string::npos) << info;
  qunsetenv("KORVALOG_COM1");
}

// A logger streaming 50,000 changes a second into the window's capture, on
// either kind of line, from a script or from the simulator's own pattern:
// every change is stored, in order, the chart keeps up with them and the
// link is never called lost.
class SimulatorFastCapture : public ::testing::TestWithParam<korvalog::testing::FastStreamCase> {};

TEST_P(SimulatorFastCapture, EveryChangeOfAFastStreamIsStored) {
  using namespace korvalog::testing;
  const auto [channels, lift] = GetParam();
  testing_support::TempDir dir;
  const std::vector<StreamedChange> sent = GetParam().Sent();
  const std::string script = dir / "fast.txt";
  std::ofstream(script) << ScriptFor(sent, kFastChangesPerSecond);
  SimProcess sim(GetParam().SimArgs(script));
  ASSERT_TRUE(sim.Running());
  qputenv("KORVALOG_COM1", QByteArray::fromStdString(sim.DevicePath()));
  StoreForWindow(1, channels == 96 ? kLogger96 : kLogger128, 5, false);
  ProgramWindows w;
  w.main.Link().StartCaptureWithLogger();  // from the logger's first change
  w.main.show();
  ASSERT_TRUE(WaitUntilShown([&] { return w.data.Store.Count() >= sent.size(); }, 60000ms))
      << w.data.Store.Count();
  auto* chart = w.main.findChild<ChartPanel*>(QStringLiteral("Chart"));
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(WaitUntilShown([&] { return chart->Live().Consumed() >= sent.size(); }, 5000ms));
  EXPECT_GT(chart->LiveFrames(), 0u);  // drawn by the live frames, not only the status tick
  QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
  EXPECT_FALSE(w.data.Capturing.load());
  EXPECT_TRUE(w.main.Link().Gaps().Gaps().empty()) << w.main.Status().PanelText(1).toStdString();
  // The endless pattern goes on after the capture: its first changes count.
  const uint32_t count = lift ? std::min<uint32_t>(w.data.Store.Count(), kFastChanges) : w.data.Store.Count();
  EXPECT_EQ(FirstDifference(w.data.Store, count, sent), "");
  const int simStatus = sim.Stop();
  if (!lift) {
    EXPECT_EQ(simStatus, 0) << "the simulator could not send everything";
  }
  qunsetenv("KORVALOG_COM1");
}

INSTANTIATE_TEST_SUITE_P(Loggers, SimulatorFastCapture, ::testing::ValuesIn(korvalog::testing::kFastStreamCases),
                         [](const auto& info) { return korvalog::testing::FastStreamName(info.param); });

}  // namespace
}  // namespace korvalog::test
