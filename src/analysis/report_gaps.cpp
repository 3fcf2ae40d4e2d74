#include "analysis/report_gaps.h"

#include <algorithm>

#include "base/date_time.h"

namespace korvalog {

bool SpansGap(const Occurrence& o, const std::vector<GapSpan>& gaps) {
  return OverlapsGap(gaps, o.start, o.start + o.seconds / kSecondsPerDay);
}

uint32_t LeaveOutAcrossGaps(Occurrences& list, const std::vector<GapSpan>& gaps) {
  if (gaps.empty()) return 0;
  const auto kept = std::remove_if(list.begin(), list.end(), [&](const Occurrence& o) { return SpansGap(o, gaps); });
  const auto gone = static_cast<uint32_t>(list.end() - kept);
  list.erase(kept, list.end());
  return gone;
}

}  // namespace korvalog
