#pragma once
// Questions about a finished capture answered from the per-channel index
// without walking it: the position of a time, the levels there, a channel's
// next and previous change, and the pulse around a time.
#include <cstdint>
#include <optional>

#include "chart/channel_index.h"
#include "core/capture_data.h"
#include "core/records.h"

namespace korvalog {

// One change of a channel's level: the event's store position and time.
struct ChannelChange {
  uint32_t index = 0;
  double time = 0.0;
  uint8_t level = 0;  // the level it changes to
};

// Where a channel's pulse around a time begins and ends, and the period and
// duty from the rising edges around it. Unset parts: no such change.
struct PulseReading {
  uint8_t level = 0;
  std::optional<ChannelChange> previous;  // the change the level dates from
  std::optional<ChannelChange> next;      // the change that ends it
  std::optional<double> period;           // rising edge to rising edge, days
  std::optional<double> highTime;         // HIGH part of that period, days
};

class CaptureLookup {
 public:
  // `index` must have been built from `data`'s store as it is now.
  CaptureLookup(const CaptureData& data, const ChannelIndex& index) : data_(data), index_(index) {}

  // First event at or after t (strictly after with `after`), held to the
  // capture's end index.
  uint32_t FirstIndexAt(double t, bool after = false) const;
  // The capture at time t: the snapshot a walk from the capture start to t
  // gives (index of the first event not before t, the levels before it).
  PositionSnapshot SnapshotAt(double t) const;
  // The channel's level just before store position `index`.
  uint8_t LevelBefore(int channel, uint32_t index) const;

  // The channel's first change at or after store position `from`, and its
  // last change before store position `before`.
  std::optional<ChannelChange> NextChange(int channel, uint32_t from) const;
  std::optional<ChannelChange> PreviousChange(int channel, uint32_t before) const;
  // The same limited to rising (level 1) changes.
  std::optional<ChannelChange> NextRise(int channel, uint32_t from) const;
  std::optional<ChannelChange> PreviousRise(int channel, uint32_t before) const;

  // The channel at time t.
  PulseReading PulseAt(int channel, double t) const;

 private:
  uint32_t EndIndex() const;
  uint8_t StartLevel(int channel) const { return data_.CaptureStart.states[channel - 1] != 0 ? 1 : 0; }
  uint8_t Level(uint32_t index) const { return data_.Store[index].state != 0 ? 1 : 0; }
  // The channel's level before its own event `event`.
  uint8_t LevelBeforeEvent(int channel, uint32_t event) const;
  // The channel's first change at or after `from` (last one before
  // `before`) to `wanted`, or to any level when wanted is 2.
  std::optional<ChannelChange> Forward(int channel, uint32_t from, uint8_t wanted) const;
  std::optional<ChannelChange> Backward(int channel, uint32_t before, uint8_t wanted) const;

  const CaptureData& data_;
  const ChannelIndex& index_;
};

}  // namespace korvalog
