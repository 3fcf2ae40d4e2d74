// Each family of report figures on small hand-made captures: partial
// movements at the start, a door left open, cancelled calls, chatter and
// stuck inputs, captures without roles, and the summaries' percentiles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "analysis/report_tables.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

constexpr int kOpen = 1, kClose = 2, kOpenLimit = 3, kClosedLimit = 4, kEdge = 5, kUp = 6, kDown = 7, kHall = 8,
              kCar = 9, kOos = 10, kPlain = 11;

ChannelRoles Roles() {
  ChannelRoles r;
  r.Set(kOpen, ChannelRole::DoorOpenRelay);
  r.Set(kClose, ChannelRole::DoorCloseRelay);
  r.Set(kOpenLimit, ChannelRole::DoorOpenLimit);
  r.Set(kClosedLimit, ChannelRole::DoorClosedLimit);
  r.Set(kEdge, ChannelRole::DoorReopen);
  r.Set(kUp, ChannelRole::MotorUp);
  r.Set(kDown, ChannelRole::MotorDown);
  r.Set(kHall, ChannelRole::HallUp, 3);
  r.Set(kCar, ChannelRole::CarCall, -1);
  r.Set(kOos, ChannelRole::OutOfService);
  return r;
}

struct Step {
  double at;
  int channel;
  int level;
};

struct Case {
  const char* name;
  std::vector<std::pair<int, int>> startLevels;
  std::vector<Step> steps;
  double end;
  std::string csv;  // the rows after the header
  std::vector<std::string> notesContaining;
};

std::vector<Case> Cases() {
  return {
      {"a full door cycle",
       {{kClosedLimit, 1}},
       {{10, kOpen, 1}, {10, kClosedLimit, 0}, {12.5, kOpen, 0}, {12.5, kOpenLimit, 1}, {16.5, kOpenLimit, 0},
        {16.5, kClose, 1}, {19.25, kClose, 0}, {19.25, kClosedLimit, 1}},
       30,
       "door_open,10.000,2.500,1,,\r\ndwell,12.500,4.000,3,,\r\ndoor_close,16.500,2.750,2,,\r\n",
       {}},
      {"a reopen by the safety edge, then by the open relay alone",
       {{kOpenLimit, 1}},
       {{1, kOpenLimit, 0}, {1, kClose, 1}, {2, kEdge, 1}, {2, kClose, 0}, {2, kOpen, 1}, {2.3, kEdge, 0},
        {3, kOpen, 0}, {3, kOpenLimit, 1}, {5, kOpenLimit, 0}, {5, kClose, 1}, {6, kClose, 0}, {6, kOpen, 1},
        {7, kOpen, 0}, {7, kOpenLimit, 1}},
       20,
       "door_open,2.000,1.000,1,,\r\nreopen,2.000,0.000,5,,\r\ndwell,3.000,2.000,3,,\r\n"
       "door_open,6.000,1.000,1,,\r\nreopen,6.000,0.000,1,,\r\n",
       {"door movement", "door stood open at the end of the capture (since 00:00:07)"}},
      {"a capture that starts mid-trip and mid-call",
       {{kUp, 1}, {kHall, 1}},
       {{2, kUp, 0}, {3, kHall, 0}, {5, kDown, 1}, {9.5, kDown, 0}, {10, kHall, 1}, {12, kHall, 0}, {13, kUp, 1}},
       20,
       "trip,5.000,4.500,7,,down\r\nhall_wait,10.000,2.000,8,3,cancelled\r\n",
       {"2 door movement(s), trip(s) or call(s) already under way", "car was running"}},
      {"a call cancelled without the door opening, one answered",
       {},
       {{1, kHall, 1}, {4, kHall, 0}, {10, kHall, 1}, {40, kHall, 0}, {40.5, kOpen, 1}, {42, kOpen, 0},
        {50, kCar, 1}, {52, kCar, 0}},
       60,
       "hall_wait,1.000,3.000,8,3,cancelled\r\nhall_wait,10.000,30.000,8,3,\r\ncar_service,50.000,2.000,9,-1,\r\n",
       {}},
      {"out-of-service spells, one cut by the end",
       {},
       {{10, kOos, 1}, {70, kOos, 0}, {100, kOos, 1}},
       120,
       "out_of_service,10.000,60.000,10,,\r\n",
       {"out of service when the capture ended"}},
      {"chatter both ways on an input without a role, and a short run",
       {},
       {{1, kPlain, 1}, {1.02, kPlain, 0}, {5, kPlain, 1}, {5.049, kPlain, 0}, {5.07, kPlain, 1}, {6, kPlain, 0},
        {8, kUp, 1}, {8.6, kUp, 0}},
       10,
       "chatter,1.000,0.020,11,,\r\nchatter,5.000,0.049,11,,\r\nchatter,5.049,0.021,11,,low\r\n"
       "trip,8.000,0.600,6,,up\r\n",
       {}},
      {"an input stuck on, one on from the start and one still on",
       {{kCar, 1}},
       {{700, kCar, 0}, {1000, kPlain, 1}},
       1700,
       "stuck,0.000,700.000,9,,\r\nstuck,1000.000,700.000,11,,\r\n",
       {"1 door movement(s), trip(s) or call(s)"}},
  };
}

TEST(ReportFigures, OccurrencesAndNotesOfHandMadeCaptures) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    CaptureBuilder b;
    for (auto [ch, level] : c.startLevels) b.StartLevel(ch, static_cast<uint8_t>(level));
    for (const Step& s : c.steps) b.Event(s.at, s.channel, static_cast<uint8_t>(s.level));
    b.Finish(c.end);
    LiftReport report;
    report.Compute(b.data, b.view.Sequence, Roles());
    EXPECT_EQ(ReportCsv(report), "kind,start_s,duration_s,channel,floor,detail\r\n" + c.csv);
    std::string notes;
    for (const std::string& n : ReportNotes(report)) notes += n + "\n";
    for (const std::string& want : c.notesContaining) EXPECT_NE(notes.find(want), std::string::npos) << notes;
  }
}

// Door relays alone (no limits): a closing ends when its command drops, so
// only an opening while the close command still holds is a reopen.
TEST(ReportFigures, DoorRelaysWithoutLimitsReopenOnlyWhileClosing) {
  ChannelRoles roles;
  roles.Set(kOpen, ChannelRole::DoorOpenRelay);
  roles.Set(kClose, ChannelRole::DoorCloseRelay);
  CaptureBuilder b;
  for (const Step& s : std::vector<Step>{{1, kOpen, 1}, {3, kOpen, 0}, {3, kClose, 1}, {6, kClose, 0},
                                         {8, kOpen, 1}, {10, kOpen, 0}, {10, kClose, 1}, {11, kOpen, 1},
                                         {11, kClose, 0}}) {
    b.Event(s.at, s.channel, static_cast<uint8_t>(s.level));
  }
  b.Finish(20);
  LiftReport report;
  report.Compute(b.data, b.view.Sequence, roles);
  EXPECT_EQ(ReportCsv(report),
            "kind,start_s,duration_s,channel,floor,detail\r\n"
            "dwell,1.000,2.000,1,,\r\ndwell,8.000,2.000,1,,\r\nreopen,11.000,0.000,1,,\r\n");
}

TEST(ReportFigures, WithoutRolesInputHealthAndSequencerRunsRemain) {
  CaptureBuilder b;
  b.Row(1, 1, 1, 0, 3).Row(2, 2, 1).Row(3, 1, 0);
  // Two complete runs, the second slower at step 2; one run broken.
  b.Event(1, 1, 1).Event(2, 2, 1).Event(4, 1, 0).Event(4.5, 2, 0);
  b.Event(10, 1, 1).Event(14, 2, 1).Event(15, 1, 0).Event(16, 2, 0);
  b.Event(20, 2, 1).Event(21, 2, 0);
  b.Event(30, 1, 1).Event(30.010, 1, 0);  // chatter, and a broken run
  b.Finish(40);
  LiftReport report;
  report.Compute(b.data, b.view.Sequence, ChannelRoles{});
  ASSERT_EQ(report.sequence.runs.size(), 2u);
  EXPECT_EQ(report.sequence.runs[0].stepSeconds, (std::vector<double>{0, 1, 3}));
  EXPECT_FALSE(report.sequence.runs[0].violation);
  EXPECT_EQ(report.sequence.runs[1].stepSeconds, (std::vector<double>{0, 4, 5}));
  EXPECT_TRUE(report.sequence.runs[1].violation);  // 4 s to step 2, over its 3 s
  EXPECT_EQ(report.health.channels[0].transitions, 6u);
  EXPECT_EQ(report.health.channels[0].chatter, 1u);
  EXPECT_TRUE(report.health.channels[2].neverChanged());
  EXPECT_TRUE(report.trips.trips.empty());
  const std::string csv = ReportCsv(report);
  EXPECT_NE(csv.find("sequence_run,1.000,3.000,,,0.000 1.000 3.000\r\n"), std::string::npos) << csv;
  EXPECT_NE(csv.find("sequence_run,10.000,5.000,,,0.000 4.000 5.000 violation\r\n"), std::string::npos) << csv;
  EXPECT_NE(ReportNotes(report)[0].find("No channel has a role"), std::string::npos);
}

TEST(ReportFigures, PercentilesByNearestRank) {
  struct P {
    std::vector<double> values;
    double median, p90, p95, mean;
  };
  const P cases[] = {
      {{5}, 5, 5, 5, 5},
      {{1, 2}, 1, 2, 2, 1.5},
      {{4, 1, 3, 2}, 2, 4, 4, 2.5},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 5, 9, 10, 5.5},
      {{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200}, 100, 180, 190,
       105},
      {{20, 30, 25, 20}, 20, 30, 30, 23.75},  // a median of 25 would be no wait that occurred
  };
  for (const P& c : cases) {
    const FigureSummary s = SummarizeValues(c.values);
    EXPECT_DOUBLE_EQ(s.median, c.median);
    EXPECT_DOUBLE_EQ(s.p90, c.p90);
    EXPECT_DOUBLE_EQ(s.p95, c.p95);
    EXPECT_DOUBLE_EQ(s.mean, c.mean);
  }
  const FigureSummary waits = SummarizeValues({10, 31, 45, 61, 90, 30});
  EXPECT_EQ(waits.over30, 4u);
  EXPECT_EQ(waits.over60, 2u);
  EXPECT_EQ(SummarizeValues({}).count, 0u);
}

TEST(ReportFigures, PerHourBinsFollowTheClock) {
  CaptureBuilder b(3000);  // 00:50
  b.Event(3100, kUp, 1).Event(3110, kUp, 0).Event(3700, kUp, 1).Event(3710, kUp, 0).Event(3800, kUp, 1)
      .Event(3805, kUp, 0);
  b.Finish(7300);  // 02:01:40
  LiftReport report;
  report.Compute(b.data, b.view.Sequence, Roles());
  ASSERT_EQ(report.hours.size(), 3u);
  EXPECT_EQ(report.hours[0].trips, 1u);
  EXPECT_EQ(report.hours[1].trips, 2u);
  EXPECT_EQ(report.hours[2].trips, 0u);
  ASSERT_EQ(report.days.size(), 1u);
  EXPECT_EQ(report.days[0].trips, 3u);
  EXPECT_NEAR(report.TripsPerHour(), 3 * 3600.0 / 4300.0, 1e-9);
}

}  // namespace
}  // namespace korvalog

namespace korvalog {
namespace {

// A damaged stamp centuries on: the bins stay bounded, nothing is lost.
TEST(ReportFigures, AStampFarAwayKeepsTheBinsBounded) {
  CaptureBuilder b;
  b.Event(10, kUp, 1).Event(20, kUp, 0).Event(3.0e10, kUp, 1).Event(3.0e10 + 5, kUp, 0);
  b.Finish(3.0e10 + 10);
  LiftReport report;
  report.Compute(b.data, b.view.Sequence, Roles());
  EXPECT_LE(report.hours.size(), 10000u);
  EXPECT_LE(report.days.size(), 10000u);
  EXPECT_EQ(report.trips.trips.size(), 2u);
  uint32_t binned = 0;
  for (const ReportBin& h : report.hours) binned += h.trips;
  EXPECT_EQ(binned, 2u);
  EXPECT_FALSE(ReportTables(report, b.view.Traces).empty());
}

}  // namespace
}  // namespace korvalog
