// The demonstration logger's lift read by the report as an engineer would:
// ordinary door, trip and waiting times, and its faults within minutes.
#include <gtest/gtest.h>

#include "analysis/lift_report.h"
#include "app/demo_logger.h"

namespace korvalog {
namespace {

TEST(DemoLift, OrdinaryTimingsWithItsFaultsInTheFirstMinutes) {
  for (const uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
    SCOPED_TRACE(seed);
    ManualClock clock;
    CaptureData data(clock);
    CaptureView view;
    SetStartupDefaults(data, view);
    NameLiftChannels(view.Traces);
    sim::LiftTraffic traffic(DemoLiftParameters(seed));
    sim::RecordLiftTraffic(traffic, data, clock, 46091.25, 60 * 60000);  // an hour
    LiftReport report;
    report.Compute(data, view.Sequence, LiftRoles(view.Traces.Table()));
    int trips = 0, odd = 0, waits = 0, quick = 0, early[kOccurrenceKinds] = {};
    for (const Occurrence& o : report.All()) {
      const auto k = o.kind;
      early[static_cast<int>(k)] += (o.start - 46091.25) * 86400 < 300 && (k != OccurrenceKind::DoorClose || o.seconds > 4);
      if (k == OccurrenceKind::Trip) ++trips, odd += o.seconds >= 2 && (o.seconds < 5 || o.seconds > 25);
      if (k == OccurrenceKind::Dwell) odd += o.seconds < 3 || o.seconds > 8;
      if (k == OccurrenceKind::DoorOpen) odd += o.seconds > 4;
      if (k == OccurrenceKind::Chatter) odd += o.channel != sim::LiftChannels::kDoorContact;  // never a reopen pulse
      if (k == OccurrenceKind::HallWait) ++waits, quick += o.seconds < 30;
    }
    EXPECT_EQ(odd, 0);
    EXPECT_TRUE(report.Opening().median >= 2 && report.Closing().median <= 4);
    EXPECT_TRUE(trips > 30 && trips < 200) << trips;  // starts per hour
    EXPECT_GE(quick * 4, waits * 3) << quick << " of " << waits;
    for (OccurrenceKind k : {OccurrenceKind::Chatter, OccurrenceKind::Stuck, OccurrenceKind::Reopen, OccurrenceKind::DoorClose}) {
      EXPECT_GT(early[static_cast<int>(k)], 0) << OccurrenceKey(k) << " not within five minutes";
    }
  }
}

}  // namespace
}  // namespace korvalog
