#pragma once
// Number and durations of the complete search matches in the zoom window,
// and the texts that show them.
#include <cstdint>
#include <string>

namespace korvalog {

struct MatchStatistics {
  int32_t MatchCount = 0;
  double MatchShortest = 0.0;  // durations in days; 0 = none yet
  double MatchLongest = 0.0;
  double MatchTotal = 0.0;

  void Add(double duration) {
    ++MatchCount;
    if (MatchShortest == 0.0 || duration < MatchShortest) MatchShortest = duration;
    if (duration > MatchLongest) MatchLongest = duration;
    MatchTotal += duration;
  }
  double MatchAverage() const { return MatchCount > 0 ? MatchTotal / MatchCount : 0.0; }
};

// The mark-up line above the strip: labels plain, values bold; empty when
// there is no match to show.
std::string MatchStatisticsMarkup(const MatchStatistics& s);

// "Count=N Avg=D Short=D Long=D Total=D", or "Count=0" without a match.
std::string MatchStatisticsLine(const MatchStatistics& s);

}  // namespace korvalog
