#include "chart/store_summary.h"


namespace korvalog {

void StoreSummary::Follow(const EventStore& store) {
  const uint32_t revision = store.Revision();
  const EventStore::Look look = store.Now();
  const size_t complete = look.count / kBlockEvents;
  if (look.events != events_ || look.part != part_ || revision != revision_ || complete < blocks_.size()) {
    blocks_.clear();
    events_ = look.events;
    part_ = look.part;
    revision_ = revision;
  }
  // Room for a full store at once: a capture that fills it never moves it.
  if (blocks_.capacity() == 0) blocks_.reserve(kEventCapacity / kBlockEvents);
  for (size_t b = blocks_.size(); b < complete; ++b) blocks_.push_back(Sum(look.events + b * kBlockEvents));
}

// Without branches on the data: a summary costs about as much as reading
// the records.
StoreSummary::Block StoreSummary::Sum(const EventRecord* e) {
  // Times in order (as a capture gives them) make the first and the last
  // the least and the greatest. A block out of order, or with an unreadable
  // time, is left to the record-by-record walk.
  bool ordered = true;
  double previous = e[0].time;
  // The two words in registers: channels 1-64 and 65-128.
  uint64_t moved0 = 0, moved1 = 0, level0 = 0, level1 = 0;
  for (uint32_t i = 0; i < kBlockEvents; ++i) {
    const double t = e[i].time;
    ordered &= t >= previous;  // false for NaN
    previous = t;
    const unsigned c = e[i].channel - 1u;
    // Masks from comparisons, not branches: the channels come in no order.
    const uint64_t valid = uint64_t{0} - static_cast<uint64_t>(c < static_cast<unsigned>(kChannelCount));
    const uint64_t low = uint64_t{0} - static_cast<uint64_t>(c < 64);
    const uint64_t bit = (uint64_t{1} << (c & 63)) & valid;
    const uint64_t bit0 = bit & low, bit1 = bit & ~low;
    const uint64_t high = uint64_t{0} - static_cast<uint64_t>(e[i].state != 0);
    moved0 |= bit0;
    moved1 |= bit1;
    level0 ^= (level0 ^ high) & bit0;
    level1 ^= (level1 ^ high) & bit1;
  }
  return Block{e[0].time, e[kBlockEvents - 1].time, ordered, {moved0, moved1}, {level0, level1}};
}

}  // namespace korvalog
