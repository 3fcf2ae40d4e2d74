#include "chart/grid_edits.h"

namespace korvalog {
namespace {

bool ValidRow(int row) { return row >= 1 && row <= kChannelCount; }

void MarkModifiedIfEvents(CaptureData& data) {
  if (data.Store.Count() > 0) data.DataModified.store(1, std::memory_order_release);
}

}  // namespace

int ChannelOfRow(const CaptureData& data, int row) { return ValidRow(row) ? data.Order[row - 1] : 0; }

void SetChannelNameFromEdit(CaptureData& data, int row, std::string_view text) {
  const int channel = ChannelOfRow(data, row);
  if (channel < 1 || channel > kChannelCount) return;
  SetChannelName(data.Channels[channel - 1], text.substr(0, kChannelNameMax));
  MarkModifiedIfEvents(data);
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
  MarkModifiedIfEvents(data);
  return true;
}

void CycleSearchCondition(CaptureData& data, int channel) {
  if (channel < 1 || channel > kChannelCount) return;
  uint8_t& condition = data.Channels[channel - 1].SearchCondition;
  switch (condition) {
    case kSearchIgnore: condition = kSearchHigh; break;
    case kSearchHigh: condition = kSearchLow; break;
    case kSearchLow: condition = kSearchIgnore; break;
    default: break;
  }
}

void SearchOnlyHigh(CaptureData& data, int channel) {
  for (ChannelRecord& rec : data.Channels) rec.SearchCondition = kSearchIgnore;
  if (channel >= 1 && channel <= kChannelCount) data.Channels[channel - 1].SearchCondition = kSearchHigh;
}

}  // namespace korvalog
