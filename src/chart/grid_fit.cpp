#include "chart/grid_fit.h"

#include <algorithm>

namespace korvalog {

int WaveRightReserve(int scrollBarWidth) { return std::max(kWaveRightReserve, scrollBarWidth + 2); }

int FitWaveWidth(int gridWidth, int fixedWidth, int reserve) {
  return std::max(kMinWaveWidth, gridWidth - fixedWidth - reserve);
}

int MinimumGridWidth(int fixedWidth, int reserve) { return fixedWidth + kMinWaveWidth + reserve; }

ChartSpan FitChartSpan(int viewWidth, int minimumWidth) {
  viewWidth = std::max(0, viewWidth);
  ChartSpan span;
  span.contentWidth = std::max(viewWidth, minimumWidth);
  span.scrollRange = span.contentWidth - viewWidth;
  return span;
}

}  // namespace korvalog
