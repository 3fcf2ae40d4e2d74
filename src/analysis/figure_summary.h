#pragma once
// The summary every report table shows for a set of durations: count, mean,
// median, percentiles, longest (and when it began), total.
#include <cstddef>
#include <vector>

#include "analysis/report_occurrence.h"

namespace korvalog {

struct FigureSummary {
  size_t count = 0;
  double total = 0, mean = 0, median = 0, p90 = 0, p95 = 0, longest = 0;
  double longestAt = 0;  // date-time of the longest occurrence
  size_t over30 = 0, over60 = 0;  // occurrences longer than 30 s and 60 s
  // Share of the occurrences at or under 30 s and 60 s, in percent (0 for none).
  double PercentWithin30() const { return count > 0 ? 100.0 * (count - over30) / count : 0; }
  double PercentWithin60() const { return count > 0 ? 100.0 * (count - over60) / count : 0; }
};

// Percentiles by nearest rank (the smallest value with at least p% at or
// below it), the median included: every figure is a value that occurred.
FigureSummary Summarize(const Occurrences& items);
// The same over plain values (no times).
FigureSummary SummarizeValues(std::vector<double> values);
// The nearest-rank percentile of sorted values; 0 for none.
double NearestRank(const std::vector<double>& sorted, double percent);

}  // namespace korvalog
