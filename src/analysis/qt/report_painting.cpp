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

int Decimals(double step) {
  return step >= 1 ? 0 : std::min(6, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

// Time ticks carry the day when the plot spans more than one: at midnight
// "12/03", otherwise "12/03 06:00" only where the day changes.
QString TickText(const PlotPlan& plan, double x, double step, bool multiDay) {
  if (!plan.timeAxis) return QString::number(x, 'f', Decimals(step));
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(x));
  if (step >= 1.0 || (multiDay && f.hour == 0 && f.minute == 0)) return QString::asprintf("%02d/%02d", f.day, f.month);
  return QString::asprintf("%02d:%02d", f.hour, f.minute);
}

void PaintPoints(QPainter& p, const PlotPlan& plan, const PlotFrame& f) {
  // One path per series, so that a plot of thousands of columns is a few
  // elements in an SVG: each point a short stroke with round ends.
  const int series = std::max<int>(1, static_cast<int>(plan.series.size()));
  QPainterPath rings;
  for (int s = 0; s < series; ++s) {
    QPainterPath dots, ranges, line;
    bool first = true;
    for (const PlotPoint& pt : plan.points) {
      if (pt.series != s) continue;
      const double x = f.X(plan, pt.x), y = f.Y(plan, pt.y);
      if (pt.yLow >= 0 && pt.yLow < pt.y) {  // a column of runs: its range, a dot at its mean
        ranges.moveTo(x, f.Y(plan, pt.yLow));
        ranges.lineTo(x, y);
      }
      const double mark = pt.yMark >= 0 ? f.Y(plan, pt.yMark) : y;
      dots.moveTo(x, mark + 0.01);
      dots.lineTo(x, mark);
      if (plan.joined) first ? line.moveTo(x, y) : line.lineTo(x, y);
      first = false;
      if (pt.flagged) rings.addEllipse(QPointF(x, y), 4, 4);
    }
    if (plan.joined) {
      p.setPen(QPen(SeriesColour(s), 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawPath(line);
    }
    if (!ranges.isEmpty()) {
      QColor faint = SeriesColour(s);
      faint.setAlpha(90);
      p.setPen(QPen(faint, 1));
      p.drawPath(ranges);
    }
    p.setPen(QPen(SeriesColour(s), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(dots);
  }
  if (!rings.isEmpty()) {  // runs outside their limits: ringed red
    p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rings);
  }
}

// The title, and a legend of the series when there are several.
void PaintTitleAndLegend(QPainter& p, const PlotPlan& plan, const PlotFrame& f, const QRect& area, const QFont& font) {
  const QFontMetrics fm(font);
  QFont bold = font;
  bold.setBold(true);
  p.setFont(bold);
  p.setPen(Qt::black);
  p.drawText(QPointF(f.left, f.top - 10), QString::fromStdString(plan.title));
  p.setFont(font);
  if (plan.series.size() > 1 && plan.empty.empty()) {
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
}

// Grid lines with the y ticks, the x ticks and the axes' labels.
void PaintAxes(QPainter& p, const PlotPlan& plan, const PlotFrame& f, const QRect& area, const QFontMetrics& fm) {
  // Grid lines and y ticks (not for the timeline, which has no y values).
  if (plan.kind != PlotKind::Timeline) {
    const double step = std::max(NiceStep(plan.yMax, 5), plan.kind == PlotKind::Trend ? 0.0 : 1.0);
    for (int i = 0; i * step <= plan.yMax + 1e-9; ++i) {
      const double y = i * step;
      const double py = f.Y(plan, y);
      p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 0));
      p.drawLine(QPointF(f.left, py), QPointF(f.left + f.width, py));
      p.setPen(Qt::black);
      const QString t = QString::number(y, 'f', Decimals(step));
      p.drawText(QPointF(f.left - 6 - fm.horizontalAdvance(t), py + fm.ascent() / 2.0 - 1), t);
    }
  }
  // X ticks.
  const double span = plan.xMax - plan.xMin;
  const double xStep = plan.timeAxis ? TimeStep(span, std::max(2, f.width / 80)) : NiceStep(span, std::max(2, f.width / 60));
  const bool multiDay = plan.timeAxis && std::floor(plan.xMin) != std::floor(plan.xMax - 1e-9);
  if (span > 0 && xStep > 0) {
    const double first = std::ceil(plan.xMin / xStep - 1e-9);
    for (int i = 0; (first + i) * xStep <= plan.xMax + 1e-12 && i < 200; ++i) {
      const double x = (first + i) * xStep;
      const double px = f.X(plan, x);
      p.setPen(QPen(QColor(0x99, 0x99, 0x99), 0));
      p.drawLine(QPointF(px, f.top + f.height), QPointF(px, f.top + f.height + 4));
      p.setPen(Qt::black);
      const QString t = TickText(plan, x, xStep, multiDay);
      // Centred under the tick, but never past the picture's edge.
      const double tx = std::min(px - fm.horizontalAdvance(t) / 2.0, area.width() - 2.0 - fm.horizontalAdvance(t));
      p.drawText(QPointF(tx, f.top + f.height + 5 + fm.ascent()), t);
    }
  }
  p.setPen(QColor(0x55, 0x55, 0x55));
  if (!plan.xLabel.empty()) {
    const QString xl = QString::fromStdString(plan.xLabel);
    p.drawText(QPointF(f.left + (f.width - fm.horizontalAdvance(xl)) / 2.0, area.height() - 3), xl);
  }
  if (!plan.yLabel.empty()) {  // along the axis
    const QString yl = QString::fromStdString(plan.yLabel);
    p.save();
    p.translate(fm.ascent() + 1, f.top + (f.height + fm.horizontalAdvance(yl)) / 2.0);
    p.rotate(-90);
    p.drawText(QPointF(0, 0), yl);
    p.restore();
  }
}

// Bars of a histogram, of a column chart or of the timeline's spells.
void PaintBars(QPainter& p, const PlotPlan& plan, const PlotFrame& f) {
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

  PaintTitleAndLegend(p, plan, f, area, font);

  if (!plan.empty.empty()) {
    // Nothing to draw: said once, without axes that would mean nothing.
    p.setPen(QColor(0x66, 0x66, 0x66));
    p.drawText(QPointF(f.left, f.top + fm.ascent() + 2), QString::fromStdString(plan.empty));
    p.restore();
    return;
  }

  PaintAxes(p, plan, f, area, fm);

  // The data.
  p.setRenderHint(QPainter::Antialiasing, false);
  PaintBars(p, plan, f);
  p.setRenderHint(QPainter::Antialiasing, true);
  PaintPoints(p, plan, f);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x44, 0x44, 0x44), 0));
  p.drawRect(inner);
  p.restore();
}

}  // namespace korvalog
