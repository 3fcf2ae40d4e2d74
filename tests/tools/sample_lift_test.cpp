// The shipped sample recording and the generator that makes it: the
// Sequencer pattern passes every normal trip and catches each built-in
// fault, at the change the fault delays.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "capture/sample_lift_feed.h"
#include "chart/strip_walk.h"
#include "core/capture_data.h"
#include "project/project_file.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

struct Violation {
  int channel, level;
};

struct SampleCase {
  const char* name;
  const char* minutes;  // the generator's length; "" for the shipped file
};

class SampleLift : public ::testing::TestWithParam<SampleCase> {};

std::vector<Violation> Violations(const CaptureData& data, const CaptureView& view) {
  std::vector<Violation> out;
  WalkStrip(data, view, data.CaptureStart, data.CaptureEnd, [&](const StripStep& step) {
    if (step.violation) out.push_back({step.event.channel, step.event.state});
  });
  return out;
}

TEST_P(SampleLift, PatternPassesNormalTripsAndCatchesEachFault) {
  testing_support::TempDir dir;
  std::string path = KORVALOG_SAMPLE_PATH;
  if (*GetParam().minutes != '\0') {
    path = dir / "lift.kv";
    const std::string command =
        std::string(KORVALOG_MAKE_CAPTURE_PATH) + " lift '" + path + "' " + GetParam().minutes;
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  ManualClock clock(0);
  CaptureData data(clock);
  CaptureView view;
  CollectingLoadSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(path, data, view, sinks).ok);
  EXPECT_TRUE(sinks.warnings.empty());
  ASSERT_GT(data.Store.Count(), 200u);

  // The door close relay late (a slow door), the main contactor late (a
  // motor that starts late), the door open relay late (a door that opens late).
  const std::vector<Violation> got = Violations(data, view);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].channel, 14);
  EXPECT_EQ(got[1].channel, 19);
  EXPECT_EQ(got[2].channel, 13);
  for (const Violation& v : got) EXPECT_EQ(v.level, 1);
  EXPECT_EQ(CountSequenceSteps(view.Sequence), 6);
}

// Normal trips, up and down, over one to five floors, with and without an
// out-of-service spell: the pattern finds nothing.
TEST(SampleLiftPattern, EveryNormalTripPasses) {
  for (uint32_t seed : {1u, 7u, 2026u, 4242u}) {
    for (const bool outOfService : {false, true}) {
      ManualClock clock(46091.0);
      CaptureData data(clock);
      CaptureView view;
      sample::NormalTripPattern(view.Sequence);
      data.SetCapture(true);
      const int64_t endMs = 60 * 60000;
      sample::SampleLiftFeed feed({}, outOfService ? endMs / 3 : endMs * 2, endMs / 2, 18);
      sim::LiftPattern lift(0.6, seed);
      sim::SimTransition t{};
      std::vector<sim::SimTransition> changes;
      int trips = 0;
      while (lift.Next(t) && t.atMs < endMs) {
        trips += t.channel <= 12 && t.level == 1 ? 1 : 0;
        changes.clear();
        feed.Feed(t, changes);
        for (const sim::SimTransition& c : changes) {
          data.ApplyTransition(46091.0 + c.atMs / kMsPerDay, static_cast<uint8_t>(c.channel),
                               static_cast<uint8_t>(c.level));
        }
      }
      clock.Set(46091.0 + endMs / kMsPerDay);
      data.SetCapture(false);
      EXPECT_GT(trips, 100);
      EXPECT_TRUE(Violations(data, view).empty()) << "seed " << seed << (outOfService ? " out of service" : "");
      EXPECT_EQ(data.States.Level(18), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Recordings, SampleLift,
                         ::testing::Values(SampleCase{"Shipped", ""}, SampleCase{"HalfHour", "30"},
                                           SampleCase{"Hour", "60"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvalog
