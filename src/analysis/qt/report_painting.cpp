#include "analysis/qt/report_painting.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <cmath>

#include "analysis/report_tables.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

// Steps of a time axis, in days: minutes to days.
double TimeStep(double spanDays, int ticks) {
  static constexpr double kMinutes[] = {1, 2, 5, 10, 15, 30, 60, 120, 180, 360, 720, 1440, 2880, 10080};
  for (double m : kMinutes) {
    if (spanDays / (m / 1440.0) <= ticks) return m / 1440.0;
  }
  return 10080.0 / 1440.0;
}

QString TickText(const PlotPlan& plan, double x, double step) {
  if (!plan.timeAxis) {
    return QString::number(x, 'f', step < 1 ? (step < 0.1 ? 2 : 1) : 0);
  }
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(x));
  if (step >= 1.0) return QString::asprintf("%02d/%02d", f.day, f.month);
  return QString::asprintf("%02d:%02d", f.hour, f.minute);
}

}  // namespace

QColor SeriesColour(int series) {
  static const QColor kColours[] = {QColor(0x1f, 0x5f, 0xa8), QColor(0xd9, 0x7a, 0x10), QColor(0x2e, 0x8b, 0x3a),
                                    QColor(0x9b, 0x2f, 0x9b), QColor(0x8c, 0x56, 0x2d), QColor(0x20, 0x9a, 0x9a)};
  return kColours[static_cast<unsigned>(series) % 6];
}

void PaintPlot(QPainter& p, const PlotPlan& plan, const QRect& area, const QFont& font) {
  p.save();
  p.translate(area.topLeft());
  p.setClipRect(QRect(QPoint(0, 0), area.size()));
  p.fillRect(QRect(QPoint(0, 0), area.size()), Qt::white);
  p.setFont(font);
  const QFontMetrics fm(font);
  const PlotFrame f = PlotFrame::For(area.width(), area.height());
  const QRectF inner(f.left, f.top, f.width, f.height);

  // Title and legend.
  QFont bold = font;
  bold.setBold(true);
  p.setFont(bold);
  p.setPen(Qt::black);
  p.drawText(QPointF(f.left, f.top - 10), QString::fromStdString(plan.title));
  p.setFont(font);
  if (plan.series.size() > 1) {
    // Beside the title when there is room, else along the bottom edge.
    int legendWidth = 0;
    for (const std::string& name : plan.series) legendWidth += QFontMetrics(font).horizontalAdvance(QString::fromStdString(name)) + 18;
    const bool beside = QFontMetrics(bold).horizontalAdvance(QString::fromStdString(plan.title)) + legendWidth + 12 <= f.width;
    double x = beside ? f.left + f.width - legendWidth : f.left;
    const double base = beside ? f.top - 10 : area.height() - 4;
    for (size_t s = 0; s < plan.series.size(); ++s) {
      const QString name = QString::fromStdString(plan.series[s]);
      p.fillRect(QRectF(x, base - 9, 10, 10), SeriesColour(static_cast<int>(s)));
      p.setPen(Qt::black);
      p.drawText(QPointF(x + 13, base), name);
      x += fm.horizontalAdvance(name) + 18;
    }
  }

  // Grid lines and y ticks (not for the timeline, which has no y values).
  p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 0));
  if (plan.kind != PlotKind::Timeline) {
    const double step = std::max(NiceStep(plan.yMax, 5), plan.kind == PlotKind::Trend ? 0.0 : 1.0);
    for (double y = 0; y <= plan.yMax + 1e-9; y += step) {
      const double py = f.Y(plan, y);
      p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 0));
      p.drawLine(QPointF(f.left, py), QPointF(f.left + f.width, py));
      p.setPen(Qt::black);
      const QString t = QString::number(y, 'g', 6);
      p.drawText(QPointF(f.left - 6 - fm.horizontalAdvance(t), py + fm.ascent() / 2.0 - 1), t);
    }
  }
  // X ticks.
  const double span = plan.xMax - plan.xMin;
  const double xStep = plan.timeAxis ? TimeStep(span, std::max(2, f.width / 70)) : NiceStep(span, std::max(2, f.width / 60));
  if (span > 0 && xStep > 0) {
    double x0 = std::ceil(plan.xMin / xStep - 1e-9) * xStep;
    for (double x = x0; x <= plan.xMax + 1e-12; x += xStep) {
      const double px = f.X(plan, x);
      p.setPen(QPen(QColor(0x99, 0x99, 0x99), 0));
      p.drawLine(QPointF(px, f.top + f.height), QPointF(px, f.top + f.height + 4));
      p.setPen(Qt::black);
      const QString t = TickText(plan, x, plan.timeAxis ? xStep : xStep);
      p.drawText(QPointF(px - fm.horizontalAdvance(t) / 2.0, f.top + f.height + 5 + fm.ascent()), t);
    }
  }
  if (!plan.xLabel.empty() || !plan.yLabel.empty()) {
    p.setPen(QColor(0x55, 0x55, 0x55));
    const QString xl = QString::fromStdString(plan.xLabel);
    p.drawText(QPointF(f.left + f.width - fm.horizontalAdvance(xl), area.height() - 4), xl);
    p.drawText(QPointF(4, f.top - 10 + fm.height()), QString::fromStdString(plan.yLabel));
  }

  // The data.
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const PlotBar& b : plan.bars) {
    const double y1 = plan.kind == PlotKind::Timeline ? plan.yMax : b.y1;
    double x0 = f.X(plan, b.x0), x1 = f.X(plan, b.x1);
    if (x1 - x0 < 2) x1 = x0 + 2;  // a short spell stays visible
    const QRectF bar(QPointF(x0, f.Y(plan, y1)), QPointF(x1, f.Y(plan, b.y0)));
    const QColor c = plan.kind == PlotKind::Timeline ? QColor(0xc0, 0x30, 0x30) : SeriesColour(b.series);
    p.fillRect(bar, c);
    if (plan.kind == PlotKind::Histogram) {
      p.setPen(QPen(Qt::white, 0));
      p.drawRect(bar);
    }
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  for (const PlotPoint& pt : plan.points) {
    const QPointF c(f.X(plan, pt.x), f.Y(plan, pt.y));
    p.setPen(Qt::NoPen);
    p.setBrush(SeriesColour(pt.series));
    p.drawEllipse(c, 3, 3);
    if (pt.flagged) {  // a run outside its limits: ringed red
      p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 1.2));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(c, 5, 5);
    }
  }
  if (plan.bars.empty() && plan.points.empty()) {
    p.setPen(QColor(0x88, 0x88, 0x88));
    const QString none = QStringLiteral("nothing measured");
    p.drawText(QPointF(f.left + (f.width - fm.horizontalAdvance(none)) / 2.0, f.top + f.height / 2.0), none);
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x44, 0x44, 0x44), 0));
  p.drawRect(inner);
  p.restore();
}

}  // namespace korvalog
