#pragma once
// Where the chart hatches the link gaps: the stretch of the waveform column
// each gap inside the selection covers, in the grid's x coordinates.
#include <vector>

#include "chart/chart_state.h"
#include "core/capture_gaps.h"

namespace korvalog {

struct GapBand {
  int left = 0;   // first column
  int right = 0;  // past the last; a gap shorter than a column still takes one
};

std::vector<GapBand> GapBandsShown(const ChartState& state, const std::vector<GapSpan>& gaps);

}  // namespace korvalog
