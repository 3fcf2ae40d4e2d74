#include "chart/grid_edits.h"

#include "core/user_edits.h"

namespace korvalog {

void SetChannelNameFromEdit(CaptureData& data, TraceList& traces, int row, std::string_view text) {
  const int channel = traces.ChannelAt(row);
  if (channel < 1 || channel > kChannelCount) return;
  traces.SetName(channel, text.substr(0, kChannelNameMax));
  MarkUserEdit(data);
}

bool MoveDisplayRow(CaptureData& data, TraceList& traces, int from, int to) {
  if (!traces.MoveRow(from, to)) return false;
  MarkUserEdit(data);
  return true;
}

void CycleSearchCondition(CaptureData& data, TraceList& traces, int channel) {
  if (channel < 1 || channel > kChannelCount) return;
  switch (traces.Search(channel)) {
    case kSearchIgnore: traces.SetSearch(channel, kSearchHigh); break;
    case kSearchHigh: traces.SetSearch(channel, kSearchLow); break;
    case kSearchLow: traces.SetSearch(channel, kSearchIgnore); break;
    default: return;
  }
  MarkUserEdit(data);  // the conditions are saved with the capture
}

void SearchOnlyHigh(CaptureData& data, TraceList& traces, int channel) {
  bool changed = false;
  for (int c = 1; c <= kChannelCount; ++c) {
    const uint8_t wanted = c == channel ? kSearchHigh : kSearchIgnore;
    changed = changed || traces.Search(c) != wanted;
    traces.SetSearch(c, wanted);
  }
  if (changed) MarkUserEdit(data);
}

}  // namespace korvalog
