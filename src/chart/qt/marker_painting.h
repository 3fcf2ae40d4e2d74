#pragma once
// The user's markers on the chart: a labelled line across the waveform
// column at each marker inside the selection, drawn by the grid and by the
// chart's pictures alike.
#include <QColor>
#include <QPainter>

#include "chart/qt/chart_painting.h"

namespace korvalog {

QColor MarkerColour();
// Over the grid painted at (0, 0) with `size` (the grid's own coordinates).
void PaintMarkers(QPainter& p, const ChartDrawContext& ctx, const GridLayout& layout, QSize size);

}  // namespace korvalog
