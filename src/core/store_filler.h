#pragma once
// Fills the store from a file being read. Every reader (projects, logger
// logs, value change dumps, journals) hands its events here, so that all of
// them are checked alike and every event passed over is counted by reason.
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/capture_data.h"
#include "core/records.h"
#include "core/skipped_events.h"

namespace korvalog {

// Why an event cannot be stored; None when it can.
enum class EventFault : uint8_t { None, Channel, Level, Time, Order, Late, Full };

// What a reader asks of its events' times beyond being finite numbers. The
// defaults take any finite time in any order: a capture stamped by a PC
// clock that was set back goes back too, and is kept as it was.
struct EventChecks {
  bool inOrder = false;  // refuse a time before the event taken last
  double latest = std::numeric_limits<double>::infinity();  // refuse a later time
};

// The fault of an event's contents, the room left aside: channel 1..128,
// level 0 or 1, a finite time within the checks (`last`: the event taken
// before it, or null).
inline EventFault CheckEvent(const EventRecord& e, const EventChecks& checks, const EventRecord* last) {
  if (e.channel < 1 || e.channel > kChannelCount) return EventFault::Channel;
  if (e.state > 1) return EventFault::Level;
  const double time = e.time;
  if (!std::isfinite(time)) return EventFault::Time;
  if (checks.inOrder && last != nullptr && time < last->time) return EventFault::Order;
  if (time > checks.latest) return EventFault::Late;
  return EventFault::None;
}

// Adds one to the count of `fault` (None counts nothing).
void CountSkipped(SkippedEvents& skipped, EventFault fault);

class StoreFiller {
 public:
  StoreFiller(EventStore& store, SkippedEvents& skipped, EventChecks checks = {})
      : events_(store.MutableData()), skipped_(skipped), checks_(checks) {}

  // The fault of `e` were it to follow the `count` events stored so far, the
  // room left aside (a reader that words some faults itself asks first).
  EventFault Check(const EventRecord& e, uint32_t count) const {
    return CheckEvent(e, checks_, count > 0 ? &events_[count - 1] : nullptr);
  }

  // Stores `e` after the `count` events stored so far and counts it in, or
  // counts why not: once the store is full every further event is beyond it,
  // whatever it holds.
  EventFault Add(const EventRecord& e, uint32_t& count) {
    EventFault fault = count >= kEventCapacity ? EventFault::Full : Check(e, count);
    if (fault != EventFault::None) {
      CountSkipped(skipped_, fault);
      return fault;
    }
    events_[count++] = e;
    return fault;
  }

  SkippedEvents& Skipped() { return skipped_; }

 private:
  EventRecord* events_;
  SkippedEvents& skipped_;
  EventChecks checks_;
};

}  // namespace korvalog
