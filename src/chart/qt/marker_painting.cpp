#include "chart/qt/marker_painting.h"

#include <QFontMetrics>
#include <cmath>

#include "ui/qt/kit_look.h"

namespace korvalog {

QColor MarkerColour() { return QColor(0, 128, 128); }  // teal: apart from cursors, waves and violations

void PaintMarkers(QPainter& p, const ChartDrawContext& ctx, const GridLayout& layout, QSize size) {
  const ChartState& s = ctx.state;
  const MarkerList& markers = ctx.view.Markers;
  if (markers.Empty() || s.WaveWidth == 0 || !s.ShowsTimes()) return;
  const int left = layout.ColumnLeft(4);
  const int right = left + layout.widths[4];
  const int top = GridLayout::kFrame;
  const int bottom = size.height() - GridLayout::kFrame;
  p.save();
  p.setClipRect(QRect(left, top, right - left, bottom - top));
  const QFont font = KitFont(kKitSansFamily, 9);
  const QFontMetrics metrics(font);
  p.setFont(font);
  const QColor colour = MarkerColour();
  const int labelTop = layout.RowsTop() + 1;
  for (const Marker& m : markers.Items()) {
    if (m.time < s.SelectionStart.time || m.time > s.SelectionEnd.time) continue;
    const double x = s.WaveXOf(m.time);
    if (!std::isfinite(x)) continue;
    const int ix = static_cast<int>(std::lround(x));  // as cursor 1 is placed on a time
    p.fillRect(QRect(ix, top, 1, bottom - top), colour);
    // The label on a flag right of the line, just under the header.
    const QString label = KitText(m.label);
    const QRect flag(ix + 1, labelTop, metrics.horizontalAdvance(label) + 6, metrics.height() + 2);
    p.fillRect(flag, colour);
    p.setPen(Qt::white);
    p.drawText(flag.adjusted(3, 1, -3, -1), Qt::AlignLeft | Qt::AlignVCenter, label);
  }
  p.restore();
}

}  // namespace korvalog
