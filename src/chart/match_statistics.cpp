#include "chart/match_statistics.h"

#include "base/byte_text.h"
#include "base/time_text.h"

namespace korvalog {
namespace {

// The same fields in both texts; `bold` is the mark-up switch or nothing.
std::string Fields(const MatchStatistics& s, const char* bold) {
  const std::string b = bold;
  return "Count=" + b + IntToText(s.MatchCount) + b + " Avg=" + b + FormatDuration(s.MatchAverage()) + b +
         " Short=" + b + FormatDuration(s.MatchShortest) + b + " Long=" + b +
         FormatDuration(s.MatchLongest) + b + " Total=" + b + FormatDuration(s.MatchTotal);
}

}  // namespace

std::string MatchStatisticsMarkup(const MatchStatistics& s) {
  if (s.MatchCount <= 0) return {};
  return "\\4" + Fields(s, "\\b");
}

std::string MatchStatisticsLine(const MatchStatistics& s) {
  if (s.MatchCount <= 0) return "Count=0";
  return Fields(s, "");
}

}  // namespace korvalog
