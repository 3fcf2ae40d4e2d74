#pragma once
// The one walk over the zoom window's events that the strip is built from:
// the search match state and the Sequencer level before and after each event.
#include <cstdint>

#include "chart/snapshot_walk.h"
#include "core/capture_data.h"

namespace korvalog {

struct StripStep {
  const EventRecord& event;
  bool matchBefore;  // the search held before the event
  bool matchAfter;
  int levelBefore;   // SequenceLevel before and after the event
  int levelAfter;
  bool violation;    // the Sequencer's verdict on the event
};

struct StripWalkEnd {
  bool match;  // the search holds at the window's end
  int level;   // SequenceLevel at the window's end
};

// Walks a copy of zoomStart up to zoomEnd's index (held to the store's
// count), calling visit(const StripStep&) for every event.
template <class Visit>
StripWalkEnd WalkStrip(const CaptureData& data, const PositionSnapshot& zoomStart,
                       const PositionSnapshot& zoomEnd, Visit&& visit) {
  EventWalker walker(data);
  PositionSnapshot w = zoomStart;
  NormaliseStates(w);
  walker.StartPass(w);
  const uint32_t end = walker.EndIndex(zoomEnd);
  for (; w.index < end; ++w.index) {
    const bool matchBefore = walker.SearchMismatch == 0;
    const int levelBefore = walker.Matcher.SequenceLevel();
    const bool violation = walker.StepEvent(w);
    visit(StripStep{walker.Event(w.index), matchBefore, walker.SearchMismatch == 0, levelBefore,
                    walker.Matcher.SequenceLevel(), violation});
  }
  return StripWalkEnd{walker.SearchMismatch == 0, walker.Matcher.SequenceLevel()};
}

}  // namespace korvalog
