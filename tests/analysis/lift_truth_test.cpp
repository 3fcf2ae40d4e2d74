// The report against the lift generator's own record of what it did: every
// door time, trip, call, spell, chatter pulse and stuck input, to the
// millisecond and to the event, for several lifts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "app/demo_logger.h"
#include "base/date_time.h"
#include "core/capture_data.h"
#include "transport/lift_traffic.h"

namespace korvalog {
namespace {

using sim::LiftChannels;
using sim::LiftTraffic;
using sim::LiftTrafficParameters;
using sim::LiftTruth;

constexpr double kStart = 46091.25;  // a Tuesday, 06:00

struct Row {
  std::string kind;
  int64_t startMs, durationMs;
  int channel, floor;
  std::string detail;
};

// What the report must show of the lift's record: time the lift stood out
// of service is left out of every door, trip and call figure; a hall call
// is answered by a door opening from 1 s before its cancel to the window
// after it, the car not running in between.
std::vector<Row> FromTruth(const LiftTraffic& traffic, int64_t ms, const LiftTrafficParameters& p) {
  const std::vector<LiftTruth> truth = traffic.TruthUntil(ms);
  const int64_t from = std::llround(static_cast<double>(p.outOfServiceFromMs) * p.timeScale);
  const int64_t to = std::llround(static_cast<double>(p.outOfServiceToMs) * p.timeScale);
  const auto shutDown = [&](int64_t a, int64_t b) {
    return p.outOfServiceToMs > p.outOfServiceFromMs && (a == b ? a >= from && a < to : a < to && b > from);
  };
  std::vector<int64_t> openings, runs;
  // An opening or a run that began before the end answers or moves, even
  // when the capture ends before it does.
  for (const LiftTruth& t : traffic.TruthUntil(ms + 600000)) {
    if (t.startMs >= ms) continue;
    if (t.kind == "door_open") openings.push_back(t.startMs);
    if (t.kind == "trip") runs.push_back(t.startMs);
  }
  std::sort(openings.begin(), openings.end());
  std::sort(runs.begin(), runs.end());
  const auto answered = [&](int64_t cancel) {
    for (int64_t o : openings) {
      if (o < cancel - 1000 || o > cancel + 5000) continue;
      const bool moved = std::any_of(runs.begin(), runs.end(), [&](int64_t r) {
        return r > std::min(o, cancel) && r <= std::max(o, cancel);
      });
      if (!moved) return true;
    }
    return false;
  };
  std::vector<Row> rows;
  for (const LiftTruth& t : truth) {
    const bool call = t.kind == "hall_wait" || t.kind == "car_service";
    const bool spell = t.kind == "out_of_service" || t.kind == "chatter" || t.kind == "stuck";
    if (!spell && shutDown(t.startMs, t.startMs + t.durationMs)) continue;
    std::string detail = t.detail;
    if (t.kind == "hall_wait") detail = answered(t.startMs + t.durationMs) ? "" : "cancelled";
    rows.push_back({t.kind, t.startMs, t.durationMs, t.channel, call ? t.floor : INT16_MIN, detail});
    // A call held on for over ten minutes of service is stuck on as well.
    if (call && t.durationMs >= 600000) rows.push_back({"stuck", t.startMs, t.durationMs, t.channel, INT16_MIN, ""});
  }
  return rows;
}

std::vector<Row> FromReport(const LiftReport& r) {
  std::vector<Row> rows;
  for (const Occurrence& o : r.All()) {
    // Not the generator's record: checked against its timings below.
    if (o.kind == OccurrenceKind::SequenceRun || o.kind == OccurrenceKind::StartDelay ||
        o.kind == OccurrenceKind::Flight) {
      continue;
    }
    rows.push_back({std::string(OccurrenceKey(o.kind)), std::llround((o.start - r.Start()) * kMsPerDay),
                    std::llround(o.seconds * 1000.0), o.channel, o.floor, std::string(DetailKey(o.detail))});
  }
  return rows;
}

void SortRows(std::vector<Row>& rows) {
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return std::tie(a.kind, a.startMs, a.channel) < std::tie(b.kind, b.startMs, b.channel);
  });
}

struct Lift {
  const char* name;
  LiftTrafficParameters p;
  int minutes;
};

LiftTrafficParameters Faulty(uint32_t seed) {
  LiftTrafficParameters p;
  p.seed = seed;
  p.reopenEvery = 5;
  p.relevelEvery = 4;
  p.outOfServiceFromMs = 50 * 60000;
  p.outOfServiceToMs = 62 * 60000;
  p.chatterChannel = LiftChannels::kDoorContact;
  p.chatterEveryMs = 45000;
  p.chatterPulseMs = 15;
  p.stuckChannel = LiftChannels::kCarFan;
  p.stuckFromMs = 70 * 60000;
  return p;
}

std::vector<Lift> Lifts() {
  std::vector<Lift> lifts;
  lifts.push_back({"plain", LiftTrafficParameters{}, 90});
  lifts.push_back({"faulty", Faulty(7), 120});
  LiftTrafficParameters slow = Faulty(11);
  slow.doorCloseMs = 4700;
  slow.doorOpenMs = 3300;
  slow.dwellMs = 9000;
  slow.floorTravelMs = 1800;
  slow.callIntervalMs = 15000;  // busy: calls queue up and wait
  lifts.push_back({"slow doors, busy", slow, 100});
  LiftTrafficParameters fast = Faulty(3);
  fast.timeScale = 0.5;
  fast.chatterPulseMs = 40;  // 20 ms once scaled
  lifts.push_back({"half time", fast, 60});
  LiftTrafficParameters quiet;
  quiet.seed = 5;
  quiet.callIntervalMs = 90000;
  quiet.floors = 3;
  lifts.push_back({"quiet, three floors", quiet, 180});
  return lifts;
}

TEST(LiftTruth, EveryOccurrenceMatchesWhatTheLiftDid) {
  for (const Lift& lift : Lifts()) {
    SCOPED_TRACE(lift.name);
    ManualClock clock;
    CaptureData data(clock);
    CaptureView view;
    SetStartupDefaults(data, view);
    NameLiftChannels(view.Traces);
    LiftTraffic traffic(lift.p);
    const int64_t ms = static_cast<int64_t>(lift.minutes) * 60000;
    sim::RecordLiftTraffic(traffic, data, clock, kStart, ms);
    LiftReport report;
    report.Compute(data, view.Sequence, LiftRoles(view.Traces.Table()));

    std::vector<Row> want = FromTruth(traffic, ms, lift.p);
    std::vector<Row> got = FromReport(report);
    // An input still on at the end is stuck only past the threshold.
    want.erase(std::remove_if(want.begin(), want.end(),
                              [](const Row& r) { return r.kind == "stuck" && r.durationMs < 600000; }),
               want.end());
    SortRows(want);
    SortRows(got);
    std::map<std::string, int> kinds;
    for (const Row& r : want) ++kinds[r.kind];
    for (const Row& r : got) --kinds[r.kind];
    for (const auto& [kind, missing] : kinds) EXPECT_EQ(missing, 0) << kind << " counted apart from the lift";
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      SCOPED_TRACE(want[i].kind + " at " + std::to_string(want[i].startMs));
      EXPECT_EQ(got[i].kind, want[i].kind);
      EXPECT_LE(std::llabs(got[i].startMs - want[i].startMs), 1);
      EXPECT_LE(std::llabs(got[i].durationMs - want[i].durationMs), 1);
      EXPECT_EQ(got[i].channel, want[i].channel);
      EXPECT_EQ(got[i].floor, want[i].floor);
      EXPECT_EQ(got[i].detail, want[i].detail);
    }
    EXPECT_TRUE(report.doors.partialAtStart == 0 && report.trips.partialAtStart == 0 &&
                report.calls.partialAtStart == 0);
  }
}

TEST(LiftTruth, SummariesFollowTheChosenTimings) {
  for (const Lift& lift : Lifts()) {
    SCOPED_TRACE(lift.name);
    ManualClock clock;
    CaptureData data(clock);
    CaptureView view;
    SetStartupDefaults(data, view);
    NameLiftChannels(view.Traces);
    LiftTraffic traffic(lift.p);
    sim::RecordLiftTraffic(traffic, data, clock, kStart, static_cast<int64_t>(lift.minutes) * 60000);
    LiftReport report;
    report.Compute(data, view.Sequence, LiftRoles(view.Traces.Table()));
    const double scale = lift.p.timeScale;
    // Every full closing and every dwell takes exactly the chosen time.
    EXPECT_NEAR(report.Closing().median, lift.p.doorCloseMs * scale / 1000.0, 0.0015);
    EXPECT_NEAR(report.Closing().longest, lift.p.doorCloseMs * scale / 1000.0, 0.0015);
    EXPECT_NEAR(report.Dwell().mean, lift.p.dwellMs * scale / 1000.0, 0.0015);
    EXPECT_NEAR(report.Opening().longest, lift.p.doorOpenMs * scale / 1000.0, 0.0015);
    // A trip takes whole floors of travel; re-levelling runs are short.
    for (const Occurrence& o : report.trips.trips) {
      const double floors = o.seconds / (lift.p.floorTravelMs * scale / 1000.0);
      const bool relevel = std::fabs(o.seconds - lift.p.relevelMs * scale / 1000.0) <= 0.001;
      EXPECT_TRUE(relevel || std::fabs(floors - std::round(floors)) < 0.002) << o.seconds;
    }
    // Start delays, flights by the floors travelled and the performance time
    // of one-floor journeys follow the lift's own times.
    const double ms = scale / 1000.0;
    for (const Occurrence& o : report.trips.startDelays) {
      EXPECT_GE(o.seconds, lift.p.motorStartMs * ms - 0.0015);
      EXPECT_LE(o.seconds, (lift.p.motorStartMs + 300) * ms + 0.0015);
    }
    EXPECT_FALSE(report.trips.startDelays.empty());
    for (const Occurrence& o : report.performance.flights) {
      EXPECT_NEAR(o.seconds, o.floorsTravelled * lift.p.floorTravelMs * ms, 0.0015);
    }
    EXPECT_GT(report.performance.MostFloors(), 1);
    ASSERT_FALSE(report.performance.cycles.empty());
    for (const PerformanceCycle& c : report.performance.cycles) {
      EXPECT_NEAR(c.closing, lift.p.doorCloseMs * ms, 0.0015);
      EXPECT_NEAR(c.flight, lift.p.floorTravelMs * ms, 0.0015);
      EXPECT_NEAR(c.opening, lift.p.doorOpenMs * ms, 0.0015);
    }
    // The car's floor, told from the calls it answered and the floors it
    // travelled, is where the lift answered each call.
    const int64_t traced = static_cast<int64_t>(lift.minutes) * 60000;
    for (const LiftTruth& t : traffic.TruthUntil(traced)) {
      if (t.kind != "car_service" && (t.kind != "hall_wait" || !t.detail.empty())) continue;
      const double cancel = kStart + static_cast<double>(t.startMs + t.durationMs) / kMsPerDay;
      EXPECT_EQ(report.position.FloorAt(cancel), t.floor) << t.kind << " at " << t.startMs;
    }
    EXPECT_DOUBLE_EQ(report.position.KnownPercent(), 100.0);
    const double spell = lift.p.outOfServiceToMs > lift.p.outOfServiceFromMs
                             ? (lift.p.outOfServiceToMs - lift.p.outOfServiceFromMs) * scale / 1000.0
                             : 0.0;
    EXPECT_NEAR(report.availability.outOfServiceSeconds, spell, 0.0015);
    EXPECT_NEAR(report.availability.availabilityPercent, 100.0 * (1.0 - spell / report.SpanSeconds()), 1e-6);
  }
}

}  // namespace
}  // namespace korvalog
