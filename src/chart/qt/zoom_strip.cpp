#include "chart/qt/zoom_strip.h"

#include <QPainter>

namespace korvalog {

ZoomStrip::ZoomStrip(std::function<ChartDrawContext()> context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setToolTip(QStringLiteral("Search Results. Zoom using lower handles."));
}

void ZoomStrip::paintEvent(QPaintEvent*) {
  ++paints_;
  QPainter p(this);
  PaintZoomStrip(p, context_(), size());
}

void ZoomStrip::mouseDoubleClickEvent(QMouseEvent*) { emit DoubleClicked(); }

ZoomStats::ZoomStats(std::function<ChartDrawContext()> context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {}

void ZoomStats::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintZoomStats(p, context_());
}

}  // namespace korvalog
