#pragma once
// Every complete run of the Sequencer pattern with the time of each step,
// so that a drift over days shows (a door that closes slower each day).
#include <cstdint>
#include <vector>

#include "analysis/report_occurrence.h"
#include "analysis/sequence_matcher.h"
#include "core/records.h"

namespace korvalog {

struct SequenceRun {
  double start = 0;                 // date-time of step 1
  std::vector<double> stepSeconds;  // each step from step 1 (step 1 = 0)
  bool violation = false;           // a step outside its minimum or maximum
};

class SequenceTrend {
 public:
  void Start(const SequenceTable& table, const uint8_t (&startStates)[kChannelCount]);
  // One change of a channel; the caller skips repeated levels.
  void Edge(uint8_t channel, uint8_t oldState, uint8_t newState, double time) {
    if (rows_ > 0 && matcher_.StateZero()[channel - 1] != kSearchIgnore) Step(channel, oldState, newState, time);
  }

  // A row names the channel, so its changes may move the pattern on.
  bool Involves(int channel) const { return rows_ > 0 && matcher_.StateZero()[channel - 1] != kSearchIgnore; }
  int Rows() const { return rows_; }
  std::vector<SequenceRun> runs;
  Occurrences occurrences;  // one per run, `run` indexes `runs`

 private:
  void Step(uint8_t channel, uint8_t oldState, uint8_t newState, double time);

  SequenceTable table_{};
  SequenceMatcher matcher_;
  int rows_ = 0;
  SequenceRun current_;
};

}  // namespace korvalog
