// The report's rules at their edges, one table each: when a hall call is
// answered, when a reopen is inferred from the relays alone, how shutdowns
// that overlap are counted and left out, and what a missing role reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

constexpr int kOpen = 1, kClose = 2, kOpenLimit = 3, kClosedLimit = 4, kUp = 6, kHall = 8, kOos = 10, kPlain = 11,
              kFire = 12, kInspection = 13, kAlarm = 14, kLevel = 15;

struct Step {
  double at;
  int channel;
  int level;
};

LiftReport Report(const std::vector<Step>& steps, const ChannelRoles& roles, double end,
                  std::vector<int> onAtStart = {}, const ReportOptions& options = {}) {
  const auto b = std::make_unique<CaptureBuilder>();
  for (int ch : onAtStart) b->StartLevel(ch, 1);
  for (const Step& s : steps) b->Event(s.at, s.channel, static_cast<uint8_t>(s.level));
  b->Finish(end);
  LiftReport report;
  report.Compute(b->data, b->view.Sequence, roles, options);
  return report;
}

// A hall call cancelled at 10 s; the door's open command pulls `openAt`
// seconds later, the car standing level unless it runs meanwhile.
TEST(ReportRules, AHallCallIsAnsweredByAnOpeningWithinTheWindow) {
  ChannelRoles roles;
  roles.Set(kOpen, ChannelRole::DoorOpenRelay);
  roles.Set(kUp, ChannelRole::MotorUp);
  roles.Set(kLevel, ChannelRole::Level);
  roles.Set(kHall, ChannelRole::HallUp, 3);
  struct Case {
    const char* name;
    double openAt;  // after the cancel
    std::vector<Step> between;
    double window;
    bool answered;
  };
  const Case cases[] = {
      {"at the cancel", 0, {}, 5, true},
      {"2.000 s after", 2.0, {}, 5, true},
      {"2.084 s after", 2.084, {}, 5, true},
      {"exactly at the window", 5.0, {}, 5, true},
      {"a millisecond past it", 5.001, {}, 5, false},
      {"a chosen window of 2 s, exactly", 2.0, {}, 2, true},
      {"a chosen window of 2 s, past it", 2.001, {}, 2, false},
      {"a second before the cancel", -1.0, {}, 5, true},
      {"more than a second before", -1.001, {}, 5, false},
      {"the car ran in between", 4.0, {{11, kUp, 1}, {11.3, kLevel, 0}, {13.7, kLevel, 1}, {13.9, kUp, 0}}, 5, false},
      {"the car stopped between floors", 1.0, {{2, kUp, 1}, {2.3, kLevel, 0}, {8, kUp, 0}}, 5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Step> steps = {{1, kHall, 1}, {10, kHall, 0}};
    steps.insert(steps.end(), c.between.begin(), c.between.end());
    steps.push_back({10 + c.openAt, kOpen, 1});
    std::sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) { return a.at < b.at; });
    ReportOptions options;
    options.answerWindowSeconds = c.window;
    const LiftReport r = Report(steps, roles, 30, {kLevel}, options);
    ASSERT_EQ(r.calls.hallWaits.size(), 1u);
    EXPECT_EQ(r.calls.cancelled, c.answered ? 0 : 1);
    EXPECT_EQ(r.HallWaits().count, c.answered ? 1u : 0u);
    ASSERT_EQ(r.hours.size(), 1u);
    EXPECT_EQ(r.hours[0].hallCalls, c.answered ? 1u : 0u);
    EXPECT_EQ(r.hours[0].hallCallsCancelled, c.answered ? 0u : 1u);
  }
}

// Door relays alone: an open command while the close command is on, or just
// after it dropped, during a closing no longer than a door takes.
TEST(ReportRules, ReopensAreInferredFromTheRelaysWithoutLimits) {
  ChannelRoles roles;
  roles.Set(kOpen, ChannelRole::DoorOpenRelay);
  roles.Set(kClose, ChannelRole::DoorCloseRelay);
  struct Case {
    const char* name;
    std::vector<Step> steps;
    size_t reopens, dwells;
  };
  const Case cases[] = {
      {"interlocked: the close relay drops 10 ms before the open relay pulls",
       {{1, kOpen, 1}, {4, kOpen, 0}, {4, kClose, 1}, {5.99, kClose, 0}, {6, kOpen, 1}, {9, kOpen, 0}, {9, kClose, 1},
        {10.49, kClose, 0}, {10.5, kOpen, 1}, {13, kOpen, 0}, {13, kClose, 1}, {16, kClose, 0}},
       2, 3},
      {"the open relay pulls while the close relay holds", {{10, kClose, 1}, {11, kOpen, 1}, {11, kClose, 0}}, 1, 0},
      {"exactly the gap after the drop", {{10, kClose, 1}, {12, kClose, 0}, {12.5, kOpen, 1}}, 1, 0},
      {"a millisecond more", {{10, kClose, 1}, {12, kClose, 0}, {12.501, kOpen, 1}}, 0, 0},
      {"the next cycle after a closed door", {{3, kClose, 1}, {6, kClose, 0}, {8, kOpen, 1}}, 0, 0},
      {"a close command held while the car stood idle", {{3, kClose, 1}, {40, kOpen, 1}, {40, kClose, 0}}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LiftReport r = Report(c.steps, roles, 60);
    EXPECT_EQ(r.doors.reopens.size(), c.reopens);
    EXPECT_EQ(r.doors.dwell.size(), c.dwells);
    EXPECT_TRUE(r.ReopensInferred());
  }
}

// Out of service 100-200 s and fire service 150-300 s overlap: one shutdown.
// Inspection 500-600 s is a second; an alarm at 50 s is logged and counted
// but shuts nothing down. A 178 s dwell and a door left on through them are
// left out.
TEST(ReportRules, OverlappingShutdownsCountOnceAndLeaveTheirTimeOut) {
  ChannelRoles roles;
  roles.Set(kOpen, ChannelRole::DoorOpenRelay);
  roles.Set(kClose, ChannelRole::DoorCloseRelay);
  roles.Set(kOpenLimit, ChannelRole::DoorOpenLimit);
  roles.Set(kClosedLimit, ChannelRole::DoorClosedLimit);
  roles.Set(kOos, ChannelRole::OutOfService);
  roles.Set(kFire, ChannelRole::FireService);
  roles.Set(kInspection, ChannelRole::Inspection);
  roles.Set(kAlarm, ChannelRole::Alarm);
  const LiftReport r = Report({{50, kAlarm, 1},        {55, kAlarm, 0},         {100, kOos, 1},
                               {120, kOpenLimit, 1},   {150, kFire, 1},         {160, kPlain, 1},
                               {200, kOos, 0},         {298, kOpenLimit, 0},    {298, kClose, 1},
                               {300, kFire, 0},        {500, kInspection, 1},   {600, kInspection, 0},
                               {699, kClose, 0},       {700, kOpenLimit, 1},   {704, kOpenLimit, 0},    {704, kClose, 1},
                               {706, kClosedLimit, 1}, {850, kPlain, 0},        {990, kOos, 1}},
                              roles, 1000);
  EXPECT_EQ(ReportCsv(r),
            "kind,start_s,duration_s,channel,floor,detail\r\n"
            "alarm,50.000,5.000,14,,\r\nout_of_service,100.000,100.000,10,,\r\nfire_service,150.000,150.000,12,,\r\n"
            "inspection,500.000,100.000,13,,\r\ndwell,700.000,4.000,3,,\r\ndoor_close,704.000,2.000,2,,\r\n");
  const AvailabilityFigures& a = r.availability;
  EXPECT_EQ(a.shutdowns, 3);  // the one still on at the end began inside the capture
  EXPECT_EQ(a.alarmActivations, 1);
  EXPECT_DOUBLE_EQ(a.shutdownSeconds, 200 + 100 + 10);
  EXPECT_DOUBLE_EQ(a.inServiceSeconds, 690);
  EXPECT_DOUBLE_EQ(a.meanSecondsBetweenShutdowns, 230);
  EXPECT_DOUBLE_EQ(a.availabilityPercent, 69);
  ASSERT_EQ(a.log.size(), 5u);
  EXPECT_EQ(a.log[0].cause, ShutdownCause::Alarm);
  EXPECT_TRUE(a.log[4].cutAtEnd);
  EXPECT_EQ(r.health.channels[kPlain - 1].stuckSpells, 0u);  // 690 s on, 450 s of it in service
}

TEST(ReportRules, AMissingRoleIsNotMeasuredRatherThanAGoodResult) {
  struct Case {
    const char* name;
    std::vector<ChannelRole> roles;
    ReportFigure figure;
    std::string text;  // "" = measured
  };
  using R = ChannelRole;
  const Case cases[] = {
      {"no roles: trips", {}, ReportFigure::Trips, "not measured (no motor run up, motor run down or motor run role)"},
      {"relays only: opening", {R::DoorOpenRelay, R::DoorCloseRelay}, ReportFigure::DoorOpening,
       "not measured (no door open limit role)"},
      {"relays only: dwell", {R::DoorOpenRelay, R::DoorCloseRelay}, ReportFigure::Dwell, ""},
      {"no service role: availability", {R::DoorOpenRelay}, ReportFigure::Availability,
       "not measured (no out of service, fire service or inspection role)"},
      {"inspection alone: availability", {R::Inspection}, ReportFigure::Availability, ""},
      {"motor without level zone: flights", {R::MotorUp, R::MotorDown}, ReportFigure::Flight,
       "not measured (no floor level zone role)"},
      {"start delay without limit and motor", {R::Level}, ReportFigure::StartDelay,
       "not measured (no door closed limit and motor run up, motor run down or motor run role)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChannelRoles roles;
    int ch = 1;
    for (R role : c.roles) roles.Set(ch++, role);
    const LiftReport r = Report({{1, 30, 1}}, roles, 10);
    EXPECT_EQ(r.Measured(c.figure), c.text.empty());
    EXPECT_EQ(r.NotMeasuredText(c.figure), c.text);
    EXPECT_EQ(r.RolesPresent(), c.roles);
  }
}

}  // namespace
}  // namespace korvalog
