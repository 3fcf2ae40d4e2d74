#pragma once
// The Sequencer's runs of two aligned captures paired in order from the
// moment they are aligned at, and the pairs whose step times differ by more
// than a tolerance: where a slower door is slower. The walker steps through
// them from a time, as F3 steps through search matches.
#include <cstddef>
#include <vector>

#include "analysis/sequence_trend.h"

namespace korvalog {

struct RunDifference {
  double start = 0;           // the open capture's run (date-time)
  double referenceStart = 0;  // the reference's run, in the reference's time
  int step = 0;               // 1-based, the step that differs most
  double seconds = 0, referenceSeconds = 0;  // that step's time from step 1
  double Difference() const { return seconds - referenceSeconds; }
};

// `anchor`: the open capture's aligned moment; `offsetDays`: reference time
// = open time + offset. Runs from the anchor on pair in order, and so do
// those before it, backwards.
std::vector<RunDifference> RunDifferences(const std::vector<SequenceRun>& runs,
                                          const std::vector<SequenceRun>& referenceRuns, double anchor,
                                          double offsetDays, double toleranceSeconds);

class DifferenceWalker {
 public:
  void Set(std::vector<RunDifference> differences) { differences_ = std::move(differences); }
  const std::vector<RunDifference>& Differences() const { return differences_; }
  // The first difference after t (before t backwards); null when none.
  const RunDifference* Step(double t, bool forward) const;

 private:
  std::vector<RunDifference> differences_;
};

}  // namespace korvalog
