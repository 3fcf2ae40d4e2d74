#pragma once
// What the waveform column shows for a selection: per channel the level
// segments and edges, computed in one pass over the selected events. The
// drawing code replays the segments into each channel's bitmap.
#include <array>
#include <cstdint>
#include <vector>

#include "chart/store_summary.h"
#include "chart/level_segment.h"
#include "core/capture_data.h"

namespace korvalog {

struct WaveformPlan {
  uint16_t waveWidth = 0;
  bool hasData = false;  // without data the waveform column stays blank
  // channels[ch - 1]: the segments of channel ch in drawing order; the last
  // one runs flat to waveWidth.
  std::array<std::vector<LevelSegment>, kChannelCount> channels;
};

// Every transition in the selection draws the level held before it up to its
// column, with an edge there; further transitions of the channel in the same
// column only move its level. A channel without transitions is one flat line
// at its level at the selection start. Reuses the plan's buffers: after the
// first pass over a width nothing is allocated. `live`: a capture runs and
// the selection's end index lies below the published count. `summary`, when
// given and following the store, lets whole blocks in one column be taken at
// once; the plan is the same either way.
void RenderWaveforms(const CaptureData& data, const PositionSnapshot& selectionStart,
                     const PositionSnapshot& selectionEnd, uint16_t waveWidth, WaveformPlan& plan,
                     bool live = false, const StoreSummary* summary = nullptr);

}  // namespace korvalog
