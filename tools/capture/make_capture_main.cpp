// korvalog-make-capture: writes the shipped sample capture and the large
// captures the benchmarks open, through the real capture and project code.
//
//   korvalog-make-capture lift OUT.kv [MINUTES]   a lift recording with named
//                                                  channels and a Sequencer pattern
//   korvalog-make-capture busy OUT.kv [EVENTS]    EVENTS (default 1,048,576)
//                                                  changes over all 128 channels
//   korvalog-make-capture demo OUT.kv [MINUTES]   what the demonstration logger's
//                                                  lift does, at its real timings
//   korvalog-make-capture before OUT.kv [MINUTES] two visits of one lift a week
//   korvalog-make-capture after OUT.kv [MINUTES]  apart, at the same time of day:
//                                                  doors closing in 4.0 s, reopens
//                                                  every 3rd closing and a chattering
//                                                  door contact before; 3.2 s, every
//                                                  5th (half the reopens) and no chatter after
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/demo_logger.h"
#include "base/date_time.h"
#include "core/capture_data.h"
#include "core/clock.h"
#include "project/project_file.h"
#include "sample_lift_feed.h"
#include "transport/lift_traffic.h"
#include "transport/transition_source.h"

namespace korvalog {
namespace {

// Tuesday 10 March 2026, 08:00 local time: the recording starts with the
// morning traffic.
double RecordingStart() {
  double t = 0;
  TryEncodeDateTime(DateTimeFields{2026, 3, 10, 8, 0, 0, 0}, t);
  return t;
}

constexpr int kOutOfService = kLiftOutOfService;

void NameSampleChannels(TraceList& traces) {
  const ChannelTable plain = traces.Table();
  ChannelTable names = plain;
  korvalog::NameLiftChannels(names);
  // The sample's lift has no door limits, safety edge, door contact or fan:
  // those inputs keep their plain names, and channel 19 is its main contactor.
  for (int ch = sample::kMainContactor; ch <= sim::LiftChannels::kCarFan; ++ch) names[ch - 1] = plain[ch - 1];
  SetChannelName(names[sample::kMainContactor - 1], "Main contactor");
  traces.SetTable(names);
  traces.SetRoles(LiftRoles(names));
  // The search strip shows where the door stands open.
  traces.SetSearch(sim::LiftPattern::kDoorOpen, kSearchHigh);
}

int MakeLift(const std::string& out, int minutes) {
  ManualClock clock(RecordingStart());
  CaptureData data(clock);
  CaptureView view;
  NameSampleChannels(view.Traces);
  sample::NormalTripPattern(view.Sequence);
  data.SetCapture(true);
  sim::LiftPattern lift(0.6, 2026);
  const int64_t endMs = static_cast<int64_t>(minutes) * 60000;
  // The lift is taken out of service for a while in the middle, and a few
  // trips go wrong.
  sample::SampleLiftFeed feed(sample::SampleFaults(endMs), endMs * 11 / 20, endMs * 13 / 20, kOutOfService);
  std::vector<sim::SimTransition> changes;
  sim::SimTransition t{};
  for (bool more = true; more && lift.Next(t);) {
    changes.clear();
    feed.Feed(t, changes);
    for (const sim::SimTransition& c : changes) {
      if (c.atMs >= endMs) {
        more = false;
        break;
      }
      data.ApplyTransition(RecordingStart() + c.atMs / kMsPerDay, static_cast<uint8_t>(c.channel),
                           static_cast<uint8_t>(c.level));
    }
  }
  clock.Set(RecordingStart() + endMs / kMsPerDay);
  data.SetCapture(false);
  return WriteProjectFile(out, data, view, data.CaptureStart, data.CaptureEnd).ok ? 0 : 1;
}

int MakeDemo(const std::string& out, int minutes) {
  ManualClock clock(RecordingStart());
  CaptureData data(clock);
  CaptureView view;
  NameLiftInputs(view.Traces);
  sim::LiftTraffic lift(DemoLiftParameters(1));
  sim::RecordLiftTraffic(lift, data, clock, RecordingStart(), static_cast<int64_t>(minutes) * 60000);
  return WriteProjectFile(out, data, view, data.CaptureStart, data.CaptureEnd).ok ? 0 : 1;
}

// The same lift at two visits, for comparing: the door operator adjusted,
// the safety edge cleaned and the landing door contact replaced between them.
int MakeVisit(const std::string& out, int minutes, bool after) {
  const double start = RecordingStart() - (after ? 0 : 7);
  ManualClock clock(start);
  CaptureData data(clock);
  CaptureView view;
  NameLiftInputs(view.Traces);
  // The Sequencer times the door's closing: close command, then the closed limit.
  view.Sequence[0] = SequenceRow{sim::LiftChannels::kDoorCloseRelay, 1, 0, 0};
  view.Sequence[1] = SequenceRow{sim::LiftChannels::kDoorClosedLimit, 1, 0, 0};
  sim::LiftTrafficParameters p = DemoLiftParameters(1);
  p.doorCloseMs = after ? 3200 : 4000;
  p.reopenEvery = after ? 5 : 3;  // a reopened closing counts too: half the reopens after
  p.slowCloseEvery = 0;
  p.stuckChannel = 0;
  p.outOfServiceFromMs = p.outOfServiceToMs = -1;
  p.chatterChannel = after ? 0 : sim::LiftChannels::kDoorContact;
  sim::LiftTraffic lift(p);
  sim::RecordLiftTraffic(lift, data, clock, start, static_cast<int64_t>(minutes) * 60000);
  return WriteProjectFile(out, data, view, data.CaptureStart, data.CaptureEnd).ok ? 0 : 1;
}

int MakeBusy(const std::string& out, uint32_t events) {
  ManualClock clock(RecordingStart());
  CaptureData data(clock);
  data.SetCapture(true);
  std::mt19937 random(128);
  std::uniform_int_distribution<int> channel(1, kChannelCount);
  double t = RecordingStart();
  while (data.Store.Count() < events && data.Capturing.load()) {
    const int c = channel(random);
    t += 0.005 / kSecondsPerDay;  // 200 changes a second
    data.ApplyTransition(t, static_cast<uint8_t>(c), static_cast<uint8_t>(1 - data.States.Level(c)));
  }
  clock.Set(t);
  data.SetCapture(false);
  data.DeliverPendingNotifications();
  const CaptureView view;
  return WriteProjectFile(out, data, view, data.CaptureStart, data.CaptureEnd).ok ? 0 : 1;
}

}  // namespace
}  // namespace korvalog

int main(int argc, char** argv) {
  const std::string kind = argc > 2 ? argv[1] : "";
  if (kind == "lift") return korvalog::MakeLift(argv[2], argc > 3 ? std::atoi(argv[3]) : 30);
  if (kind == "demo") return korvalog::MakeDemo(argv[2], argc > 3 ? std::atoi(argv[3]) : 30);
  if (kind == "before" || kind == "after") {
    return korvalog::MakeVisit(argv[2], argc > 3 ? std::atoi(argv[3]) : 60, kind == "after");
  }
  if (kind == "busy") {
    const long events = argc > 3 ? std::atol(argv[3]) : static_cast<long>(korvalog::kEventCapacity);
    return korvalog::MakeBusy(argv[2], static_cast<uint32_t>(events));
  }
  std::fprintf(stderr, "usage: korvalog-make-capture lift|demo|before|after OUT.kv [MINUTES] | busy OUT.kv [EVENTS]\n");
  return 2;
}
