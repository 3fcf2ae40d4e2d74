#include "app/qt/chart_placeholder.h"

#include <QPainter>

#include "ui/qt/btn_transparent.h"

namespace korvalog {

ChartPanel::ChartPanel(CaptureData& data, QWidget* parent) : QWidget(parent), data_(data) {
  bSequencer_ = new TBtnTransparent(this);
  bSequencer_->setObjectName(QStringLiteral("bSequencer"));
  bSequencer_->SetCaption(QStringLiteral("Sequencer"));
  bSequencer_->setGeometry(4, 36, 80, 25);
  connect(bSequencer_, &TBtnTransparent::Clicked, this, &ChartPanel::SequencerRequested);
}

void ChartPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(QRect(0, 0, width(), 68), palette().color(QPalette::Window));
  p.fillRect(QRect(0, 68, width(), height() - 68), Qt::white);
  p.drawText(QRect(0, 68, width(), height() - 68), Qt::AlignCenter,
             QStringLiteral("%1 events").arg(data_.Store.Count()));
}

}  // namespace korvalog
