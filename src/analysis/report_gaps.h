#pragma once
// The lift report across link gaps: a figure whose time spans a gap (a door
// time, a trip, a wait...) was measured on inputs nobody saw, so it is left
// out, and the report says how much of the capture the gaps took.
#include <cstdint>
#include <vector>

#include "analysis/report_occurrence.h"
#include "core/capture_gaps.h"

namespace korvalog {

struct ReportGaps {
  std::vector<GapSpan> spans;  // the capture's gaps, cut to its span
  double seconds = 0;          // their length together
  uint32_t leftOut = 0;        // figures left out for spanning one
};

// True when the occurrence's time, from its start for its duration, spans
// part of a gap.
bool SpansGap(const Occurrence& o, const std::vector<GapSpan>& gaps);
// Removes those occurrences from `list`; how many went.
uint32_t LeaveOutAcrossGaps(Occurrences& list, const std::vector<GapSpan>& gaps);

}  // namespace korvalog
