#include "chart/waveform_plan.h"

#include "chart/snapshot_walk.h"
#include "chart/time_axis.h"

namespace korvalog {

void RenderWaveforms(const CaptureData& data, const PositionSnapshot& selectionStart,
                     const PositionSnapshot& selectionEnd, uint16_t waveWidth, WaveformPlan& plan) {
  plan.waveWidth = waveWidth;
  plan.hasData = data.DataPresent.load(std::memory_order_acquire) != 0;
  if (!plan.hasData) {
    for (std::vector<LevelSegment>& segments : plan.channels) segments.clear();
    return;
  }

  // Every event writes a segment into its channel's next free slot; the slot
  // is kept only when the event moved to a new column. Writing always and
  // advancing by the comparison spares a branch that a mixed capture would
  // mispredict at every few events. Times running forward need one slot per
  // column plus the final one and the spare slot written ahead.
  struct Track {
    LevelSegment* next;
    LevelSegment* limit;  // the last slot: reaching it asks for more room
    uint16_t lastX;       // kNoColumn until the channel's first transition
    uint8_t level;
  };
  Track tracks[kChannelCount];
  const size_t room = static_cast<size_t>(waveWidth) + 2;
  PositionSnapshot start = selectionStart;
  NormaliseStates(start);
  for (int c = 0; c < kChannelCount; ++c) {
    std::vector<LevelSegment>& segments = plan.channels[c];
    segments.resize(room);
    tracks[c] = Track{segments.data(), segments.data() + room - 1, kNoColumn, start.states[c]};
  }

  const TimeAxis axis(selectionStart, selectionEnd, waveWidth);
  ColumnCursor columns(axis);
  const EventRecord* events = data.Store.Data();
  const uint32_t count = data.Store.Count();
  const uint32_t end = selectionEnd.index < count ? selectionEnd.index : count;
  for (uint32_t i = selectionStart.index; i < end; ++i) {
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount)) continue;
    const uint16_t x = columns.X(e.time);
    Track& k = tracks[c];
    // The level before the transition; equals "not the new level" for
    // every real transition, and stays right for a repeated one.
    *k.next = LevelSegment{k.lastX == kNoColumn ? uint16_t{0} : k.lastX, x, k.level, true};
    k.next += x != k.lastX ? 1 : 0;
    k.lastX = x;
    k.level = e.state != 0 ? 1 : 0;
    if (k.next == k.limit) {
      // Times that run backwards (a damaged file) need more room.
      std::vector<LevelSegment>& segments = plan.channels[c];
      const size_t used = static_cast<size_t>(k.next - segments.data());
      segments.resize(segments.size() * 2);
      k.next = segments.data() + used;
      k.limit = segments.data() + segments.size() - 1;
    }
  }
  for (int c = 0; c < kChannelCount; ++c) {
    Track& k = tracks[c];
    *k.next++ = LevelSegment{k.lastX == kNoColumn ? uint16_t{0} : k.lastX, waveWidth, k.level, false};
    std::vector<LevelSegment>& segments = plan.channels[c];
    segments.resize(static_cast<size_t>(k.next - segments.data()));
  }
}

}  // namespace korvalog
