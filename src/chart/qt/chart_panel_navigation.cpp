// The chart panel's navigation: the input handler on the grid, the keys
// that work anywhere in the window, the buttons that step through matches
// or violations, Go to time, and the Violations and Markers lists.
#include <QShortcut>

#include "chart/qt/chart_panel.h"
#include "chart/qt/go_to_time_dialog.h"
#include "chart/qt/markers_form.h"
#include "chart/qt/violations_form.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {
namespace {

constexpr int kSmallButton = 17;
constexpr int kMarkersButtonWidth = 52;

TBtnTransparent* SmallButton(QWidget* parent, const char* caption, const char* name, int width) {
  auto* b = new TBtnTransparent(parent);
  b->SetCaption(QString::fromLatin1(caption));
  b->setObjectName(QString::fromLatin1(name));
  b->resize(width, kSmallButton - 1);
  return b;
}

}  // namespace

void ChartPanel::BuildNavigation() {
  input_ = new ChartInput(navigator_, *grid_, this);
  input_->SetOnChanged([this] { TimeStepped([this] { LiveFrameNow(); }); });
  input_->SetOnPreviousZoom([this] {
    state_.bZoomPrevClick();
    TimeStepped([this] { LayOutNow(); });
  });
  connect(input_, &ChartInput::PointerReading, this, &ChartPanel::PointerReading);
  connect(input_, &ChartInput::MarkersChanged, this, [this] {
    if (markers_) markers_->Reload();
  });
  findPrevious_ = SmallButton(summary_, "<", "bFindPrevious", kSmallButton);
  findNext_ = SmallButton(summary_, ">", "bFindNext", kSmallButton);
  markersButton_ = SmallButton(summary_, "Markers", "bMarkers", kMarkersButtonWidth);
  markersButton_->setToolTip(QStringLiteral("Markers (Ctrl+Shift+M)"));
  connect(findPrevious_, &TBtnTransparent::Clicked, this, [this] { StepFinding(false); });
  connect(findNext_, &TBtnTransparent::Clicked, this, [this] { StepFinding(true); });
  connect(markersButton_, &TBtnTransparent::Clicked, this, &ChartPanel::ShowMarkers);
  // Keys that work wherever the focus is in the window.
  const auto key = [this](QKeySequence sequence, auto slot) {
    auto* shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, slot);
  };
  key(QKeySequence(Qt::Key_F3), [this] { StepFinding(true); });
  key(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { StepFinding(false); });
  key(QKeySequence(Qt::CTRL | Qt::Key_G), [this] { GoToTime(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_M), [this] { DropMarker(); });
  key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), [this] { ShowMarkers(); });
  ShowFindingHints();
}

void ChartPanel::ShowFindingHints() {
  const bool sequence = state_.StripMode == kStripSequence;
  findPrevious_->setToolTip(sequence ? QStringLiteral("Previous violation (Shift+F3)")
                                     : QStringLiteral("Previous match (Shift+F3)"));
  findNext_->setToolTip(sequence ? QStringLiteral("Next violation (F3)") : QStringLiteral("Next match (F3)"));
}

void ChartPanel::PlaceNavigationButtons() {
  // At the right end of the statistics line, above the strip.
  const int right = state_.ZoomLeft + state_.ZoomWidth;
  markersButton_->move(right - kMarkersButtonWidth, kStatsTop);
  findNext_->move(markersButton_->x() - kSmallButton - 4, kStatsTop);
  findPrevious_->move(findNext_->x() - kSmallButton, kStatsTop);
  ShowFindingHints();
  if (markers_ && markersVersion_ != view_.Markers.Version()) {
    markersVersion_ = view_.Markers.Version();
    markers_->Reload();
  }
}

void ChartPanel::StepFinding(bool forward) {
  if (navigator_.StepFinding(state_.StripMode == kStripSequence, forward)) TimeStepped([this] { Refresh(); });
}

void ChartPanel::GoToTime() {
  if (!navigator_.HasData()) return;
  const FocusBack back;
  GoToTimeDialog dialog(data_, state_.CursorTime(MeasuringCursor::First), this);
  if (dialog.exec() != QDialog::Accepted) return;
  GoTo(dialog.Time());
}

bool ChartPanel::GoTo(double t) {
  if (!navigator_.GoTo(t)) return false;
  TimeStepped([this] { Refresh(); });
  return true;
}

void ChartPanel::ShowViolations() {
  if (!violations_) violations_ = new ViolationsForm(this);
  violations_->Show(navigator_.Findings(), view_.Traces, [this](const SequenceViolation& v) {
    navigator_.PlaceCursor1(v.time, v.index);
    Refresh();
  });
}

void ChartPanel::ShowMarkers() {
  if (!markers_) {
    markers_ = new MarkersForm(view_.Markers, this);
    markers_->SetOnGoTo([this](double t) { GoTo(t); });
    markers_->SetOnEdited([this] {
      data_.DataModified.store(1, std::memory_order_release);
      markersVersion_ = view_.Markers.Version();
      grid_->update();
    });
  }
  markers_->Reload();
  markersVersion_ = view_.Markers.Version();
  if (!markers_->isVisible()) FitOnScreen(*markers_, window());
  markers_->show();
  markers_->raise();
}

void ChartPanel::DropMarker() {
  if (input_->DropMarker()) Refresh();
}

}  // namespace korvalog
