#pragma once
// Where each channel's events lie in the store: for every channel the
// positions of its events in store order, in one array of 4 bytes per event.
// Navigation (next and previous change, the levels at a time, the pulse under
// the pointer) looks a channel up here instead of walking the capture.
#include <cstdint>
#include <memory>
#include <span>

#include "core/capture_data.h"
#include "core/records.h"

namespace korvalog {

class ChannelIndex {
 public:
  // Indexes the first `count` events (events naming no channel 1..128 are
  // left out). Memory is kept for the next build of the same or fewer events.
  void Build(const EventRecord* events, uint32_t count);
  void Build(const CaptureData& data) { Build(data.Store.Data(), data.Store.Count()); }
  void Clear();

  bool Built() const { return built_; }
  uint32_t Indexed() const { return indexed_; }
  // True when no event is earlier than the one before it, so times can be
  // found by bisection.
  bool TimeOrdered() const { return ordered_; }
  // Bytes held for the positions (4 per event) and the channel table.
  size_t MemoryBytes() const { return capacity_ * sizeof(uint32_t) + sizeof offsets_; }

  // The store positions of the channel's events, ascending.
  std::span<const uint32_t> Positions(int channel) const {
    if (channel < 1 || channel > kChannelCount || !built_) return {};
    return {positions_.get() + offsets_[channel - 1], positions_.get() + offsets_[channel]};
  }
  // How many of the channel's events lie before store position `index`.
  uint32_t CountBefore(int channel, uint32_t index) const;

 private:
  std::unique_ptr<uint32_t[]> positions_;
  size_t capacity_ = 0;
  uint32_t offsets_[kChannelCount + 1] = {};
  uint32_t indexed_ = 0;
  bool ordered_ = true;
  bool built_ = false;
};

}  // namespace korvalog
