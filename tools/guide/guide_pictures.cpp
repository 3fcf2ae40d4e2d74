#include "guide_pictures.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/demo_logger.h"
#include "app/qt/about_form.h"
#include "app/qt/compare_windows.h"
#include "app/qt/main_form.h"
#include "app/qt/notes_form.h"
#include "app/qt/report_windows.h"
#include "app/qt/side_windows.h"
#include "base/date_time.h"
#include "chart/qt/chart_panel.h"
#include "chart/strip_walk.h"
#include "core/capture_data.h"
#include "core/clock.h"
#include "project/project_file.h"
#include "transport/lift_traffic.h"
#include "settings/qt/properties_form.h"
#include "transport/usb_loggers.h"
#include "ui/markup_style.h"

namespace korvalog::guide {
namespace {

// Lets the windows lay themselves out and the main window's timer tick.
void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

QImage Grab(QWidget& w) { return w.grab().toImage(); }

// Runs `open`, which shows a modal dialog, draws the dialog once it is up
// and closes it again.
QImage GrabModal(const std::function<void()>& open) {
  QImage shot;
  QTimer::singleShot(400, [&shot] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    shot = Grab(*modal);
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
  });
  open();
  return shot;
}

// The time of the capture's first Sequencer violation; 0 when none.
double FirstViolation(const CaptureData& data, const CaptureView& view) {
  double at = 0;
  WalkStrip(data, view, data.CaptureStart, data.CaptureEnd, [&at](const StripStep& step) {
    if (step.violation && at == 0) at = step.event.time;
  });
  return at;
}

// Selects `from`..`to` with the handles under the strip and zooms into it.
void ZoomInto(ChartPanel& chart, double from, double to) {
  ChartState& s = chart.State();
  const double start = s.ZoomStart.time, span = s.ZoomEnd.time - start;
  if (span <= 0) return;
  auto x = [&](double t) { return s.ZoomLeft + static_cast<int>((t - start) / span * s.ZoomWidth); };
  chart.LeftHandle()->SetPosX(x(from));
  chart.RightHandle()->SetPosX(x(to) + 1);
  s.SelectionHandleChanged(SelectionHandle::Left, x(from));
  s.SelectionHandleChanged(SelectionHandle::Right, x(to) + 1);
  emit chart.ZoomWinButton()->Clicked();
}

// Writes a visit a week before `sample`'s, of a generated lift whose doors
// close slower, as a reference to compare with.
bool WriteEarlierVisit(const CaptureData& sample, const std::string& path) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  NameLiftInputs(view.Traces);
  sim::LiftTrafficParameters p;
  p.doorCloseMs = 4000;
  sim::LiftTraffic lift(p);
  sim::RecordLiftTraffic(lift, data, clock, sample.CaptureStart.time - 7, 30 * 60000);
  return WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok;
}

}  // namespace

std::map<QString, QImage> DrawGuidePictures(const std::string& samplePath) {
  std::map<QString, QImage> pictures;
  SystemClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  LoggerSettings settings;
  NoUsbLoggers usb;
  MarkupStyle markup;
  TMainForm main(MainFormContext{data, view, settings, usb, clock, markup, false, nullptr, samplePath});
  TPropertiesForm properties(&main, [](uint8_t port) { return "/dev/ttyUSB" + std::to_string(port - 1); });
  TAboutForm about(&main);
  AnalysisWindows analysis(data, view, settings, main);
  TNotesForm notes(&main);
  ReportWindows report(data, view, main);
  CompareWindows compare(data, view, clock, main, report);
  analysis.CreateStatistics();
  main.AttachSideWindows(
      SideWindows{&properties, &about, analysis.Sequencer(), &notes, analysis.Statistics(), &report});
  main.SetOpenUrl([](const QString&, std::function<void()>) {});

  main.resize(760, 560);
  main.show();
  Settle(1200);
  pictures[QStringLiteral("main-window.png")] = Grab(main);

  pictures[QStringLiteral("properties.png")] = GrabModal([&] { main.bPropertiesClick(); });
  pictures[QStringLiteral("export.png")] = GrabModal([&] { main.bExportClick(); });
  pictures[QStringLiteral("statistics.png")] = GrabModal([&] { main.bStatisticsClick(); });

  // The sample carries roles: the Report window opens on its figures.
  // Sized as on a desktop, not to the small offscreen screen.
  main.bReportClick();
  report.Report()->resize(900, 620);
  Settle(800);
  pictures[QStringLiteral("report.png")] = Grab(*report.Report());
  report.Report()->hide();
  report.ShowRoles();
  report.Roles()->resize(560, 520);
  Settle(400);
  pictures[QStringLiteral("roles.png")] = Grab(*report.Roles());
  report.Roles()->hide();

  main.bSequencerClick();
  Settle(600);
  if (QWidget* sequencer = analysis.Sequencer()) pictures[QStringLiteral("sequencer.png")] = Grab(*sequencer);

  // The first fault the pattern finds, with the trip around it.
  const double fault = FirstViolation(data, view);
  if (fault != 0) {
    ZoomInto(main.Chart(), fault - 20.0 / kSecondsPerDay, fault + 16.0 / kSecondsPerDay);
    Settle(600);
  }
  pictures[QStringLiteral("zoomed.png")] = Grab(main);
  if (QWidget* sequencer = analysis.Sequencer()) sequencer->hide();

  // The same stretch with last week's visit as the reference under it.
  QTemporaryDir folder;
  const std::string earlier = folder.filePath(QStringLiteral("earlier.kv")).toStdString();
  if (WriteEarlierVisit(data, earlier) && compare.OpenReference(earlier)) {
    main.resize(920, 760);
    Settle(600);
    pictures[QStringLiteral("compare.png")] = Grab(main);
    compare.CloseReference();
  }
  main.hide();
  return pictures;
}

}  // namespace korvalog::guide
