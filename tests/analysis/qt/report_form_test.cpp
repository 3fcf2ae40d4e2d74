// The Report and Roles windows on the offscreen platform: the plots drawn
// from a generated lift, a click on a spell, a bar or a table row zooming to
// what it stands for, and roles edited through the window's own controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "analysis/qt/report_form.h"
#include "analysis/qt/roles_form.h"
#include "app/demo_logger.h"
#include "core/capture_data.h"
#include "transport/lift_traffic.h"

namespace korvalog {
namespace {

constexpr double kStart = 46091.25;

struct GeneratedLift {
  GeneratedLift() {
    SetStartupDefaults(data, view);
    NameLiftChannels(view.Traces);
    view.Traces.SetRoles(LiftRoles(view.Traces.Table()));
    sim::LiftTrafficParameters p;
    p.outOfServiceFromMs = 20 * 60000;
    p.outOfServiceToMs = 26 * 60000;
    sim::LiftTraffic lift(p);
    sim::RecordLiftTraffic(lift, data, clock, kStart, 60 * 60000);
  }
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
};

TEST(ReportForm, ClickingASpellABarOrARowZoomsThere) {
  GeneratedLift lift;
  TReportForm form(lift.data, lift.view);
  std::vector<std::pair<double, double>> zooms;
  form.SetOnZoom([&](double from, double to) { zooms.push_back({from, to}); });
  form.resize(900, 700);
  form.show();
  form.findChild<QTabWidget*>()->setCurrentIndex(1);  // the plots, after the summary
  ASSERT_EQ(form.Plots().size(), 7u);
  EXPECT_TRUE(form.Plots()[6]->isHidden());  // the daily trend: an hour's capture has none

  // The availability timeline: the spell is drawn red where it lies.
  PlotView* timeline = form.Plots()[4];
  ASSERT_EQ(timeline->Plan().kind, PlotKind::Timeline);
  ASSERT_EQ(timeline->Plan().bars.size(), 1u);
  timeline->resize(420, 220);
  const PlotFrame f = PlotFrame::For(420, 220);
  const int x = static_cast<int>(f.X(timeline->Plan(), kStart + 23.0 / 1440.0));
  const int y = f.top + f.height / 2;
  const QImage image = timeline->grab().toImage();
  EXPECT_EQ(image.pixelColor(x, y), QColor(0xc0, 0x30, 0x30));
  EXPECT_EQ(image.pixelColor(f.left + 5, y), QColor(Qt::white));  // in service before
  QTest::mouseClick(timeline, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
  ASSERT_EQ(zooms.size(), 1u);
  EXPECT_LE(zooms[0].first, kStart + 20.0 / 1440.0);
  EXPECT_GE(zooms[0].second, kStart + 26.0 / 1440.0);
  QTest::mouseClick(timeline, Qt::LeftButton, Qt::NoModifier, QPoint(f.left + 5, y));
  EXPECT_EQ(zooms.size(), 1u);  // nothing there

  // The door closing histogram: one bar, its longest closing.
  PlotView* closing = form.Plots()[0];
  closing->resize(420, 220);
  ASSERT_FALSE(closing->Plan().bars.empty());
  const PlotBar& bar = closing->Plan().bars.back();
  const PlotFrame g = PlotFrame::For(420, 220);
  QTest::mouseClick(closing, Qt::LeftButton, Qt::NoModifier,
                    QPoint(static_cast<int>((g.X(closing->Plan(), bar.x0) + g.X(closing->Plan(), bar.x1)) / 2),
                           g.top + g.height - 2));
  ASSERT_EQ(zooms.size(), 2u);
  EXPECT_NEAR((zooms[1].second - zooms[1].first) * 86400.0, 3.0, 0.002);  // a 3 s closing

  // A row of the Doors table: the longest opening.
  QTableWidget* doors = form.Tables()[0];
  doors->cellClicked(0, 0);
  ASSERT_EQ(zooms.size(), 3u);
  EXPECT_NEAR((zooms[2].second - zooms[2].first) * 86400.0, 2.5, 0.002);
}

// The Figures page is built when it is first shown, from the report as
// computed at the opening, with the same cells as the report's tables.
TEST(ReportForm, FiguresPageBuiltWhenShownHoldsTheReportsTables) {
  GeneratedLift lift;
  TReportForm form(lift.data, lift.view);
  form.show();
  const auto pageTables = [&] {
    return form.findChild<QTabWidget*>()->widget(2)->findChildren<QTableWidget*>().size();
  };
  EXPECT_EQ(pageTables(), 0);  // the Summary opens; the Figures page waits
  form.findChild<QTabWidget*>()->setCurrentIndex(2);
  const std::vector<ReportTable> want = ReportTables(form.Report(), lift.view.Traces, TReportForm::kMaxTableRows);
  ASSERT_EQ(static_cast<size_t>(pageTables()), want.size());
  const std::vector<QTableWidget*> shown = form.Tables();
  ASSERT_EQ(shown.size(), want.size());
  for (size_t k = 0; k < want.size(); ++k) {
    ASSERT_EQ(static_cast<size_t>(shown[k]->rowCount()), std::min<size_t>(want[k].rows.size(), TReportForm::kMaxTableRows));
    for (int r = 0; r < shown[k]->rowCount(); ++r) {
      for (size_t c = 0; c < want[k].rows[r].size(); ++c) {
        EXPECT_EQ(shown[k]->item(r, static_cast<int>(c))->text().toStdString(), want[k].rows[r][c]) << want[k].title;
      }
    }
  }
}

TEST(ReportForm, SavesTheThreeFormats) {
  GeneratedLift lift;
  TReportForm form(lift.data, lift.view);
  form.SetSourceName("lift.kv");
  form.Recompute();
  const QString dir = QDir::tempPath() + QStringLiteral("/korvalog-report-form-%1").arg(QCoreApplication::applicationPid());
  QDir().mkpath(dir);
  for (const char* name : {"r.html", "r.pdf", "r.csv"}) {
    const std::string path = (dir + "/" + name).toStdString();
    EXPECT_TRUE(form.SaveTo(path).ok) << name;
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(16);
    const std::string want = std::string(name) == "r.pdf"   ? "%PDF-"
                             : std::string(name) == "r.csv" ? "kind,start_s"
                                                            : "<!DOCTYPE html>";
    EXPECT_TRUE(head.startsWith(want.c_str())) << name;
  }
  QDir(dir).removeRecursively();
}

// The site typed on the Summary tab goes to the host and into the documents;
// the key figures show their verdicts, and a missing role is said, not 100 %.
TEST(ReportForm, SiteDetailsAndKeyFiguresOnTheFirstPage) {
  GeneratedLift lift;
  lift.view.Site.site = "Mill Court";
  TReportForm form(lift.data, lift.view);
  SiteDetails kept;
  form.SetOnSiteEdited([&](const SiteDetails& s) { kept = s; });
  form.Recompute();
  EXPECT_EQ(form.SiteEdit(0)->text(), QStringLiteral("Mill Court"));
  form.SiteEdit(1)->setText(QStringLiteral("Lift 2"));
  emit form.SiteEdit(1)->editingFinished();
  EXPECT_EQ(kept.site, "Mill Court");
  EXPECT_EQ(kept.lift, "Lift 2");
  ASSERT_EQ(form.KeyFigures()->rowCount(), kKeyFigures);
  EXPECT_FALSE(form.KeyFigures()->item(0, 2)->text().isEmpty());  // availability judged

  const QString dir = QDir::tempPath() + QStringLiteral("/korvalog-report-site-%1").arg(QCoreApplication::applicationPid());
  QDir().mkpath(dir);
  const std::string html = (dir + "/r.html").toStdString();
  ASSERT_TRUE(form.SaveTo(html).ok);
  QFile page(QString::fromStdString(html));
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QByteArray text = page.readAll();
  EXPECT_TRUE(text.contains("Mill Court \xC2\xB7 Lift 2"));
  EXPECT_TRUE(text.contains("Mean hall-call wait"));

  // A targets file judges the figures; a bad one is named and changes nothing.
  QFile bad(dir + "/bad.txt");
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("availability good 200\nmean-wiat good 1\n");
  bad.close();
  EXPECT_FALSE(form.LoadTargets((dir + "/bad.txt").toStdString()));
  EXPECT_EQ(form.KeyFigures()->item(0, 3)->text().toStdString(), ReportTargets{}.Text(KeyFigure::Availability));
  EXPECT_FALSE(form.LoadTargets(dir.toStdString()));  // a folder
  QFile good(dir + "/good.txt");
  ASSERT_TRUE(good.open(QIODevice::WriteOnly));
  good.write("availability good 100\n");
  good.close();
  EXPECT_TRUE(form.LoadTargets((dir + "/good.txt").toStdString()));
  EXPECT_EQ(form.KeyFigures()->item(0, 2)->text(), QStringLiteral("poor"));

  // Without the out-of-service role availability is not measured.
  ChannelRoles roles = lift.view.Traces.Roles();
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    if (roles[ch].role == ChannelRole::OutOfService) roles.Set(ch, ChannelRole::None);
  }
  lift.view.Traces.SetRoles(roles);
  form.Recompute();
  EXPECT_EQ(form.KeyFigures()->item(0, 1)->text(),
            QStringLiteral("not measured (no out of service, fire service or inspection role)"));
  const std::string pdf = (dir + "/r.pdf").toStdString();
  EXPECT_TRUE(form.SaveTo(pdf).ok);
  QDir(dir).removeRecursively();
}

TEST(RolesForm, ProposesFromNamesAndTakesEditsOnOk) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  NameLiftChannels(view.Traces);
  view.Traces.SetName(30, "Alarm bell");
  data.DataPresent.store(1);
  TRolesForm form(data, view);
  form.ShowFor(13);
  EXPECT_FALSE(view.Traces.Roles().Any());  // nothing taken before OK
  EXPECT_EQ(form.Edited()[13].role, ChannelRole::DoorOpenRelay);
  EXPECT_EQ(form.Edited()[30].role, ChannelRole::Alarm);
  EXPECT_EQ(form.Table()->currentRow(), 12);

  // Channel 22 made a car call of floor 4 through its row's controls.
  auto* role = static_cast<QComboBox*>(form.Table()->cellWidget(21, 2));
  auto* floor = static_cast<QSpinBox*>(form.Table()->cellWidget(21, 3));
  EXPECT_FALSE(floor->isEnabled());
  role->setCurrentIndex(static_cast<int>(ChannelRole::CarCall));
  EXPECT_TRUE(floor->isEnabled());
  floor->setValue(4);
  EXPECT_EQ(form.Edited()[22], (ChannelRoleEntry{ChannelRole::CarCall, 4}));

  QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("bOK")), Qt::LeftButton);
  EXPECT_EQ(view.Traces.Roles()[22], (ChannelRoleEntry{ChannelRole::CarCall, 4}));
  EXPECT_EQ(view.Traces.Roles()[14].role, ChannelRole::DoorCloseRelay);
  EXPECT_EQ(data.DataModified.load(), 1);
  EXPECT_FALSE(form.isVisible());

  // Cancel leaves the roles; Clear all then Propose fills only the blanks.
  data.DataModified.store(0);
  form.ShowFor();
  form.ClearAll();
  form.SetRole(13, ChannelRole::Alarm);
  form.ProposeFromNames();
  EXPECT_EQ(form.Edited()[13].role, ChannelRole::Alarm);
  EXPECT_EQ(form.Edited()[14].role, ChannelRole::DoorCloseRelay);
  QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("bCancel")), Qt::LeftButton);
  EXPECT_EQ(view.Traces.Roles()[13].role, ChannelRole::DoorOpenRelay);
  EXPECT_EQ(data.DataModified.load(), 0);
}

}  // namespace
}  // namespace korvalog
