// Compare with... in the main window on the offscreen platform: a reference
// that cannot be read is refused with its message, one that can is drawn
// under the chart with a Compare page in the Report window, F3 walks the
// differing runs, and closing it leaves the open capture untouched. With
// KORVALOG_COMPARE_SHOTS set, the window is saved there as a picture.
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <cstdlib>

#include "analysis/qt/compare_page.h"
#include "app/demo_logger.h"
#include "app/qt/compare_windows.h"
#include "app/qt/report_windows.h"
#include "app/startup_options.h"
#include "chart/qt/chart_panel.h"
#include "chart/qt/reference_panel.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "support/wait_until.h"
#include "transport/lift_traffic.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

using testing_support::TempDir;

std::string Visit(const TempDir& dir, const char* name, double start, int64_t closeMs) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  NameLiftInputs(view.Traces);
  view.Sequence[0] = SequenceRow{sim::LiftChannels::kDoorCloseRelay, 1, 0, 0};
  view.Sequence[1] = SequenceRow{sim::LiftChannels::kDoorClosedLimit, 1, 0, 0};
  sim::LiftTrafficParameters p;
  p.seed = 5;
  p.doorCloseMs = closeMs;
  sim::LiftTraffic lift(p);
  sim::RecordLiftTraffic(lift, data, clock, start, 15 * 60000);
  const std::string path = dir / name;
  EXPECT_TRUE(WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok);
  return path;
}

TEST(CompareWindow, ReferenceUnderTheChartComparePageWalkerAndClose) {
  StoreForWindow(1, kLoggerUsb, 5, false);
  TempDir dir;
  const std::string now = Visit(dir, "june.kv", 46091.25, 3200), then = Visit(dir, "march.kv", 46084.25, 4000);
  ProgramWindows w(ParseStartupArguments({now}).loadPath);
  ReportWindows report(w.data, w.view, w.main);
  CompareWindows compare(w.data, w.view, w.clock, w.main, report);
  w.main.resize(1000, 700);
  w.main.show();
  QApplication::processEvents();
  ASSERT_GT(w.data.Store.Count(), 0u);
  const uint32_t events = w.data.Store.Count();
  const QString caption = w.main.windowTitle();

  // Unreadable: refused with the file's message, nothing opened.
  ModalAnswer refused{PressKey(Qt::Key_Return)};
  AnswerNextModal(refused);
  EXPECT_FALSE(compare.OpenReference(dir / "missing.kv"));
  EXPECT_EQ(refused.seen, 1);
  EXPECT_FALSE(compare.Reference().Open());
  EXPECT_FALSE(compare.Panel()->isVisible());

  ASSERT_TRUE(compare.OpenReference(then));
  QApplication::processEvents();
  ReferencePanel* panel = compare.Panel();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(compare.Reference().Rows().size(), 23u);
  EXPECT_DOUBLE_EQ(compare.Reference().OffsetDays(), -7.0);
  EXPECT_LE(w.main.Chart().geometry().bottom(), panel->geometry().top());
  // Every button whole and inside the panel, down to the narrowest window;
  // the walker's caption gives way there.
  for (const int width : {TMainForm::kMinWidth, TMainForm::kClientWidth, 1000}) {
    w.main.resize(width, 700);
    QApplication::processEvents();
    for (const QWidget* c : std::initializer_list<const QWidget*>{panel->AlignHereButton(), panel->AlignMarkersButton(),
                                                                  panel->TimeOfDayButton(), panel->WalkBox(),
                                                                  panel->ToleranceBox(), panel->CloseButton()}) {
      if (c != panel->WalkBox() || width == 1000) {
        EXPECT_GE(c->width(), c->sizeHint().width()) << width << " " << c->objectName().toStdString();
      }
      EXPECT_LE(c->geometry().right(), panel->width()) << width << " " << c->objectName().toStdString();
    }
  }
  // The Compare page: the table, and two overlaid histograms.
  ASSERT_NE(compare.Page(), nullptr);
  EXPECT_GE(report.Report()->Tabs()->indexOf(compare.Page()), 0);
  EXPECT_GT(compare.Page()->Table()->rowCount(), 10);
  EXPECT_EQ(compare.Page()->Plots()[0]->Plan().series.size(), 2u);

  // F3 with the walker on: every closing is 0.8 s quicker than the reference's.
  panel->WalkBox()->setChecked(true);
  w.main.Chart().GoTo(w.data.CaptureStart.time);
  ASSERT_TRUE(compare.StepDifference(true));
  ASSERT_FALSE(compare.Walker().Differences().empty());
  EXPECT_NEAR(compare.Walker().Differences()[0].Difference(), -0.8, 1e-3);
  EXPECT_NEAR(w.main.Chart().State().CursorTime(MeasuringCursor::First), compare.Walker().Differences()[0].start,
              1e-9);
  // The readout: both levels at cursor 1 and the offset.
  EXPECT_TRUE(korvalog::testing::WaitUntil([&] { return panel->Readout()->text().contains(QStringLiteral("offset -7")); },
                        std::chrono::seconds(5), [] { QApplication::processEvents(); }))
      << panel->Readout()->text().toStdString();

  if (const char* shots = std::getenv("KORVALOG_COMPARE_SHOTS")) {
    QApplication::processEvents();
    w.main.grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/aligned-chart.png"));
  }

  // Closing the reference leaves the open capture as it was.
  QTest::mouseClick(panel->CloseButton(), Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_FALSE(compare.Reference().Open());
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(compare.Page(), nullptr);
  EXPECT_EQ(w.data.Store.Count(), events);
  EXPECT_EQ(w.data.DataModified.load(), 0);
  w.main.RefreshCaption();
  EXPECT_EQ(w.main.windowTitle(), caption);
}

}  // namespace
}  // namespace korvalog::test
