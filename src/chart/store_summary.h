#pragma once
// The store summed up in blocks of kBlockEvents records, so that a walk over
// a wide view takes a block whose events all fall in one pixel column at
// once: which channels it moves, and the level each one has after it. A
// view of the whole capture then reads about one summary per column instead
// of a thousand records. Interface thread.
#include <cstdint>
#include <vector>

#include "core/capture_data.h"

namespace korvalog {

class StoreSummary {
 public:
  static constexpr uint32_t kBlockEvents = 128;

  struct Block {
    double firstTime;  // its first record's time, the least
    double lastTime;   // its last record's time, the greatest
    bool timed;        // false for times out of order or unreadable: walked record by record
    uint64_t moved[2];  // bit c: channel c + 1 has an event in the block
    uint64_t level[2];  // bit c: its level after its last event there
  };

  // Sums up the store's complete blocks: from the start when its records
  // are not the ones summed up before (another block, part or revision, or
  // fewer records), else only the blocks completed since.
  void Follow(const EventStore& store);
  // The block starting at record `first` of `events`, when it is summed up.
  const Block* At(const EventRecord* events, uint32_t first) const {
    if (events != events_ || first % kBlockEvents != 0 || first / kBlockEvents >= blocks_.size()) return nullptr;
    return &blocks_[first / kBlockEvents];
  }

 private:
  static Block Sum(const EventRecord* first);

  std::vector<Block> blocks_;
  const EventRecord* events_ = nullptr;
  uint32_t part_ = 0;
  uint32_t revision_ = 0;
};

}  // namespace korvalog
