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
// count), calling visit(const StripStep&) for every event on a channel that
// is searched or that a Sequencer row names. Events on other channels can
// change neither the match nor the staircase, and the working copy's levels
// are not used after the walk, so they are passed over. Across a link gap
// the Sequencer starts over (EventWalker::RestartAfterGap).
template <class Visit>
StripWalkEnd WalkStrip(const CaptureData& data, const CaptureView& view, const PositionSnapshot& zoomStart,
                       const PositionSnapshot& zoomEnd, Visit&& visit) {
  EventWalker walker(data, view);
  PositionSnapshot w = zoomStart;
  NormaliseStates(w);
  walker.StartPass(w);
  bool relevant[kChannelCount];
  for (int c = 0; c < kChannelCount; ++c) relevant[c] = walker.Involved(c + 1);
  const uint32_t end = walker.EndIndex(zoomEnd);
  const EventRecord* events = walker.Events();
  GapCursor gaps(data.Gaps.Spans(), zoomStart.time);
  // The index lives in a register; the snapshot hears it only when stepped.
  for (uint32_t i = w.index; i < end; ++i) {
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount) || !relevant[c]) continue;
    if (gaps.Crossed(e.time)) [[unlikely]] walker.RestartAfterGap(w);
    const bool matchBefore = walker.SearchMismatch == 0;
    const int levelBefore = walker.Matcher.SequenceLevel();
    w.index = i;
    const bool violation = walker.StepEvent(w);
    visit(StripStep{e, matchBefore, walker.SearchMismatch == 0, levelBefore, walker.Matcher.SequenceLevel(),
                    violation});
  }
  return StripWalkEnd{walker.SearchMismatch == 0, walker.Matcher.SequenceLevel()};
}

}  // namespace korvalog
