#pragma once
// Where each channel's events lie in the store, made in one pass over it: for
// every event the position of the previous event on its channel (4 bytes per
// event), and every block of events a checkpoint of each channel's latest
// event. A channel's next or previous event from any position is found
// by reading at most one block and following the links, never by walking the
// capture; the levels at a position come from the checkpoint before it and
// at most one block.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/capture_data.h"
#include "core/records.h"

namespace korvalog {

class ChannelIndex {
 public:
  static constexpr uint32_t kNone = 0xFFFFFFFFu;
  static constexpr uint32_t kDefaultBlock = 16384;

  explicit ChannelIndex(uint32_t blockEvents = kDefaultBlock) : block_(blockEvents < 1 ? 1 : blockEvents) {}

  // Indexes the first `count` events, with the channels' levels before the
  // first one (events naming no channel 1..128 are passed over). The events
  // must stay where they are while the index is used.
  void Build(const EventRecord* events, uint32_t count, const uint8_t (&startLevels)[kChannelCount]);
  void Build(const CaptureData& data) { Build(data.Store.Data(), data.Store.Count(), data.CaptureStart.states); }
  void Clear();

  bool Built() const { return built_; }
  uint32_t Indexed() const { return count_; }
  // True when no event is earlier than the one before it, so times can be
  // found by bisection.
  bool TimeOrdered() const { return ordered_; }
  // Bytes held: 4 per event and the checkpoints.
  size_t MemoryBytes() const;

  // The previous event on event i's channel, or kNone.
  uint32_t Previous(uint32_t i) const { return i < count_ ? previous_[i] : kNone; }
  // The channel's last event before store position p, and its first event at
  // or after p; kNone when there is none.
  uint32_t LastBefore(int channel, uint32_t p) const;
  uint32_t FirstFrom(int channel, uint32_t p) const;
  // The channel's level before store position p (0 or 1).
  uint8_t LevelBefore(int channel, uint32_t p) const;
  // Every channel's level before store position p (reads at most one block).
  void LevelsBefore(uint32_t p, uint8_t (&levels)[kChannelCount]) const;

 private:
  struct Checkpoint {
    std::array<uint32_t, kChannelCount> last;  // latest event before the block
  };
  static bool Valid(unsigned c) { return c - 1u < static_cast<unsigned>(kChannelCount); }

  uint32_t block_;
  const EventRecord* events_ = nullptr;
  std::unique_ptr<uint32_t[]> previous_;
  size_t capacity_ = 0;
  std::vector<Checkpoint> checkpoints_;  // one per block, and one for the end
  uint8_t startLevels_[kChannelCount] = {};
  uint32_t count_ = 0;
  bool ordered_ = true;
  bool built_ = false;
};

}  // namespace korvalog
