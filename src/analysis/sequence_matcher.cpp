#include "analysis/sequence_matcher.h"

#include <cmath>

#include "base/date_time.h"

namespace korvalog {

int64_t GapToWholeSeconds(double days) {
  const double ms = days * kMsPerDay;
  // Damaged time stamps: no gap rather than an undefined conversion.
  if (!std::isfinite(ms)) return 0;
  constexpr double kLimit = 9.0e15;
  const int64_t whole = std::llround(ms < -kLimit ? -kLimit : (ms > kLimit ? kLimit : ms));
  int64_t seconds = whole / 1000;
  int64_t rest = whole % 1000;
  if (rest < 0) {
    rest += 1000;
    seconds -= 1;
  }
  if (rest > 500 || (rest == 500 && (seconds & 1) != 0)) ++seconds;
  return seconds;
}

void SequenceMatcher::StartPass(const SequenceTable& table,
                                const uint8_t (&startStates)[kChannelCount]) {
  rows_ = table;
  for (SequenceRow& row : rows_) row.event = row.event != 0 ? 1 : 0;
  stateZero_ = BuildStateZero(rows_);
  StateZeroMismatch = 0;
  for (int c = 0; c < kChannelCount; ++c) {
    if (stateZero_[c] != kSearchIgnore && stateZero_[c] != (startStates[c] != 0 ? 1 : 0)) {
      ++StateZeroMismatch;
    }
  }
  SequencePosition = 0;
}

bool SequenceMatcher::StepInvolved(uint8_t channel, uint8_t oldState, uint8_t newState, double time) {
  const uint8_t zero = stateZero_[channel - 1];

  // Past the last row (State 0 did not hold at completion): start over.
  if (RowEmpty(SequencePosition)) SequencePosition = 0;

  bool violation = false;
  const SequenceRow& expected = rows_[SequencePosition];
  if (expected.signal == channel && expected.event == newState) {
    if (SequencePosition > 0) {
      const SequenceRow& previous = rows_[SequencePosition - 1];
      const int64_t gap = GapToWholeSeconds(time - LastStepTime);
      violation = (previous.minTime > 0 && gap < previous.minTime) ||
                  (previous.maxTime > 0 && gap > previous.maxTime);
    }
    // Row 1 starts the pattern only from State 0.
    if (SequencePosition > 0 || StateZeroMismatch == 0) ++SequencePosition;
    LastStepTime = time;
  } else if (SequencePosition > 0) {
    SequencePosition = 0;  // out of turn
    violation = true;
  } else {
    violation = StateZeroMismatch == 0;
  }

  // Counted from the real change, so a repeated level (possible only in a
  // loaded file) cannot push the count off.
  if (oldState != newState) StateZeroMismatch += newState != zero ? 1 : -1;

  // Complete and back in State 0: wait for row 1 again.
  if (RowEmpty(SequencePosition) && StateZeroMismatch == 0) SequencePosition = 0;
  return violation;
}

}  // namespace korvalog
