// korvalog-make-capture: writes the shipped sample capture and the large
// captures the benchmarks open, through the real capture and project code.
//
//   korvalog-make-capture lift OUT.kv [MINUTES]   a lift recording with named
//                                                  channels and a Sequencer pattern
//   korvalog-make-capture busy OUT.kv [EVENTS]    EVENTS (default 1,048,576)
//                                                  changes over all 128 channels
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "app/demo_logger.h"
#include "core/capture_data.h"
#include "core/clock.h"
#include "core/date_time.h"
#include "project/project_file.h"
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

void NameLiftChannels(CaptureData& data) {
  korvalog::NameLiftChannels(data.Channels);
  data.Roles = LiftRoles(data.Channels);
  // The search strip shows where the door stands open.
  data.Channels[sim::LiftChannels::kDoorOpenLimit - 1].SearchCondition = kSearchHigh;
}

// One trip upwards: the door closes, the motor runs up within 3 s and stops
// within 40 s, the door opens within 5 s.
void LiftSequence(CaptureData& data) {
  const SequenceRow rows[] = {
      {sim::LiftPattern::kDoorClosed, 1, 0, 0},
      {sim::LiftPattern::kMotorUp, 1, 0, 3},
      {sim::LiftPattern::kMotorUp, 0, 2, 40},
      {sim::LiftPattern::kDoorOpen, 1, 0, 5},
  };
  for (size_t i = 0; i < std::size(rows); ++i) data.Sequence[i] = rows[i];
}

// The sample's lift: its timings are what the report of the sample must
// show (README: roles and the report).
sim::LiftTrafficParameters SampleLift(int minutes) {
  const int64_t endMs = static_cast<int64_t>(minutes) * 60000;
  sim::LiftTrafficParameters p;
  p.seed = 2026;
  p.doorOpenMs = 2500;
  p.doorCloseMs = 2400;
  p.dwellMs = 4000;
  p.motorStartMs = 500;
  p.floorTravelMs = 2500;
  p.callIntervalMs = 20000;
  p.reopenEvery = 7;
  p.relevelEvery = 5;
  // Out of service for a while in the middle.
  p.outOfServiceFromMs = endMs * 11 / 20;
  p.outOfServiceToMs = endMs * 13 / 20;
  p.chatterChannel = sim::LiftChannels::kDoorContact;
  p.chatterEveryMs = 90000;
  p.chatterPulseMs = 20;
  p.stuckChannel = sim::LiftChannels::kCarFan;
  p.stuckFromMs = endMs * 2 / 5;
  return p;
}

int MakeLift(const std::string& out, int minutes) {
  ManualClock clock(RecordingStart());
  CaptureData data(clock);
  NameLiftChannels(data);
  LiftSequence(data);
  sim::LiftTraffic lift(SampleLift(minutes));
  sim::RecordLiftTraffic(lift, data, clock, RecordingStart(), static_cast<int64_t>(minutes) * 60000);
  return WriteProjectFile(out, data, data.CaptureStart, data.CaptureEnd).ok ? 0 : 1;
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
  return WriteProjectFile(out, data, data.CaptureStart, data.CaptureEnd).ok ? 0 : 1;
}

}  // namespace
}  // namespace korvalog

int main(int argc, char** argv) {
  const std::string kind = argc > 2 ? argv[1] : "";
  if (kind == "lift") return korvalog::MakeLift(argv[2], argc > 3 ? std::atoi(argv[3]) : 30);
  if (kind == "busy") {
    const long events = argc > 3 ? std::atol(argv[3]) : static_cast<long>(korvalog::kEventCapacity);
    return korvalog::MakeBusy(argv[2], static_cast<uint32_t>(events));
  }
  std::fprintf(stderr, "usage: korvalog-make-capture lift OUT.kv [MINUTES] | busy OUT.kv [EVENTS]\n");
  return 2;
}
