// The Statistics and Report windows keep their figures between openings only
// while nothing they are made from changed: each input changed in turn, the
// window opened again shows what a window opened afresh shows.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <functional>

#include "analysis/qt/report_form.h"
#include "analysis/qt/statistics_form.h"
#include "app/demo_logger.h"
#include "common/capture_builder.h"
#include "transport/lift_traffic.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

constexpr double kHour = 3600;

std::string StatisticsShown(TStatisticsForm& form) {
  form.hide();
  form.show();
  return form.View().CopyText(true);
}

TEST(KeptFigures, StatisticsFollowEveryInput) {
  struct Case {
    const char* what;
    std::function<void(CaptureBuilder&)> change;
  };
  const Case cases[] = {
      {"an event appended", [](CaptureBuilder& b) { b.Event(10 * kHour + 200, 2, 1).Event(10 * kHour + 300, 2, 0); }},
      {"events edited in place",
       [](CaptureBuilder& b) { b.data.Store.MutableData()[0].channel = b.data.Store.MutableData()[1].channel = 3; }},
      {"a link gap", [](CaptureBuilder& b) { b.data.Gaps.Add(At(10 * kHour + 70), At(10 * kHour + 80)); }},
      {"the capture start", [](CaptureBuilder& b) { b.data.CaptureStart.time = At(9 * kHour); }},
      {"a name", [](CaptureBuilder& b) { b.view.Traces.SetName(2, "Car call"); }},
      {"a row moved", [](CaptureBuilder& b) { b.view.Traces.MoveRow(1, 2); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CaptureBuilder b(10 * kHour);
    b.Event(10 * kHour + 60, 1, 1).Event(10 * kHour + 150, 1, 0);
    b.Event(11 * kHour + 60, 2, 1).Event(11 * kHour + 150, 2, 0).Finish(12 * kHour);
    TStatisticsForm form(b.data, b.view);
    const std::string before = StatisticsShown(form);
    EXPECT_EQ(StatisticsShown(form), before);  // kept
    c.change(b);
    b.Finish(12 * kHour);
    TStatisticsForm fresh(b.data, b.view);
    const std::string expected = StatisticsShown(fresh);
    EXPECT_NE(expected, before);
    EXPECT_EQ(StatisticsShown(form), expected);
  }
}

struct GeneratedLift {
  GeneratedLift() {
    SetStartupDefaults(data, view);
    NameLiftChannels(view.Traces);
    view.Traces.SetRoles(LiftRoles(view.Traces.Table()));
    sim::LiftTraffic lift(sim::LiftTrafficParameters{});
    sim::RecordLiftTraffic(lift, data, clock, 46091.25, 30 * 60000);
  }
  int ChannelWith(ChannelRole role) const {
    for (int c = 1; c <= kChannelCount; ++c) {
      if (view.Traces.Role(c).role == role) return c;
    }
    return 0;
  }
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
};

std::string ReportShown(TReportForm& form) {
  form.hide();
  form.show();
  std::string text = form.findChild<QLabel*>(QStringLiteral("lHeading"))->text().toStdString() + "|" +
                     form.SiteEdit(0)->text().toStdString() + "|" +
                     std::to_string(form.Report().sequence.runs.size());
  const QTableWidget* figures = form.KeyFigures();
  for (int r = 0; r < figures->rowCount(); ++r) {
    for (int c = 0; c < figures->columnCount(); ++c) text += "|" + figures->item(r, c)->text().toStdString();
  }
  return text;
}

TEST(KeptFigures, ReportFollowsEveryInput) {
  struct Case {
    const char* what;
    std::function<void(GeneratedLift&, TReportForm&)> change;
  };
  const Case cases[] = {
      {"events removed", [](GeneratedLift& l, TReportForm&) { l.data.Store.SetCount(l.data.Store.Count() / 2); }},
      {"events edited in place",
       [](GeneratedLift& l, TReportForm&) {
         const int door = l.ChannelWith(ChannelRole::DoorOpenRelay);
         EventRecord* events = l.data.Store.MutableData();
         for (uint32_t i = 0; i < l.data.Store.Count(); ++i) {
           if (events[i].channel == door) events[i].channel = kChannelCount;
         }
       }},
      {"a role", [](GeneratedLift& l, TReportForm&) { l.view.Traces.Roles().Clear(); }},
      {"the Sequencer pattern",
       [](GeneratedLift& l, TReportForm&) {
         const uint8_t door = static_cast<uint8_t>(l.ChannelWith(ChannelRole::DoorOpenRelay));
         l.view.Sequence[0] = SequenceRow{door, 1, 0, 0};
         l.view.Sequence[1] = SequenceRow{door, 0, 0, 0};
       }},
      {"the site", [](GeneratedLift& l, TReportForm&) { l.view.Site.site = "Depot"; }},
      {"the source name", [](GeneratedLift&, TReportForm& f) { f.SetSourceName("visit.klg"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GeneratedLift lift;
    TReportForm form(lift.data, lift.view);
    const std::string before = ReportShown(form);
    EXPECT_EQ(ReportShown(form), before);  // kept
    c.change(lift, form);
    TReportForm fresh(lift.data, lift.view);
    if (std::string(c.what) == "the source name") fresh.SetSourceName("visit.klg");
    const std::string expected = ReportShown(fresh);
    EXPECT_NE(expected, before);
    EXPECT_EQ(ReportShown(form), expected);
  }
}

}  // namespace
}  // namespace korvalog
