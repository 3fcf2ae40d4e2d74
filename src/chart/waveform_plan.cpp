#include "chart/waveform_plan.h"

#include "chart/snapshot_walk.h"
#include "chart/time_axis.h"

namespace korvalog {

void RenderWaveforms(const CaptureData& data, const PositionSnapshot& selectionStart,
                     const PositionSnapshot& selectionEnd, uint16_t waveWidth, WaveformPlan& plan) {
  plan.waveWidth = waveWidth;
  plan.hasData = data.DataPresent.load(std::memory_order_acquire) != 0;
  for (std::vector<LevelSegment>& segments : plan.channels) {
    segments.clear();
    // One segment per column and the final one, when times run forward.
    if (plan.hasData) segments.reserve(static_cast<size_t>(waveWidth) + 1);
  }
  if (!plan.hasData) return;

  const TimeAxis axis(selectionStart, selectionEnd, waveWidth);
  PositionSnapshot w = selectionStart;
  NormaliseStates(w);
  uint16_t lastX[kChannelCount];
  for (uint16_t& x : lastX) x = kNoColumn;

  const EventRecord* events = data.Store.Data();
  const uint32_t count = data.Store.Count();
  const uint32_t end = selectionEnd.index < count ? selectionEnd.index : count;
  for (uint32_t i = w.index; i < end; ++i) {
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount)) continue;
    const uint16_t x = axis.X(e.time);
    if (x != lastX[c]) {
      // The level before the transition; equals "not the new level" for
      // every real transition, and stays right for a repeated one.
      plan.channels[c].push_back(
          LevelSegment{lastX[c] == kNoColumn ? uint16_t{0} : lastX[c], x, w.states[c], true});
      lastX[c] = x;
    }
    w.states[c] = e.state != 0 ? 1 : 0;
  }
  for (int c = 0; c < kChannelCount; ++c) {
    plan.channels[c].push_back(
        LevelSegment{lastX[c] == kNoColumn ? uint16_t{0} : lastX[c], waveWidth, w.states[c], false});
  }
}

}  // namespace korvalog
