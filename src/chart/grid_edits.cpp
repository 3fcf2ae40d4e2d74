#include "chart/grid_edits.h"

#include "core/user_edits.h"

namespace korvalog {
namespace {

bool ValidRow(int row) { return row >= 1 && row <= kChannelCount; }

}  // namespace

int ChannelOfRow(const CaptureData& data, int row) { return ValidRow(row) ? data.Order[row - 1] : 0; }

void SetChannelNameFromEdit(CaptureData& data, int row, std::string_view text) {
  const int channel = ChannelOfRow(data, row);
  if (channel < 1 || channel > kChannelCount) return;
  SetChannelName(data.Channels[channel - 1], text.substr(0, kChannelNameMax));
  MarkUserEdit(data);
}

bool MoveDisplayRow(CaptureData& data, int from, int to) {
  if (!ValidRow(from) || !ValidRow(to) || from == to) return false;
  const uint8_t c = data.Order[from - 1];
  if (from > to) {
    for (int r = from; r > to; --r) data.Order[r - 1] = data.Order[r - 2];
  } else {
    for (int r = from; r < to; ++r) data.Order[r - 1] = data.Order[r];
  }
  data.Order[to - 1] = c;
  MarkUserEdit(data);
  return true;
}

void CycleSearchCondition(CaptureData& data, int channel) {
  if (channel < 1 || channel > kChannelCount) return;
  uint8_t& condition = data.Channels[channel - 1].SearchCondition;
  switch (condition) {
    case kSearchIgnore: condition = kSearchHigh; break;
    case kSearchHigh: condition = kSearchLow; break;
    case kSearchLow: condition = kSearchIgnore; break;
    default: return;
  }
  MarkUserEdit(data);  // the conditions are saved with the capture
}

void SearchOnlyHigh(CaptureData& data, int channel) {
  bool changed = false;
  for (int c = 1; c <= kChannelCount; ++c) {
    const uint8_t wanted = c == channel ? kSearchHigh : kSearchIgnore;
    uint8_t& condition = data.Channels[c - 1].SearchCondition;
    changed = changed || condition != wanted;
    condition = wanted;
  }
  if (changed) MarkUserEdit(data);
}

}  // namespace korvalog
