#include "chart/channel_index.h"

#include <algorithm>

namespace korvalog {

void ChannelIndex::Clear() {
  built_ = false;
  indexed_ = 0;
  ordered_ = true;
  std::fill(std::begin(offsets_), std::end(offsets_), 0u);
}

void ChannelIndex::Build(const EventRecord* events, uint32_t count) {
  Clear();
  if (count > capacity_) {
    positions_.reset(new uint32_t[count]);  // no zero fill: every slot is written below
    capacity_ = count;
  }
  // Counting sort by channel: one pass counts (and checks the time order),
  // one places. Slot 0 of `counts` gathers events naming no channel.
  uint32_t counts[kChannelCount + 1] = {};
  bool ordered = true;
  double previous = count > 0 ? static_cast<double>(events[0].time) : 0.0;
  for (uint32_t i = 0; i < count; ++i) {
    const unsigned c = events[i].channel;
    ++counts[c - 1u < static_cast<unsigned>(kChannelCount) ? c : 0];
    const double t = events[i].time;
    ordered &= !(t < previous);
    previous = t;
  }
  uint32_t next[kChannelCount + 1];
  uint32_t sum = 0;
  for (int c = 1; c <= kChannelCount; ++c) {
    offsets_[c - 1] = sum;
    next[c] = sum;
    sum += counts[c];
  }
  offsets_[kChannelCount] = sum;
  uint32_t* out = positions_.get();
  for (uint32_t i = 0; i < count; ++i) {
    const unsigned c = events[i].channel;
    if (c - 1u < static_cast<unsigned>(kChannelCount)) out[next[c]++] = i;
  }
  indexed_ = count;
  ordered_ = ordered;
  built_ = true;
}

uint32_t ChannelIndex::CountBefore(int channel, uint32_t index) const {
  const std::span<const uint32_t> p = Positions(channel);
  return static_cast<uint32_t>(std::lower_bound(p.begin(), p.end(), index) - p.begin());
}

}  // namespace korvalog
