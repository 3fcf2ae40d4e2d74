#include "chart/snapshot_walk.h"

namespace korvalog {

namespace {

const SequenceTable kNoSteps{};

}  // namespace

EventWalker::EventWalker(const CaptureData& data, const CaptureView& view)
    : EventWalker(data.Store.Now(), view) {}

EventWalker::EventWalker(const EventStore::Look& look, const CaptureView& view)
    : sequence_(view.Sequence), events_(look.events), count_(look.count) {
  for (int c = 0; c < kChannelCount; ++c) {
    const uint8_t condition = view.Traces.Search(c + 1);
    conditions_[c] = condition <= kSearchHigh ? condition : kSearchIgnore;
  }
}

EventWalker::EventWalker(const CaptureData& data)
    : sequence_(kNoSteps), events_(data.Store.Now().events), count_(data.Store.Now().count) {
  for (uint8_t& c : conditions_) c = kSearchIgnore;
}

void EventWalker::StartPass(const PositionSnapshot& start) {
  PositionSnapshot levels = start;
  NormaliseStates(levels);
  SearchMismatch = 0;
  for (int c = 0; c < kChannelCount; ++c) {
    if (conditions_[c] != kSearchIgnore && conditions_[c] != levels.states[c]) ++SearchMismatch;
  }
  Matcher.StartPass(sequence_, levels.states);
}

void EventWalker::AdvanceSnapshot(PositionSnapshot& s, double t, const PositionSnapshot& bound) {
  WalkRecords(s, events_, EndIndex(bound), t, [this](PositionSnapshot& at) { StepEvent(at); });
}

}  // namespace korvalog
