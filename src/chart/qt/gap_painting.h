#pragma once
// The link gaps on the chart: each hatched across every row of the waveform
// column, so that nobody reads a level through a stretch the logger was not
// heard. Drawn by the grid and by the chart's pictures alike.
#include <QColor>
#include <QPainter>

#include "chart/qt/chart_painting.h"

namespace korvalog {

QColor GapHatchColour();
// Over the grid painted at (0, 0) with `size` (the grid's own coordinates).
void PaintGaps(QPainter& p, const ChartDrawContext& ctx, const GridLayout& layout, QSize size);

}  // namespace korvalog
