// The demonstration logger's lift read by the report as an engineer would:
// ordinary door, trip and waiting times, and its faults within minutes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "analysis/lift_report.h"
#include "app/demo_logger.h"
#include "core/capture_data.h"
#include "transport/lift_traffic.h"

namespace korvalog {
namespace {

using sim::LiftChannels;

TEST(DemoLift, OrdinaryTimingsWithItsFaultsInTheFirstMinutes) {
  constexpr double kStart = 46091.25;
  constexpr int kMinutes = 60;
  for (const uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
    SCOPED_TRACE(seed);
    ManualClock clock;
    CaptureData data(clock);
    CaptureView view;
    SetStartupDefaults(data, view);
    NameLiftChannels(view.Traces);
    sim::LiftTraffic traffic(DemoLiftParameters(seed));
    sim::RecordLiftTraffic(traffic, data, clock, kStart, kMinutes * 60000);
    LiftReport report;
    report.Compute(data, view.Sequence, LiftRoles(view.Traces.Table()));

    std::vector<double> waits;
    int trips = 0, shortRuns = 0, reopens = 0, slowClosings = 0;
    double firstChatter = 1e9, fanStuckFrom = 1e9;
    for (const Occurrence& o : report.All()) {
      const double from = (o.start - kStart) * 86400.0;
      switch (o.kind) {
        case OccurrenceKind::DoorOpen: EXPECT_LE(o.seconds, 4.0); break;
        case OccurrenceKind::DoorClose: slowClosings += o.seconds > 4.0 ? 1 : 0; break;
        case OccurrenceKind::Dwell: EXPECT_TRUE(o.seconds >= 3.0 && o.seconds <= 8.0) << o.seconds; break;
        case OccurrenceKind::Reopen: reopens += from < 300 ? 1 : 0; break;
        case OccurrenceKind::Trip:
          ++trips;
          if (o.seconds < 2.0) ++shortRuns;
          else EXPECT_TRUE(o.seconds >= 5.0 && o.seconds <= 25.0) << o.seconds;
          break;
        case OccurrenceKind::HallWait:
          if (o.detail != OccurrenceDetail::Cancelled) waits.push_back(o.seconds);
          break;
        case OccurrenceKind::Chatter:
          EXPECT_EQ(o.channel, LiftChannels::kDoorContact);  // never the safety edge's reopen pulses
          firstChatter = std::min(firstChatter, from);
          break;
        case OccurrenceKind::Stuck:
          if (o.channel == LiftChannels::kCarFan) fanStuckFrom = from;
          break;
        default: break;
      }
    }
    EXPECT_GE(report.Opening().median, 2.0);
    EXPECT_LE(report.Closing().median, 4.0);
    EXPECT_GE(report.Closing().median, 2.0);
    EXPECT_GT(trips, 10);
    EXPECT_LE(trips * 60 / kMinutes, 200);  // starts per hour of an ordinary lift
    EXPECT_LE(shortRuns * 5, trips);
    const auto quick = std::count_if(waits.begin(), waits.end(), [](double w) { return w < 30.0; });
    EXPECT_GE(static_cast<double>(quick), 0.75 * static_cast<double>(waits.size())) << quick << " of " << waits.size();
    EXPECT_GT(slowClosings, 0);
    EXPECT_GT(reopens, 0);
    EXPECT_LT(firstChatter, 120.0);
    EXPECT_LT(fanStuckFrom, 60.0);
    EXPECT_LT(report.availability.availabilityPercent, 100.0);
  }
}

}  // namespace
}  // namespace korvalog
