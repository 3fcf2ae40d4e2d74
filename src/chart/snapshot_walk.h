#pragma once
// Walking a position snapshot through the captured events: each event sets
// its channel's level in the snapshot (core/level_walk.h), keeps the search
// counter up to date and is handed to the Sequencer matcher.
#include <cstdint>

#include "analysis/sequence_matcher.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/level_walk.h"
#include "core/records.h"

namespace korvalog {

class EventWalker {
 public:
  // Reads the store's count, and the view's search conditions and
  // Sequencer table, as they are now; neither may change while the walker
  // is used.
  EventWalker(const CaptureData& data, const CaptureView& view);
  // The same over one look at the store (block and count together).
  EventWalker(const EventStore::Look& look, const CaptureView& view);
  // Levels alone: nothing searched, an empty pattern.
  explicit EventWalker(const CaptureData& data);

  // Sets the search counter and the matcher up for a pass from `start`.
  void StartPass(const PositionSnapshot& start);

  // Applies event s.index to s (the caller advances the index). True when
  // the Sequencer reports a violation. Events naming no channel 1..128 (only
  // from a damaged file) change nothing.
  bool StepEvent(PositionSnapshot& s) {
    const EventRecord& e = events_[s.index];
    const unsigned c = e.channel;
    if (c - 1u >= static_cast<unsigned>(kChannelCount)) return false;
    const uint8_t state = e.state != 0 ? 1 : 0;
    const uint8_t old = s.states[c - 1];
    s.states[c - 1] = state;
    const uint8_t condition = conditions_[c - 1];
    // Only a real change moves the counter, so repeated levels cannot
    // unbalance it.
    if (condition != kSearchIgnore && old != state) {
      SearchMismatch = static_cast<uint8_t>(SearchMismatch + (condition != state ? 1 : -1));
    }
    return Matcher.Step(static_cast<uint8_t>(c), old, state, e.time);
  }

  // A link gap lies behind the event about to be stepped: the pattern starts
  // over from the levels known now, as at a capture's start, so that no step
  // or violation is measured across inputs that were not seen.
  void RestartAfterGap(const PositionSnapshot& s) { Matcher.StartPass(sequence_, s.states); }

  // Walks s forward to time t, never past `bound`.index (the zoom end) or
  // the store's count; s.time becomes t.
  void AdvanceSnapshot(PositionSnapshot& s, double t, const PositionSnapshot& bound);

  // The last index a walk may reach: the bound's index held to the count.
  uint32_t EndIndex(const PositionSnapshot& bound) const {
    return bound.index < count_ ? bound.index : count_;
  }
  const EventRecord& Event(uint32_t index) const { return events_[index]; }
  const EventRecord* Events() const { return events_; }
  // The channel is searched or named by a Sequencer row (after StartPass).
  bool Involved(int channel) const {
    return conditions_[channel - 1] != kSearchIgnore || Matcher.StateZero()[channel - 1] != kSearchIgnore;
  }

  uint8_t SearchMismatch = 0;  // searched channels not at their wanted level
  SequenceMatcher Matcher;

 private:
  const SequenceTable& sequence_;
  const EventRecord* events_;
  uint32_t count_;
  uint8_t conditions_[kChannelCount];
};

}  // namespace korvalog
