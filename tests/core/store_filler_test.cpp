// The one way events from a file enter the store: what each reader used to
// check on its own (a channel 1..128, a level 0 or 1, a finite time, room in
// the store, and for dumps the order and the latest time), over one table.
#include "core/store_filler.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace korvalog {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Case {
  const char* what;
  EventChecks checks;
  uint32_t storedBefore;  // events already in the store; kEventCapacity: full
  std::vector<EventRecord> events;
  std::vector<EventFault> faults;  // one per event
  std::string warning;             // the one warning of the load
};

const EventChecks kAny{};
const EventChecks kDump{true, 100.0};

std::vector<Case> Cases() {
  using F = EventFault;
  return {
      {"good events are stored", kAny, 0, {{1.0, 1, 0}, {2.0, 128, 1}}, {F::None, F::None}, ""},
      {"channel 0 and above 128", kAny, 0, {{1.0, 0, 1}, {1.0, 129, 1}, {1.0, 255, 0}, {1.0, 3, 1}},
       {F::Channel, F::Channel, F::Channel, F::None}, "3 events skipped: 3 with a channel outside 1..128"},
      {"a level other than 0 or 1", kAny, 0, {{1.0, 5, 2}, {1.0, 5, 255}, {1.0, 5, 1}},
       {F::Level, F::Level, F::None}, "2 events skipped: 2 with a level other than 0 or 1"},
      {"a time that is no number", kAny, 0, {{kNan, 5, 1}, {kInf, 5, 1}, {-kInf, 5, 1}, {-3.0, 5, 1}},
       {F::Time, F::Time, F::Time, F::None}, "3 events skipped: 3 with a time that is not a finite number"},
      {"the channel is told before the level and the time", kAny, 0, {{kNan, 0, 9}, {kNan, 4, 9}},
       {F::Channel, F::Level}, "2 events skipped: 1 with a channel outside 1..128, 1 with a level other than 0 or 1"},
      {"any order where order is not asked", kAny, 0, {{5.0, 1, 1}, {4.0, 1, 0}, {4.0, 2, 1}},
       {F::None, F::None, F::None}, ""},
      {"a dump's times go on, equal ones too", kDump, 0, {{5.0, 1, 1}, {5.0, 2, 1}, {4.0, 1, 0}, {6.0, 1, 0}},
       {F::None, F::None, F::Order, F::None}, "1 event skipped: 1 with a time before the event before it"},
      {"a dump's time up to its latest", kDump, 0, {{100.0, 1, 1}, {100.5, 1, 0}},
       {F::None, F::Late}, "1 event skipped: 1 with a time beyond the latest allowed"},
      {"a full store refuses every event, whatever it holds", kAny, kEventCapacity,
       {{1.0, 1, 1}, {kNan, 0, 7}}, {F::Full, F::Full}, "2 events skipped: 2 beyond the store's 1048576 events"},
      {"the last free place is taken", kAny, kEventCapacity - 1, {{1.0, 1, 1}, {2.0, 1, 0}},
       {F::None, F::Full}, "1 event skipped: 1 beyond the store's 1048576 events"},
  };
}

TEST(StoreFiller, ChecksAndCountsEveryEventAlike) {
  ManualClock clock;
  CaptureData data(clock);
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.events.size(), c.faults.size());
    SkippedEvents skipped;
    StoreFiller filler(data.Store, skipped, c.checks);
    uint32_t count = c.storedBefore;
    std::vector<EventRecord> stored;
    for (size_t i = 0; i < c.events.size(); ++i) {
      const uint32_t before = count;
      EXPECT_EQ(filler.Add(c.events[i], count), c.faults[i]) << i;
      if (c.faults[i] == EventFault::None) {
        ASSERT_EQ(count, before + 1) << i;
        stored.push_back(c.events[i]);
        const EventRecord& at = data.Store.Data()[before];
        EXPECT_EQ(at.time, c.events[i].time);
        EXPECT_EQ(at.channel, c.events[i].channel);
        EXPECT_EQ(at.state, c.events[i].state);
      } else {
        EXPECT_EQ(count, before) << i;
      }
    }
    EXPECT_EQ(count, c.storedBefore + stored.size());
    EXPECT_EQ(skipped.Total(), c.events.size() - stored.size());
    EXPECT_EQ(skipped.Warning(), c.warning);
  }
}

TEST(StoreFiller, CheckTellsTheFaultWithoutCountingOrStoring) {
  ManualClock clock;
  CaptureData data(clock);
  SkippedEvents skipped;
  StoreFiller filler(data.Store, skipped, kDump);
  uint32_t count = 0;
  ASSERT_EQ(filler.Add({5.0, 1, 1}, count), EventFault::None);
  EXPECT_EQ(filler.Check({4.0, 1, 0}, count), EventFault::Order);
  EXPECT_EQ(filler.Check({6.0, 200, 0}, count), EventFault::Channel);
  // The room left is the adder's business: a reader that words a fault
  // itself asks first, even beyond a full store.
  EXPECT_EQ(filler.Check({6.0, 200, 0}, kEventCapacity), EventFault::Channel);
  EXPECT_EQ(filler.Check({6.0, 2, 0}, count), EventFault::None);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(skipped.Total(), 0u);
}

TEST(StoreFiller, EveryReasonIsToldInOneWarningInAFixedOrder) {
  SkippedEvents skipped;
  for (EventFault f : {EventFault::Full, EventFault::Late, EventFault::Order, EventFault::Time, EventFault::Level,
                       EventFault::Channel, EventFault::Channel, EventFault::None}) {
    CountSkipped(skipped, f);
  }
  EXPECT_EQ(skipped.Total(), 7u);
  EXPECT_EQ(skipped.Warning(),
            "7 events skipped: 2 with a channel outside 1..128, 1 with a level other than 0 or 1, 1 with a time "
            "that is not a finite number, 1 with a time before the event before it, 1 with a time beyond the "
            "latest allowed, 1 beyond the store's 1048576 events");
}

}  // namespace
}  // namespace korvalog
