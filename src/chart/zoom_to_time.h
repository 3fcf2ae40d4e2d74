#pragma once
// Zooms the chart to a span of the capture given by times, as a click on a
// report's outlier, bar or spell asks: a margin either side so the edges
// show, held inside the capture, and the zoom kept in the history.
#include "chart/chart_state.h"

namespace korvalog {

// `from` and `to` are date-times. Returns false (nothing changes) without
// data or for a span outside the capture.
bool ZoomChartTo(ChartState& state, double from, double to);

}  // namespace korvalog
