#include "chart/qt/gap_painting.h"

#include <QBrush>

#include "chart/gap_bands.h"

namespace korvalog {

// Dark grey: apart from waves, cursors, markers (teal) and violations (red).
QColor GapHatchColour() { return QColor(96, 96, 96); }

void PaintGaps(QPainter& p, const ChartDrawContext& ctx, const GridLayout& layout, QSize size) {
  if (ctx.data.Gaps.Empty()) return;
  const std::vector<GapBand> bands = GapBandsShown(ctx.state, ctx.data.Gaps.Spans());
  if (bands.empty()) return;
  const int left = layout.ColumnLeft(4);
  const int right = left + layout.widths[4];
  const int top = layout.RowsTop();
  const int bottom = size.height() - GridLayout::kFrame;
  p.save();
  p.setClipRect(QRect(left, top, right - left, bottom - top));
  // A light veil keeps the levels under it readable but plainly not data.
  const QColor veil(160, 160, 160, 70);
  const QBrush hatch(GapHatchColour(), Qt::BDiagPattern);
  for (const GapBand& b : bands) {
    const QRect r(b.left, top, b.right - b.left, bottom - top);
    p.fillRect(r, veil);
    p.fillRect(r, hatch);
    // Edges, so that a narrow gap still shows as a band.
    p.fillRect(QRect(b.left, top, 1, bottom - top), GapHatchColour());
    p.fillRect(QRect(b.right - 1, top, 1, bottom - top), GapHatchColour());
  }
  p.restore();
}

}  // namespace korvalog
