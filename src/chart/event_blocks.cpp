#include "chart/event_blocks.h"

#include <cmath>

namespace korvalog {

void EventBlocks::Follow(const EventStore& store) {
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
  for (size_t b = blocks_.size(); b < complete; ++b) {
    const EventRecord* e = look.events + b * kBlockEvents;
    Block block{e[0].time, e[0].time, true, {0, 0}, {0, 0}};
    for (uint32_t i = 0; i < kBlockEvents; ++i) {
      const double t = e[i].time;
      if (std::isnan(t)) block.timed = false;
      if (t < block.firstTime) block.firstTime = t;
      if (t > block.lastTime) block.lastTime = t;
      const unsigned c = e[i].channel - 1u;
      if (c >= static_cast<unsigned>(kChannelCount)) continue;
      const uint64_t bit = uint64_t{1} << (c & 63);
      block.moved[c >> 6] |= bit;
      if (e[i].state != 0) block.level[c >> 6] |= bit;
      else block.level[c >> 6] &= ~bit;
    }
    blocks_.push_back(block);
  }
}

}  // namespace korvalog
