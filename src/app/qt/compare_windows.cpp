#include "app/qt/compare_windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "analysis/qt/compare_page.h"
#include "analysis/report_compare.h"
#include "app/main_commands.h"
#include "app/qt/main_form.h"
#include "app/qt/report_windows.h"
#include "app/qt/status_panels.h"
#include "chart/qt/chart_panel.h"
#include "chart/qt/reference_panel.h"
#include "project/load_sinks.h"
#include "project/project_file.h"

namespace korvalog {
namespace {

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

// Sequencer runs of a capture under a pattern (no roles: the runs alone).
std::vector<SequenceRun> Runs(const CaptureData& data, const SequenceTable& pattern) {
  LiftReport r;
  r.Compute(data, pattern, ChannelRoles{});
  return r.sequence.runs;
}

}  // namespace

CompareWindows::CompareWindows(CaptureData& data, CaptureView& view, const Clock& clock, TMainForm& main,
                               ReportWindows& report)
    : data_(data), view_(view), main_(main), report_(report), reference_(clock) {
  compare_ = new QAction(QStringLiteral("Compare with..."), &main);
  compare_->setObjectName(QStringLiteral("aCompareWith"));
  compare_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+O")));
  compare_->setShortcutContext(Qt::WindowShortcut);
  main.addAction(compare_);
  connect(compare_, &QAction::triggered, this, [this] {
    if (const std::optional<std::string> path = main_.ChooseOpenFile()) OpenReference(*path);
  });

  panel_ = new ReferencePanel(main.Chart(), reference_, &main);
  panel_->hide();
  connect(panel_->CloseButton(), &QPushButton::clicked, this, &CompareWindows::CloseReference);
  connect(panel_->TimeOfDayButton(), &QPushButton::clicked, this, [this] {
    reference_.AlignTimeOfDay(data_.CaptureStart.time);
    Realigned();
  });
  connect(panel_->AlignHereButton(), &QPushButton::clicked, this, [this] {
    // The reference's moment under cursor 2 goes under cursor 1.
    const ChartState& s = main_.Chart().State();
    reference_.AlignMoments(s.CursorTime(MeasuringCursor::First),
                            reference_.ToReference(s.CursorTime(MeasuringCursor::Second)));
    Realigned();
  });
  connect(panel_->AlignMarkersButton(), &QPushButton::clicked, this, [this] {
    if (reference_.AlignMarkers(view_.Markers, main_.Chart().State().CursorTime(MeasuringCursor::First))) {
      Realigned();
    } else {
      main_.ShowStatusNote(QStringLiteral("Both captures need a marker to be aligned by markers"));
    }
  });
  follow_ = new QTimer(this);
  follow_->setInterval(40);
  connect(follow_, &QTimer::timeout, this, [this] { panel_->Follow(); });
  main.installEventFilter(this);
  report_.Report()->installEventFilter(this);
  qApp->installEventFilter(this);
}

CompareWindows::~CompareWindows() {
  qApp->removeEventFilter(this);
  report_.Report()->removeEventFilter(this);
  main_.removeEventFilter(this);
  delete panel_;  // it draws the reference, which goes with this object
  if (page_ != nullptr) delete page_;
}

bool CompareWindows::OpenReference(const std::string& path) {
  CloseReference();
  CollectingLoadSinks sinks;
  const FileResult result = LoadCaptureFile(path, reference_.Data(), reference_.View(), sinks);
  if (!result.ok) {
    CloseReference();
    main_.ShowWarning(FileErrorMarkup(result.error));
    return false;
  }
  reference_.Loaded(BaseName(path), view_.Traces);
  reference_.AlignTimeOfDay(data_.CaptureStart.time);
  panel_->show();
  follow_->start();
  Realigned();
  LayOut();
  FillComparePage();
  return true;
}

void CompareWindows::CloseReference() {
  reference_.Close();
  walker_.Set({});
  walkerKey_.clear();
  follow_->stop();
  panel_->hide();
  if (page_ != nullptr) {
    QTabWidget* tabs = report_.Report()->Tabs();
    tabs->removeTab(tabs->indexOf(page_));
    delete page_;
    page_ = nullptr;
  }
  LayOut();
}

void CompareWindows::Realigned() {
  walkerKey_.clear();
  panel_->Refresh();
}

void CompareWindows::LayOut() {
  // Under the chart, which gives up the height the reference's rows take.
  QWidget* chart = &main_.Chart();
  const int top = TMainForm::kToolbarHeight;
  const int bottom = main_.height() - TStatusPanels::kHeight;
  const int room = std::max(0, bottom - top);
  const int h = reference_.Open() ? panel_->WantedHeight(room / 2) : 0;
  chart->setGeometry(0, top, main_.width(), room - h);
  if (h > 0) {
    panel_->setGeometry(0, bottom - h, main_.width(), h);
    panel_->raise();
  }
}

void CompareWindows::FillComparePage() {
  if (!reference_.Open()) return;
  TReportForm* form = report_.Report();
  if (page_ == nullptr) {
    page_ = new ComparePage(form->Tabs());
    form->Tabs()->addTab(page_, QStringLiteral("Compare"));
  }
  LiftReport current, reference;
  current.Compute(data_, view_.Sequence, view_.Traces.Roles());
  reference.Compute(reference_.Data(), reference_.View().Sequence, reference_.View().Traces.Roles());
  ReportComparison c = CompareReports(reference, reference_.View().Traces, current, view_.Traces, ReportTargets());
  const std::string& file = main_.Commands().SaveFileName();
  SetSources(c, "Reference: " + reference_.Source(), file.empty() ? std::string("Open capture") : BaseName(file));
  page_->Show(c, OverlaidHistograms(reference, current));
}

void CompareWindows::PrepareWalker() {
  char key[96];
  std::snprintf(key, sizeof key, "%.12g/%.6g/%u/%u", reference_.OffsetDays(), panel_->ToleranceBox()->value(),
                data_.Store.Count(), reference_.Data().Store.Count());
  std::string fullKey(key);
  for (const SequenceRow& r : view_.Sequence) fullKey += std::to_string(r.signal) + ":" + std::to_string(r.event) + ",";
  if (fullKey == walkerKey_) return;
  walkerKey_ = fullKey;
  // The pattern on the reference's inputs: each step's input through the pairing.
  SequenceTable theirs = view_.Sequence;
  for (SequenceRow& r : theirs) {
    if (r.signal != 0) r.signal = static_cast<uint8_t>(reference_.Match().AfterOf(r.signal));
  }
  const double anchor = reference_.Alignment() == AlignBy::TimeOfDay ? data_.CaptureStart.time
                                                                      : main_.Chart().State().CursorTime(MeasuringCursor::First);
  walker_.Set(RunDifferences(Runs(data_, view_.Sequence), Runs(reference_.Data(), theirs), anchor,
                             reference_.OffsetDays(), panel_->ToleranceBox()->value()));
}

bool CompareWindows::StepDifference(bool forward) {
  if (!reference_.Open() || CountSequenceSteps(view_.Sequence) == 0) {
    main_.ShowStatusNote(QStringLiteral("The walker needs a reference and a Sequencer pattern"));
    return false;
  }
  PrepareWalker();
  ChartPanel& chart = main_.Chart();
  const RunDifference* d = walker_.Step(chart.State().CursorTime(MeasuringCursor::First), forward);
  if (d == nullptr) {
    main_.ShowStatusNote(QStringLiteral("No more runs differ by more than the tolerance"));
    return false;
  }
  chart.GoTo(d->start);
  char text[160];
  std::snprintf(text, sizeof text, "Step %d: %.3f s, reference %.3f s (%+.3f s)", d->step, d->seconds,
                d->referenceSeconds, d->Difference());
  main_.ShowStatusNote(QString::fromUtf8(text));
  panel_->Follow();
  return true;
}

bool CompareWindows::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == &main_ && (type == QEvent::Resize || type == QEvent::Show) && reference_.Open()) {
    // After the window has laid its own parts out.
    QTimer::singleShot(0, this, &CompareWindows::LayOut);
  }
  if (watched == report_.Report() && type == QEvent::Show && reference_.Open()) {
    QTimer::singleShot(0, this, &CompareWindows::FillComparePage);
  }
  if ((type == QEvent::ShortcutOverride || type == QEvent::KeyPress) && panel_->WalkBox()->isChecked() &&
      reference_.Open() && main_.isActiveWindow()) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F3 && (key->modifiers() & ~Qt::ShiftModifier) == 0) {
      if (type == QEvent::ShortcutOverride) {
        event->accept();  // the chart's own F3 gives way to the walker
        return true;
      }
      StepDifference(!(key->modifiers() & Qt::ShiftModifier));
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace korvalog
