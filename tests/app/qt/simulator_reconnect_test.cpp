// The main window against the real korvalog-sim, whose link (port 1 through
// KORVALOG_COM1) is removed during a capture and made anew by a second
// simulator: the window says where the link was lost, opens the port again
// and the capture goes on.
#include <QLabel>
#include <gtest/gtest.h>

#include <memory>

#include "app/qt/status_panels.h"
#include "project/temp_dir.h"
#include "support/qt/wait_until_shown.h"
#include "tools/sim_process.h"
#include "ui/qt/btn_transparent.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

using korvalog::testing::WaitUntilShown;
using namespace std::chrono_literals;

TEST(SimulatorReconnect, UnpluggedLoggerComesBackIntoTheSameCapture) {
  testing_support::TempDir dir;
  const std::string link = dir / "logger";
  auto plug = [&] {
    return std::make_unique<korvalog::testing::SimProcess>(
        std::vector<std::string>{"--rate", "20", "--link", link});
  };
  std::unique_ptr<korvalog::testing::SimProcess> sim = plug();
  ASSERT_TRUE(sim->Running());
  qputenv("KORVALOG_COM1", QByteArray::fromStdString(link));
  StoreForWindow(1, kLogger96, 5, false);
  ProgramWindows w;
  w.main.show();
  const auto panel = [&] { return w.main.Status().PanelText(1); };
  ASSERT_TRUE(WaitUntilShown([&] { return panel() == "Logger OK"; }, 10000ms));
  QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
  ASSERT_TRUE(WaitUntilShown([&] { return w.data.Store.Count() >= 5; }, 10000ms));

  sim->Stop();
  ASSERT_TRUE(WaitUntilShown([&] { return panel().startsWith("NO Logger - Logger link lost at "); }, 10000ms))
      << panel().toStdString();
  const uint32_t before = w.data.Store.Count();
  EXPECT_TRUE(panel().contains(QStringLiteral(" after %1 events, reconnecting").arg(before)))
      << panel().toStdString();
  EXPECT_TRUE(w.main.bCapture->Down());

  sim = plug();
  ASSERT_TRUE(sim->Running());
  ASSERT_TRUE(WaitUntilShown([&] { return panel().startsWith("Logger OK - Logger link back at "); }, 15000ms))
      << panel().toStdString();
  ASSERT_TRUE(WaitUntilShown([&] { return w.data.Store.Count() >= before + 5; }, 10000ms));
  EXPECT_TRUE(w.data.Capturing.load());
  QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
  EXPECT_FALSE(w.data.Capturing.load());
  ASSERT_EQ(w.main.Link().Gaps().Gaps().size(), 1u);
  EXPECT_EQ(w.main.Link().Gaps().Gaps()[0].eventIndex, before);
  w.data.DataModified.store(0);
  qunsetenv("KORVALOG_COM1");
}

}  // namespace
}  // namespace korvalog::test
