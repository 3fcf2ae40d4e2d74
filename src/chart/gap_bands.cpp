#include "chart/gap_bands.h"

#include <algorithm>
#include <cmath>

namespace korvalog {

std::vector<GapBand> GapBandsShown(const ChartState& state, const std::vector<GapSpan>& gaps) {
  std::vector<GapBand> bands;
  if (!state.ShowsTimes()) return bands;
  const double from = state.SelectionStart.time;
  const double to = state.SelectionEnd.time;
  const double leftEdge = state.WaveXOf(from);
  const double rightEdge = state.WaveXOf(to);
  for (const GapSpan& g : GapsWithin(gaps, from, to)) {
    const double x0 = std::clamp(state.WaveXOf(g.start), leftEdge, rightEdge);
    const double x1 = std::clamp(state.WaveXOf(g.end), leftEdge, rightEdge);
    if (!std::isfinite(x0) || !std::isfinite(x1)) continue;
    GapBand band{static_cast<int>(std::floor(x0)), static_cast<int>(std::ceil(x1))};
    band.right = std::max(band.right, band.left + 1);
    // Neighbours that meet at this zoom are one band.
    if (!bands.empty() && band.left <= bands.back().right) {
      bands.back().right = std::max(bands.back().right, band.right);
    } else {
      bands.push_back(band);
    }
  }
  return bands;
}

}  // namespace korvalog
