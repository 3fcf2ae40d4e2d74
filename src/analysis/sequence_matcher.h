#pragma once
// Matches a walk over captured events against the Sequencer's step table:
// which row is expected next, whether State 0 holds, and the timing
// violations. Lives for one pass over a window of events; no allocation.
#include <cstdint>

#include "analysis/state_zero.h"
#include "core/records.h"

namespace korvalog {

// A gap in days as whole seconds, rounded to the nearest with halves to even.
// The gap is first taken to whole milliseconds (the clock's resolution), so a
// gap of 9.5 s cannot turn into 9.4999... through day-based arithmetic.
int64_t GapToWholeSeconds(double days);

class SequenceMatcher {
 public:
  // Takes a copy of the table and derives State 0 from it, then counts how
  // many involved channels of `start` differ from State 0; position 1.
  void StartPass(const SequenceTable& table, const uint8_t (&startStates)[kChannelCount]);

  // One event whose new level is already stored by the caller. `oldState`
  // is the channel's level before it. True when the event is a violation.
  // Most events are on channels no row names; they are told apart here,
  // inline, so a walk pays the full step only for the others.
  bool Step(uint8_t channel, uint8_t oldState, uint8_t newState, double time) {
    if (stateZero_[channel - 1] == kSearchIgnore) return false;
    return StepInvolved(channel, oldState, newState, time);
  }

  // -1 while State 0 does not hold and no step matched, else the number of
  // rows matched so far (0 = waiting for row 1).
  int SequenceLevel() const {
    return (SequencePosition != 0 || StateZeroMismatch == 0) ? SequencePosition : -1;
  }
  const StateZeroTable& StateZero() const { return stateZero_; }

  int SequencePosition = 0;   // index of the next expected row, 0..15
  int StateZeroMismatch = 0;  // involved channels not at their State 0 level
  double LastStepTime = 0.0;  // time of the event that matched the latest row

 private:
  bool StepInvolved(uint8_t channel, uint8_t oldState, uint8_t newState, double time);
  bool RowEmpty(int position) const {
    return position >= kSequenceRows || rows_[position].signal == 0;
  }

  SequenceTable rows_{};
  StateZeroTable stateZero_{};
};

}  // namespace korvalog
