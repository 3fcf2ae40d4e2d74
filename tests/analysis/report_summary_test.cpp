// The report's first page and its plots without a display: targets files
// read or refused by line, verdicts at their limits, site lines, the key
// figures with and without the roles they rest on, and plots that stay
// within what their pixels can show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/report_plots.h"
#include "analysis/report_summary.h"
#include "analysis/report_tables.h"
#include "analysis/report_targets.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

TEST(ReportTargets, FilesAreReadOrRefusedByLine) {
  struct Case {
    const char* text;
    const char* error;  // empty: read
    KeyFigure figure;
    double excellent, good, acceptable;
  };
  const Case cases[] = {
      {"# mine\n\nmean-wait excellent 15 good 25 acceptable 35\n", "", KeyFigure::MeanWait, 15, 25, 35},
      {"availability good 99.9\r\n", "", KeyFigure::Availability, -1, 99.9, -1},
      {"trips-per-day none", "", KeyFigure::TripsPerDay, -1, -1, -1},
      {"shutdowns good 0 acceptable 2 # per capture", "", KeyFigure::Shutdowns, -1, 0, 2},
      {"door-closing acceptable 6", "", KeyFigure::DoorClosing, -1, -1, 6},
      {"mean-wait good 30\nmean-wiat good 30\n", "line 2: unknown figure 'mean-wiat'", KeyFigure::MeanWait, 20, 30, 40},
      {"p95-wait superb 10", "line 1: unknown verdict 'superb'", KeyFigure::P95Wait, 45, 60, 90},
      {"p95-wait good", "line 1: expected p95-wait followed by pairs", KeyFigure::P95Wait, 45, 60, 90},
      {"\n\nwithin-30s good -5", "line 3: 'good' needs a number of zero or more, not '-5'", KeyFigure::Within30, 85, 75,
       60},
      {"mean-wait good 40 acceptable 30", "line 1: the limits of mean-wait are out of order", KeyFigure::MeanWait, 20,
       30, 40},
      {"within-60s good 90 acceptable 95", "line 1: the limits of within-60s are out of order", KeyFigure::Within60, 98,
       95, 90},
  };
  for (const Case& c : cases) {
    ReportTargets t;
    std::string error;
    const bool ok = ParseTargets(c.text, t, error);
    EXPECT_EQ(ok, std::string(c.error).empty()) << c.text;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave " << error;
    // A refused file changes nothing.
    EXPECT_DOUBLE_EQ(t[c.figure].excellent, c.excellent) << c.text;
    EXPECT_DOUBLE_EQ(t[c.figure].good, c.good) << c.text;
    EXPECT_DOUBLE_EQ(t[c.figure].acceptable, c.acceptable) << c.text;
  }
}

TEST(ReportTargets, VerdictsMeetTheirLimitsInclusively) {
  const ReportTargets t;
  const std::tuple<KeyFigure, double, Verdict> cases[] = {
      {KeyFigure::MeanWait, 20, Verdict::Excellent},   {KeyFigure::MeanWait, 20.05, Verdict::Good},
      {KeyFigure::MeanWait, 40, Verdict::Acceptable},  {KeyFigure::MeanWait, 40.1, Verdict::Poor},
      {KeyFigure::Availability, 99.5, Verdict::Excellent}, {KeyFigure::Availability, 96.99, Verdict::Poor},
      {KeyFigure::Within30, 75, Verdict::Good},        {KeyFigure::Shutdowns, 0, Verdict::Good},
      {KeyFigure::Shutdowns, 1, Verdict::Acceptable},  {KeyFigure::Shutdowns, 2, Verdict::Poor},
      {KeyFigure::TripsPerDay, 900, Verdict::None},
  };
  for (const auto& [figure, value, verdict] : cases) {
    EXPECT_EQ(t.Judge(figure, value), verdict) << KeyFigureKey(figure) << " " << value;
  }
  EXPECT_EQ(t.Text(KeyFigure::MeanWait), "excellent \xE2\x89\xA4 20 s, good \xE2\x89\xA4 30 s, acceptable \xE2\x89\xA4 40 s");
  EXPECT_EQ(t.Text(KeyFigure::TripsPerDay), "no target");
}

TEST(SiteDetails, LinesAndLogDescriptions) {
  SiteDetails site;
  EXPECT_TRUE(ReadSiteLine(SiteLine(1, "Lift 2 \xC2\xB7 east"), site));
  EXPECT_EQ(site.lift, "Lift 2 \xC2\xB7 east");
  EXPECT_EQ(SiteLine(0, "AB"), "P004142");
  for (const char* bad : {"P04", "P00411", "P0141G0", "Q0041", "P", "P1041"}) {
    EXPECT_FALSE(ReadSiteLine(bad, site)) << bad;
  }
  EXPECT_EQ(SiteLine(3, std::string(500, 'x')).size(), 3 + 2 * SiteDetails::kMaxBytes);

  const std::tuple<const char*, const char*, const char*> logs[] = {
      {"Name\\t\\bHarbour House, Lift 2\\b\\nNum Lifts\\t\\b2\\b\\n", "Harbour House", "Lift 2"},
      {"Name\\t\\bMill Court\\b\\nNum Lifts\\t\\b1\\b\\nLift Names\\t\\bPassenger\\b\\n", "Mill Court", "Passenger"},
      {"Name\\t\\bSmith, Jones & Co\\b\\n", "Smith, Jones & Co", ""},
      {"Note\\t\\bdoor on 3\\b\\n", "", ""},
  };
  for (const auto& [notes, wantSite, wantLift] : logs) {
    const SiteDetails s = SiteFromLogNotes(notes);
    EXPECT_EQ(s.site, wantSite) << notes;
    EXPECT_EQ(s.lift, wantLift) << notes;
  }
}

constexpr int kOpen = 1, kClose = 2, kClosedLimit = 4, kUp = 6, kHall = 8, kOos = 10;

// Two days of a small lift: a call answered in 10 s each hour, a door
// cycle with a 3 s closing, a trip, and one shutdown.
CaptureBuilder& TwoDays(CaptureBuilder& b) {
  b.StartLevel(kClosedLimit, 1);
  for (int h = 0; h < 50; ++h) {
    const double t = h * 3600.0 + 100;
    b.Event(t, kHall, 1).Event(t + 5, kUp, 1).Event(t + 9, kUp, 0).Event(t + 10, kHall, 0);
    b.Event(t + 10, kOpen, 1).Event(t + 10, kClosedLimit, 0).Event(t + 12, kOpen, 0).Event(t + 17, kClose, 1);
    b.Event(t + 20, kClose, 0).Event(t + 20, kClosedLimit, 1);
  }
  b.Event(7200 + 1000, kOos, 1).Event(7200 + 1600, kOos, 0);
  b.Finish(50 * 3600.0 + 600);
  return b;
}

TEST(ReportSummary, KeyFiguresRestOnTheirRoles) {
  CaptureBuilder b;
  TwoDays(b);
  ChannelRoles all;
  all.Set(kOpen, ChannelRole::DoorOpenRelay);
  all.Set(kClose, ChannelRole::DoorCloseRelay);
  all.Set(kClosedLimit, ChannelRole::DoorClosedLimit);
  all.Set(kUp, ChannelRole::MotorUp);
  all.Set(kHall, ChannelRole::HallUp, 3);
  all.Set(kOos, ChannelRole::OutOfService);
  ChannelRoles noOos = all;
  noOos.Set(kOos, ChannelRole::None);
  struct Case {
    const ChannelRoles* roles;
    KeyFigure figure;
    std::string value;
    Verdict verdict;
  };
  const Case cases[] = {
      {&all, KeyFigure::MeanWait, "10.0 s", Verdict::Excellent},
      {&all, KeyFigure::Within30, "100.0 %", Verdict::Excellent},
      {&all, KeyFigure::DoorClosing, "3.00 s", Verdict::Excellent},
      {&all, KeyFigure::Shutdowns, "1", Verdict::Acceptable},
      {&all, KeyFigure::TripsPerDay, "24", Verdict::None},
      {&noOos, KeyFigure::Availability, "not measured (no out of service, fire service or inspection role)", Verdict::None},
      {&noOos, KeyFigure::Shutdowns, "not measured (no out of service, fire service or inspection role)", Verdict::None},
  };
  for (const Case& c : cases) {
    LiftReport report;
    report.Compute(b.data, b.view.Sequence, *c.roles);
    const ReportSummary s = SummarizeReport(report, SiteDetails{"Mill Court", "Lift 1", "", ""}, ReportTargets{});
    const KeyFigureRow& row = s.figures[static_cast<size_t>(c.figure)];
    EXPECT_EQ(row.valueText, c.value) << row.title;
    EXPECT_EQ(row.verdict, c.verdict) << row.title;
    // Over two days every moment carries its day.
    EXPECT_EQ(MomentText(report, report.Start()), "01/01 00:00:00");
    EXPECT_NE(s.spanText.find("Wed 01/01/2025 00:00:00 to Fri 03/01/2025 02:10:00"), std::string::npos) << s.spanText;
  }
}

TEST(ReportPlots, DrawNoMoreThanTheirPixelsShow) {
  CaptureBuilder b;
  TwoDays(b);
  // Thousands of runs of a two-row pattern on one channel.
  b.Row(1, 20, 1).Row(2, 20, 0);
  for (int i = 0; i < 6000; ++i) b.Event(30 * i + 1, 20, 1).Event(30 * i + 2 + (i % 7), 20, 0);
  b.InTimeOrder().Finish(50 * 3600.0 + 600);
  ChannelRoles roles;
  roles.Set(kUp, ChannelRole::MotorUp);
  LiftReport report;
  report.Compute(b.data, b.view.Sequence, roles);
  ASSERT_GT(report.sequence.runs.size(), 5000u);
  const std::vector<PlotPlan> plots = ReportPlots(report);
  ASSERT_EQ(plots.size(), 7u);  // with the daily trend over two days
  EXPECT_EQ(plots[0].empty, "not measured (no door close relay and door closed limit role)");
  EXPECT_EQ(plots[2].empty, "not measured (no hall call up or hall call down role)");
  EXPECT_EQ(plots[3].title, "Per day");
  for (const PlotBar& bar : plots[3].bars) {
    EXPECT_GE(bar.x0, report.Start());
    EXPECT_LE(bar.x1, report.End());
  }
  EXPECT_EQ(plots[4].empty, "not measured (no out of service, fire service or inspection role)");
  const PlotPlan& runs = plots[5];
  EXPECT_LE(runs.points.size(), static_cast<size_t>(kPlotColumns));
  EXPECT_NEAR(runs.points.front().yLow, 1.0, 1e-6);
  EXPECT_NEAR(runs.points.front().y, 7.0, 1e-6);
  EXPECT_EQ(plots[6].empty, "not measured (no hall-call or door closed limit role)");

  // Negative and unknown durations are left out of a histogram.
  Occurrences odd(4);
  odd[0].seconds = -86379;
  odd[1].seconds = 2.5;
  odd[2].seconds = std::nan("");
  odd[3].seconds = INFINITY;
  const PlotPlan h = HistogramPlot("t", odd);
  ASSERT_EQ(h.bars.size(), 1u);
  EXPECT_EQ(h.bars[0].y1, 1);
  EXPECT_EQ(HistogramPlot("t", {}).empty, "nothing measured");
}

TEST(ReportTables, DocumentsSummariseLongTables) {
  CaptureBuilder b;
  TwoDays(b);
  b.Row(1, 20, 1, 0, 3).Row(2, 20, 0);
  for (int i = 0; i < 200; ++i) b.Event(30 * i + 1, 20, 1).Event(30 * i + 2 + (i % 5), 20, 0);
  b.InTimeOrder().Finish(50 * 3600.0 + 600);
  ChannelRoles roles;
  roles.Set(kUp, ChannelRole::MotorUp);
  LiftReport report;
  report.Compute(b.data, b.view.Sequence, roles);
  for (const ReportTable& t : DocumentTables(report, b.view.Traces, 40)) {
    EXPECT_LE(t.rows.size(), 40u) << t.title;
    if (t.title == "Busiest hours") {
      EXPECT_NE(t.note.find("12 busiest of 51 hours"), std::string::npos) << t.note;
    }
    if (t.title == "Sequencer runs") {
      size_t outside = 0;
      for (const SequenceRun& run : report.sequence.runs) outside += run.violation ? 1 : 0;
      ASSERT_GT(outside, 0u);
      EXPECT_EQ(t.rows.front().back(), "no");  // outside its limits, shown first
      EXPECT_NE(t.note.find(std::to_string(report.sequence.runs.size()) + " runs, " + std::to_string(outside) +
                            " outside"),
                std::string::npos)
          << t.note;
    }
  }
}

}  // namespace
}  // namespace korvalog

namespace korvalog {
namespace {

// Figures whose roles are missing read "not measured" in the tables, never 0
// or 100 %; over two days every "Longest at" carries its day.
TEST(ReportTables, MissingRolesAndDatesInTheTables) {
  CaptureBuilder b;
  TwoDays(b);
  struct Case {
    std::vector<std::pair<int, ChannelRole>> roles;
    std::string table, row, cell;
  };
  const Case cases[] = {
      {{{kUp, ChannelRole::MotorUp}}, "Availability", "Availability over the capture",
       "not measured (no out of service, fire service or inspection role)"},
      {{{kUp, ChannelRole::MotorUp}}, "Doors", "Door cycles", "not measured (no door relay role)"},
      {{{kHall, ChannelRole::HallUp}}, "Trips", "Starts per hour", "not measured (no motor role)"},
      {{{kUp, ChannelRole::MotorUp}}, "Trips", "Run time up", "50"},
      {{{kOos, ChannelRole::OutOfService}}, "Availability", "Shutdowns", "1"},
  };
  for (const Case& c : cases) {
    ChannelRoles roles;
    for (const auto& [ch, role] : c.roles) roles.Set(ch, role, role == ChannelRole::HallUp ? 3 : 0);
    LiftReport report;
    report.Compute(b.data, b.view.Sequence, roles);
    bool found = false;
    for (const ReportTable& t : ReportTables(report, b.view.Traces)) {
      if (t.title != c.table) continue;
      for (const auto& row : t.rows) {
        if (row[0] != c.row) continue;
        found = true;
        EXPECT_EQ(row[1], c.cell) << c.table << " / " << c.row;
        if (c.row == "Run time up") {
          EXPECT_EQ(row[6].substr(0, 6), "01/01 ");  // the day of the longest
        }
      }
    }
    EXPECT_TRUE(found) << c.table << " / " << c.row;
  }
}

// The per-hour bars of a capture that ends mid-hour end with it, side by
// side inside the hour; each bar one count.
TEST(ReportPlots, HourBarsStayInsideTheCapture) {
  CaptureBuilder b(3000);  // 00:50
  b.Event(3100, kUp, 1).Event(3110, kUp, 0).Event(3700, kUp, 1).Event(3710, kUp, 0);
  b.Finish(4000);  // 01:06:40
  ChannelRoles roles;
  roles.Set(kUp, ChannelRole::MotorUp);
  LiftReport report;
  report.Compute(b.data, b.view.Sequence, roles);
  const PlotPlan bars = ReportPlots(report)[3];
  EXPECT_DOUBLE_EQ(bars.xMin, report.Start());
  EXPECT_DOUBLE_EQ(bars.xMax, report.End());
  ASSERT_EQ(bars.bars.size(), 2u);  // a trip in each of the two hours, no empty bars
  for (const PlotBar& bar : bars.bars) {
    EXPECT_GE(bar.x0, bars.xMin);
    EXPECT_LE(bar.x1, bars.xMax);
    EXPECT_EQ(bar.y1, 1);
  }
}

}  // namespace
}  // namespace korvalog
