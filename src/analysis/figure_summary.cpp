#include "analysis/figure_summary.h"

#include <algorithm>
#include <cmath>

namespace korvalog {

double NearestRank(const std::vector<double>& sorted, double percent) {
  if (sorted.empty()) return 0;
  const double rank = std::ceil(percent / 100.0 * static_cast<double>(sorted.size()) - 1e-9);
  const size_t i = rank < 1 ? 0 : static_cast<size_t>(rank) - 1;
  return sorted[std::min(i, sorted.size() - 1)];
}

FigureSummary SummarizeValues(std::vector<double> values) {
  FigureSummary s;
  s.count = values.size();
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  for (double v : values) {
    s.total += v;
    s.over30 += v > 30.0 ? 1 : 0;
    s.over60 += v > 60.0 ? 1 : 0;
  }
  const size_t n = values.size();
  s.mean = s.total / static_cast<double>(n);
  s.median = NearestRank(values, 50);
  s.p90 = NearestRank(values, 90);
  s.p95 = NearestRank(values, 95);
  s.longest = values.back();
  return s;
}

FigureSummary Summarize(const Occurrences& items) {
  std::vector<double> values;
  values.reserve(items.size());
  double longest = -1, at = 0;
  for (const Occurrence& o : items) {
    values.push_back(o.seconds);
    if (o.seconds > longest) {
      longest = o.seconds;
      at = o.start;
    }
  }
  FigureSummary s = SummarizeValues(std::move(values));
  s.longestAt = at;
  return s;
}

}  // namespace korvalog
