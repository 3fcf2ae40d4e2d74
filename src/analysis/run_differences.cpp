#include "analysis/run_differences.h"

#include <algorithm>
#include <cmath>

namespace korvalog {
namespace {

size_t FirstFrom(const std::vector<SequenceRun>& runs, double t) {
  return static_cast<size_t>(std::lower_bound(runs.begin(), runs.end(), t,
                                              [](const SequenceRun& r, double v) { return r.start < v; }) -
                             runs.begin());
}

}  // namespace

std::vector<RunDifference> RunDifferences(const std::vector<SequenceRun>& runs,
                                          const std::vector<SequenceRun>& referenceRuns, double anchor,
                                          double offsetDays, double toleranceSeconds) {
  std::vector<RunDifference> out;
  const size_t i0 = FirstFrom(runs, anchor), j0 = FirstFrom(referenceRuns, anchor + offsetDays);
  const auto compare = [&](size_t i, size_t j) {
    const SequenceRun& a = runs[i];
    const SequenceRun& b = referenceRuns[j];
    RunDifference worst;
    double largest = -1;
    for (size_t s = 0; s < a.stepSeconds.size() && s < b.stepSeconds.size(); ++s) {
      const double d = std::fabs(a.stepSeconds[s] - b.stepSeconds[s]);
      if (std::isfinite(d) && d > largest) {
        largest = d;
        worst = {a.start, b.start, static_cast<int>(s + 1), a.stepSeconds[s], b.stepSeconds[s]};
      }
    }
    if (largest > toleranceSeconds) out.push_back(worst);
  };
  // Backwards from the anchor, then forwards; the list ends in time order.
  for (size_t k = 1; k <= i0 && k <= j0; ++k) compare(i0 - k, j0 - k);
  std::reverse(out.begin(), out.end());
  for (size_t k = 0; i0 + k < runs.size() && j0 + k < referenceRuns.size(); ++k) compare(i0 + k, j0 + k);
  return out;
}

const RunDifference* DifferenceWalker::Step(double t, bool forward) const {
  // A millisecond's margin, so a step from a difference's own start moves on.
  constexpr double kMargin = 0.001 / 86400.0;
  if (forward) {
    for (const RunDifference& d : differences_) {
      if (d.start > t + kMargin) return &d;
    }
    return nullptr;
  }
  for (auto it = differences_.rbegin(); it != differences_.rend(); ++it) {
    if (it->start < t - kMargin) return &*it;
  }
  return nullptr;
}

}  // namespace korvalog
