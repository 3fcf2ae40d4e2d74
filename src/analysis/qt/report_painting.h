#pragma once
// Paints the report's plots from their plans. The same code draws on the
// screen, into SVG (the HTML page) and into the PDF, so what the engineer
// clicks on is what the building owner reads.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>

#include "analysis/report_plots.h"

namespace korvalog {

QColor SeriesColour(int series);
// The plot fills `area` (its frame follows PlotFrame::For the area's size).
void PaintPlot(QPainter& p, const PlotPlan& plan, const QRect& area, const QFont& font);

}  // namespace korvalog
