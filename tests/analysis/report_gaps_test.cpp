// The lift report across a link gap: the figure that spans it is left out,
// the others stay, and the notes say how long the gaps were.
#include <gtest/gtest.h>

#include <string>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "analysis/report_tables.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

TEST(ReportGaps, AFigureSpanningAGapIsLeftOutAndTheTimeIsTold) {
  constexpr int kOpen = 1, kClose = 2, kOpenLimit = 3, kClosedLimit = 4;
  ChannelRoles roles;
  roles.Set(kOpen, ChannelRole::DoorOpenRelay);
  roles.Set(kClose, ChannelRole::DoorCloseRelay);
  roles.Set(kOpenLimit, ChannelRole::DoorOpenLimit);
  roles.Set(kClosedLimit, ChannelRole::DoorClosedLimit);
  const struct {
    double from, to;  // the gap, seconds
    std::string csv;  // the rows after the header
    std::string note;
  } cases[] = {
      {11, 12, "dwell,12.500,4.000,3,,\r\ndoor_close,16.500,2.750,2,,\r\n",
       "1 link gap(s) to the logger took 1.000 s of the capture; 1 figure(s)"},
      {13, 13.5, "door_open,10.000,2.500,1,,\r\ndoor_close,16.500,2.750,2,,\r\n", "took 0.500 s"},
      {25, 40, "door_open,10.000,2.500,1,,\r\ndwell,12.500,4.000,3,,\r\ndoor_close,16.500,2.750,2,,\r\n",
       "took 5.000 s of the capture; 0 figure(s)"},  // cut to the capture's end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    CaptureBuilder b;
    b.StartLevel(kClosedLimit, 1)
        .Event(10, kOpen, 1).Event(10, kClosedLimit, 0).Event(12.5, kOpen, 0).Event(12.5, kOpenLimit, 1)
        .Event(16.5, kOpenLimit, 0).Event(16.5, kClose, 1).Event(19.25, kClose, 0).Event(19.25, kClosedLimit, 1)
        .Finish(30);
    b.data.Gaps.Add(At(c.from), At(c.to));
    LiftReport report;
    report.Compute(b.data, b.view.Sequence, roles);
    EXPECT_EQ(ReportCsv(report), "kind,start_s,duration_s,channel,floor,detail\r\n" + c.csv);
    std::string notes;
    for (const std::string& n : ReportNotes(report)) notes += n + "\n";
    EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
  }
}

}  // namespace
}  // namespace korvalog
