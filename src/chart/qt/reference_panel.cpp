#include "chart/qt/reference_panel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "chart/qt/chart_panel.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr QColor kGrey(0x8a, 0x8a, 0x8a);
constexpr QColor kRowShade(0xf2, 0xf2, 0xf2);

}  // namespace

ReferencePanel::ReferencePanel(ChartPanel& chart, ReferenceChart& reference, QWidget* parent)
    : QWidget(parent), chart_(chart), reference_(reference) {
  setObjectName(QStringLiteral("ReferencePanel"));
  setMouseTracking(true);
  setAutoFillBackground(true);
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 2, 4, 2);
  bar->setSpacing(4);
  title_ = new QLabel(this);
  readout_ = new QLabel(this);
  readout_->setObjectName(QStringLiteral("lReferenceReadout"));
  alignHere_ = new QPushButton(QStringLiteral("Align here"), this);
  alignHere_->setObjectName(QStringLiteral("bAlignHere"));
  alignHere_->setToolTip(QStringLiteral("Move the reference so that its moment under cursor 2 lies under cursor 1"));
  alignMarkers_ = new QPushButton(QStringLiteral("Align markers"), this);
  alignMarkers_->setObjectName(QStringLiteral("bAlignMarkers"));
  alignMarkers_->setToolTip(
      QStringLiteral("Line up the marker nearest cursor 1 with the reference's marker of the same label"));
  timeOfDay_ = new QPushButton(QStringLiteral("Time of day"), this);
  timeOfDay_->setObjectName(QStringLiteral("bAlignTimeOfDay"));
  timeOfDay_->setToolTip(QStringLiteral("Line both captures up by the clock: 08:15 under 08:15"));
  walk_ = new QCheckBox(QStringLiteral("Walk differences (F3)"), this);
  walk_->setObjectName(QStringLiteral("cWalkDifferences"));
  walk_->setToolTip(QStringLiteral("F3 and Shift+F3 step through the Sequencer runs whose step times differ"));
  tolerance_ = new QDoubleSpinBox(this);
  tolerance_->setObjectName(QStringLiteral("eTolerance"));
  tolerance_->setRange(0.001, 600);
  tolerance_->setDecimals(3);
  tolerance_->setValue(0.5);
  tolerance_->setSuffix(QStringLiteral(" s"));
  tolerance_->setToolTip(QStringLiteral("Step times differing by more than this are a difference"));
  close_ = new QPushButton(QStringLiteral("Close reference"), this);
  close_->setObjectName(QStringLiteral("bCloseReference"));
  bar->addWidget(title_);
  bar->addWidget(alignHere_);
  bar->addWidget(alignMarkers_);
  bar->addWidget(timeOfDay_);
  bar->addWidget(walk_);
  bar->addWidget(tolerance_);
  bar->addWidget(readout_, 1);
  bar->addWidget(close_);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addLayout(bar);
  outer->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{title_, readout_, alignHere_, alignMarkers_, timeOfDay_, walk_,
                                                    tolerance_, close_}) {
    w->setFont(KitFont(kKitSansFamily, 11));
    w->setMaximumHeight(kHeaderHeight - 4);
  }
  // In a narrow main window the buttons keep their captions whole (they were
  // cut to "lose referenc"); the title gives way first (whole in its
  // tooltip), then the walker's caption (explained in its tooltip).
  for (QWidget* w : std::initializer_list<QWidget*>{alignHere_, alignMarkers_, timeOfDay_, tolerance_, close_}) {
    w->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  }
  walk_->setMinimumWidth(walk_->sizeHint().height() + 4);  // the box itself
  title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  readout_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

int ReferencePanel::WantedHeight(int limit) const {
  const int rows = static_cast<int>(reference_.Rows().size());
  return std::min(limit, kHeaderHeight + rows * chart_.State().RowHeight + 2);
}

void ReferencePanel::Refresh() {
  title_->setText(QString::fromUtf8("<b>Reference</b> %1 \xC2\xB7 %2 %3")
                      .arg(QString::fromStdString(reference_.Source()).toHtmlEscaped(),
                           reference_.Alignment() == AlignBy::TimeOfDay ? QStringLiteral("by time of day,")
                                                                        : QStringLiteral("aligned,"),
                           QString::fromStdString("offset " + reference_.OffsetText())));
  title_->setToolTip(QString::fromStdString(reference_.Source()));
  seenWidth_ = -1;
  update();
}

void ReferencePanel::Follow() {
  const ChartState& s = chart_.State();
  if (s.SelectionStart.time == seenFrom_ && s.SelectionEnd.time == seenTo_ && s.Cursor1.PosX == seenC1_ &&
      s.Cursor2.PosX == seenC2_ && s.WaveWidth == seenWidth_ && reference_.OffsetDays() == seenOffset_ &&
      chart_.Grid()->CurrentRow() == seenRow_) {
    return;
  }
  seenRow_ = chart_.Grid()->CurrentRow();
  update();
}

void ReferencePanel::paintEvent(QPaintEvent*) {
  const ChartState& s = chart_.State();
  seenFrom_ = s.SelectionStart.time;
  seenTo_ = s.SelectionEnd.time;
  seenC1_ = s.Cursor1.PosX;
  seenC2_ = s.Cursor2.PosX;
  seenWidth_ = s.WaveWidth;
  seenOffset_ = reference_.OffsetDays();
  // The readout follows cursor 1 (the pointer over a row reads that row).
  QTimer::singleShot(0, this, [this] {
    const int channel = chart_.State().View().Traces.ChannelAt(chart_.Grid()->CurrentRow());
    int row = 0;
    for (size_t i = 0; i < reference_.Rows().size(); ++i) {
      if (reference_.Rows()[i].current == channel) row = static_cast<int>(i);
    }
    ShowReadout(row, chart_.State().CursorTime(MeasuringCursor::First));
  });
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  const int h = s.RowHeight;
  const int left = s.StripLeft, width = s.WaveWidth;
  p.setFont(KitFont(kKitSansFamily, 11));
  int y = kHeaderHeight;
  const std::vector<std::vector<ReferenceSpan>> spans =
      reference_.AllSpans(s.SelectionStart.time, s.SelectionEnd.time, width);
  for (size_t i = 0; i < reference_.Rows().size(); ++i) {
    const ReferenceRow& row = reference_.Rows()[i];
    if (y >= height()) break;
    p.fillRect(QRect(0, y, this->width(), h), kRowShade);
    p.setPen(kGrey);
    p.drawText(QRect(4, y, std::max(0, left - 8), h), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromStdString(row.label));
    const int high = y + 4, low = y + h - 4;
    for (const ReferenceSpan& span : spans[i]) {
      const int x0 = left + span.x0, x1 = left + span.x1;
      if (span.busy) {
        p.fillRect(QRect(x0, high, std::max(1, x1 - x0), low - high), kGrey);
        continue;
      }
      const int yy = span.level != 0 ? high : low;
      p.drawLine(x0, yy, x1, yy);
      p.drawLine(x0, high, x0, low);  // an edge at every span's start
    }
    p.setPen(QColor(0xdd, 0xdd, 0xdd));
    p.drawLine(0, y + h - 1, this->width(), y + h - 1);
    y += h;
  }
  // The chart's cursors carried down over the reference.
  p.setPen(QPen(QColor(0x30, 0x60, 0xd0), 1, Qt::DashLine));
  p.drawLine(s.Cursor1.PosX, kHeaderHeight, s.Cursor1.PosX, height());
  p.setPen(QPen(QColor(0xd0, 0x40, 0x30), 1, Qt::DashLine));
  p.drawLine(s.Cursor2.PosX, kHeaderHeight, s.Cursor2.PosX, height());
}

void ReferencePanel::mouseMoveEvent(QMouseEvent* event) {
  const ChartState& s = chart_.State();
  const int y = event->position().toPoint().y() - kHeaderHeight;
  if (y < 0 || s.WaveWidth == 0) return;
  const int row = y / std::max<int>(1, s.RowHeight);
  const double t = s.SelectionStart.time + (event->position().x() - s.StripLeft) / s.WaveWidth *
                                               (s.SelectionEnd.time - s.SelectionStart.time);
  ShowReadout(row, t);
}

void ReferencePanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  update();
}

void ReferencePanel::ShowReadout(int row, double t) {
  if (row < 0 || row >= static_cast<int>(reference_.Rows().size())) return;
  const ReferenceRow& r = reference_.Rows()[static_cast<size_t>(row)];
  const CaptureData& data = chart_.State().Data();
  int level = -1;
  if (t >= data.CaptureStart.time && t <= data.CaptureEnd.time && !chart_.State().Live) {
    const CaptureLookup lookup = chart_.Navigator().Lookup();
    level = lookup.LevelBefore(r.current, lookup.FirstIndexAt(t, true));
  }
  readout_->setText(QString::fromStdString(reference_.Readout(r, level, t)));
}

}  // namespace korvalog
