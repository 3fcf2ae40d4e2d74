// Two generated visits of a lift compared: a pair made with known changes
// gives exactly those changes, a capture with itself none, and captures
// without roles their inputs' health alone.
#include <gtest/gtest.h>

#include "analysis/compare_csv.h"
#include "analysis/report_compare.h"
#include "app/demo_logger.h"
#include "transport/lift_traffic.h"

namespace korvalog {
namespace {

using sim::LiftChannels;

struct Visit {
  LiftReport report;
  TraceList names;
  std::vector<sim::LiftTruth> truth;
};

Visit Record(const sim::LiftTrafficParameters& p, bool roles, int minutes = 60) {
  Visit v;
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  if (roles) NameLiftInputs(view.Traces);
  sim::LiftTraffic traffic(p);
  sim::RecordLiftTraffic(traffic, data, clock, 46091.25, minutes * 60000);
  v.names = view.Traces;
  v.report.Compute(data, view.Sequence, v.names.Roles());
  v.truth = traffic.TruthUntil(minutes * 60000);
  return v;
}

size_t Truths(const Visit& v, const char* kind) {
  return static_cast<size_t>(std::count_if(v.truth.begin(), v.truth.end(), [&](const auto& t) { return t.kind == kind; }));
}

sim::LiftTrafficParameters Lift(int64_t closeMs, int reopenEvery, int chatterChannel) {
  sim::LiftTrafficParameters p;
  p.seed = 7;
  p.doorCloseMs = closeMs;
  p.reopenEvery = reopenEvery;
  p.chatterChannel = chatterChannel;
  p.callIntervalMs = 20000;
  return p;
}

TEST(ReportCompare, KnownChangesSameCaptureAndNoRoles) {
  struct Case {
    const char* name;
    sim::LiftTrafficParameters before, after;
    bool roles;
    int afterMinutes;
    // figure, before, after, change as the CSV prints them
    std::vector<std::array<const char*, 4>> expect;
  };
  const auto adjusted = Lift(3200, 5, 0), worn = Lift(4000, 3, LiftChannels::kDoorContact);
  const Case cases[] = {
      {"door adjusted, edge fixed, contact replaced", worn, adjusted, true, 60,
       {{"Door closing time: mean", "4.000", "3.200", "-0.800"},
        {"Mean door closing time", "4.00", "3.20", "-0.80"},
        {"Chattering inputs", "1", "0", "-1"},
        {"Stuck inputs", "0", "0", "0"}}},
      {"the same visit twice", worn, worn, true, 60, {}},
      {"no roles: health alone", worn, adjusted, false, 60, {{"Chattering inputs", "1", "0", "-1"}}},
      {"a shorter visit: counts per hour", worn, worn, true, 30, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Visit b = Record(c.before, c.roles), a = Record(c.after, c.roles, c.afterMinutes);
    const ReportComparison cmp = CompareReports(b.report, b.names, a.report, a.names, ReportTargets());
    for (const auto& [figure, before, after, change] : c.expect) {
      const CompareRow* r = cmp.Find(figure);
      ASSERT_NE(r, nullptr) << figure;
      EXPECT_EQ(r->BeforeText(), before) << figure;
      EXPECT_EQ(r->AfterText(), after) << figure;
      EXPECT_EQ(r->ChangeText(), change) << figure;
    }
    // Unnamed inputs without roles are listed, not paired by their numbers.
    EXPECT_EQ(cmp.unmatchedBefore.empty() && cmp.unmatchedAfter.empty(), c.roles);
    EXPECT_EQ(cmp.healthOnly, !c.roles);
    EXPECT_EQ(cmp.perHour, c.afterMinutes != 60);
    if (!c.roles) {
      for (const CompareRow& r : cmp.rows) EXPECT_EQ(r.group, "Inputs") << r.figure;
      ASSERT_FALSE(cmp.notes.empty());
      EXPECT_NE(cmp.notes[0].find("only the inputs' health is compared"), std::string::npos);
    } else if (c.before.doorCloseMs == c.after.doorCloseMs && c.afterMinutes == 60) {
      // With itself: every figure the same, none better or worse.
      for (const CompareRow& r : cmp.rows) {
        EXPECT_TRUE(!r.Both() || (r.change == Change::Same && r.Difference() == 0)) << r.figure;
      }
      EXPECT_EQ(cmp.VerdictLine().rfind("No change", 0), 0u);
    } else if (c.afterMinutes == 60) {
      // Reopens: each side as the lift made them, the after visit's about half.
      const CompareRow* reopens = cmp.Find("Reopens");
      ASSERT_NE(reopens, nullptr);
      EXPECT_EQ(reopens->before, Truths(b, "reopen"));
      EXPECT_EQ(reopens->after, Truths(a, "reopen"));
      EXPECT_NEAR(reopens->after * 2, reopens->before, reopens->before * 0.1);
      EXPECT_EQ(cmp.Find("Door closing time: mean")->change, Change::Better);
      EXPECT_EQ(cmp.Find("Chattering inputs")->change, Change::Better);
    } else {
      EXPECT_EQ(cmp.Find("Reopens")->unit, "per hour");
      EXPECT_EQ(cmp.Find("Door closing time: mean")->change, Change::Same);
      EXPECT_NE(cmp.Find("Shutdowns"), nullptr);
    }
    // The CSV: its header, a row per figure, CR LF.
    const std::string csv = CompareCsv(cmp);
    EXPECT_EQ(csv.rfind("figure,unit,before,after,change\r\n", 0), 0u);
    EXPECT_EQ(static_cast<size_t>(std::count(csv.begin(), csv.end(), '\n')), cmp.rows.size() + 1);
  }
}

TEST(ReportCompare, InputsPairByRoleThenNameAndTheRestAreListed) {
  TraceList before, after;
  NameLiftInputs(before);
  // The after capture was wired differently: the close relay on input 40,
  // the fan renamed, a new unnamed input that changed.
  NameLiftInputs(after);
  after.Roles().Set(40, ChannelRole::DoorCloseRelay);
  after.Roles().Set(LiftChannels::kDoorCloseRelay, ChannelRole::None);
  after.SetName(LiftChannels::kDoorCloseRelay, "Spare");
  after.SetName(40, "DCR");
  after.SetName(LiftChannels::kCarFan, "Fan");
  const ChannelMatch m = MatchChannels(before, nullptr, after, nullptr);
  EXPECT_EQ(m.AfterOf(LiftChannels::kDoorCloseRelay), 40);
  EXPECT_EQ(m.AfterOf(LiftChannels::kDoorContact), LiftChannels::kDoorContact);  // by name
  EXPECT_EQ(m.unmatchedBefore, std::vector<int>{LiftChannels::kCarFan});
  EXPECT_EQ(m.unmatchedAfter, (std::vector<int>{LiftChannels::kDoorCloseRelay, LiftChannels::kCarFan}));
  EXPECT_EQ(CompareChannelLabel(after, 40), "DCR (input 40)");
}

}  // namespace
}  // namespace korvalog
