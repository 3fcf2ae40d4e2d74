#include "chart/capture_lookup.h"

#include <algorithm>

namespace korvalog {
namespace {

constexpr uint8_t kAnyLevel = 2;

}  // namespace

uint32_t CaptureLookup::EndIndex() const {
  const uint32_t count = std::min(data_.Store.Count(), index_.Indexed());
  return std::min(data_.CaptureEnd.index, count);
}

uint32_t CaptureLookup::FirstIndexAt(double t, bool after) const {
  const EventRecord* events = data_.Store.Data();
  const uint32_t end = EndIndex();
  if (index_.TimeOrdered()) {
    const auto* hit = after ? std::upper_bound(events, events + end, t,
                                               [](double v, const EventRecord& e) { return v < e.time; })
                            : std::lower_bound(events, events + end, t,
                                               [](const EventRecord& e, double v) { return e.time < v; });
    return static_cast<uint32_t>(hit - events);
  }
  // Out of order (a clock set back): the first event a forward walk stops at.
  uint32_t i = 0;
  while (i < end && (after ? !(events[i].time > t) : events[i].time < t)) ++i;
  return i;
}

PositionSnapshot CaptureLookup::SnapshotAt(double t) const {
  PositionSnapshot s = data_.CaptureStart;
  s.index = FirstIndexAt(t);
  s.time = t;
  index_.LevelsBefore(s.index, s.states);
  return s;
}

uint8_t CaptureLookup::LevelBefore(int channel, uint32_t index) const { return index_.LevelBefore(channel, index); }

uint8_t CaptureLookup::LevelBeforeEvent(int channel, uint32_t event) const {
  const uint32_t previous = index_.Previous(event);
  return previous == ChannelIndex::kNone ? StartLevel(channel) : Level(previous);
}

std::optional<ChannelChange> CaptureLookup::Forward(int channel, uint32_t from, uint8_t wanted) const {
  const uint32_t end = EndIndex();
  for (uint32_t j = index_.FirstFrom(channel, from); j != ChannelIndex::kNone && j < end;
       j = index_.FirstFrom(channel, j + 1)) {
    const uint8_t now = Level(j);
    if (now != LevelBeforeEvent(channel, j) && (wanted == kAnyLevel || now == wanted)) {
      return ChannelChange{j, data_.Store[j].time, now};
    }
  }
  return std::nullopt;
}

std::optional<ChannelChange> CaptureLookup::Backward(int channel, uint32_t before, uint8_t wanted) const {
  for (uint32_t j = index_.LastBefore(channel, std::min(before, EndIndex())); j != ChannelIndex::kNone;
       j = index_.Previous(j)) {
    const uint8_t now = Level(j);
    if (now != LevelBeforeEvent(channel, j) && (wanted == kAnyLevel || now == wanted)) {
      return ChannelChange{j, data_.Store[j].time, now};
    }
  }
  return std::nullopt;
}

std::optional<ChannelChange> CaptureLookup::NextChange(int channel, uint32_t from) const {
  return Forward(channel, from, kAnyLevel);
}

std::optional<ChannelChange> CaptureLookup::PreviousChange(int channel, uint32_t before) const {
  return Backward(channel, before, kAnyLevel);
}

std::optional<ChannelChange> CaptureLookup::NextRise(int channel, uint32_t from) const {
  return Forward(channel, from, 1);
}

std::optional<ChannelChange> CaptureLookup::PreviousRise(int channel, uint32_t before) const {
  return Backward(channel, before, 1);
}

PulseReading CaptureLookup::PulseAt(int channel, double t) const {
  PulseReading r;
  if (channel < 1 || channel > kChannelCount) return r;
  // Events at t itself have happened: the level is the one after them.
  const uint32_t p = FirstIndexAt(t, true);
  r.level = LevelBefore(channel, p);
  r.previous = PreviousChange(channel, p);
  r.next = NextChange(channel, p);
  // The period runs between the rising edges around t.
  const auto rise0 = PreviousRise(channel, p);
  const auto rise1 = NextRise(channel, p);
  if (rise0 && rise1) {
    r.period = rise1->time - rise0->time;
    const auto fall = NextChange(channel, rise0->index + 1);
    if (fall && fall->index < rise1->index) r.highTime = fall->time - rise0->time;
  }
  return r;
}

}  // namespace korvalog
