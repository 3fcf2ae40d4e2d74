// korvalog-cli report on real files through the real program (and, for the
// page and the PDF, the pictures tool it starts): the three formats, roles
// from the project or from a ROLES file, and what it refuses.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "app/demo_logger.h"
#include "core/capture_data.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "transport/lift_traffic.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

struct CliRun {
  int status;
  std::string err;
};

CliRun Cli(const std::string& args, const TempDir& dir) {
  const std::string errPath = dir / "stderr.txt";
  const std::string command = std::string(KORVALOG_CLI_PATH) + " " + args + " 2>" + errPath;
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(errPath)};
}

class CliReport : public ::testing::Test {
 protected:
  void SetUp() override {
    SetStartupDefaults(data, view);
    NameLiftChannels(view.Traces);
    view.Traces.SetRoles(LiftRoles(view.Traces.Table()));
    view.Sequence[0] = SequenceRow{sim::LiftChannels::kDoorCloseRelay, 1, 0, 0};
    view.Sequence[1] = SequenceRow{sim::LiftChannels::kMotorUp, 1, 0, 3};
    view.Sequence[2] = SequenceRow{sim::LiftChannels::kMotorUp, 0, 2, 40};
    view.Sequence[3] = SequenceRow{sim::LiftChannels::kDoorOpenRelay, 1, 0, 5};
    sim::LiftTrafficParameters p;
    p.seed = 9;
    p.reopenEvery = 4;
    p.outOfServiceFromMs = 600000;
    p.outOfServiceToMs = 700000;
    p.chatterChannel = sim::LiftChannels::kDoorContact;
    sim::LiftTraffic lift(p);
    sim::RecordLiftTraffic(lift, data, clock, 46091.25, 30 * 60000);
    project = dir / "lift.kv";
    ASSERT_TRUE(WriteProjectFile(project, data, view, data.CaptureStart, data.CaptureEnd).ok);
  }

  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
  TempDir dir;
  std::string project;
};

TEST_F(CliReport, CsvHoldsEveryOccurrenceWithTheProjectsRoles) {
  const CliRun r = Cli("report " + project + " --format csv --out " + dir / "lift.csv", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  LiftReport report;
  report.Compute(data, view.Sequence, view.Traces.Roles());
  const std::string csv = ReadBytes(dir / "lift.csv");
  EXPECT_EQ(csv, ReportCsv(report));
  EXPECT_EQ(csv.rfind("kind,start_s,duration_s,channel,floor,detail\r\n", 0), 0u);
  for (const char* kind : {"\r\ndoor_open,", "\r\ndoor_close,", "\r\ndwell,", "\r\nreopen,", "\r\ntrip,",
                           "\r\nhall_wait,", "\r\ncar_service,", "\r\nout_of_service,600.000,100.000,18,,\r\n",
                           "\r\nchatter,", "\r\nsequence_run,"}) {
    EXPECT_NE(csv.find(kind), std::string::npos) << kind;
  }
}

TEST_F(CliReport, RolesFileOverridesTheProjectAndBadLinesAreNamed) {
  WriteBytes(dir / "roles.txt", "# only the motor\n15\tmotor-up\n16\tmotor-down\n");
  CliRun r = Cli("report " + project + " --roles " + dir / "roles.txt" + " --format csv --out " + dir / "m.csv", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string csv = ReadBytes(dir / "m.csv");
  EXPECT_NE(csv.find("\r\ntrip,"), std::string::npos);
  EXPECT_EQ(csv.find("\r\ndoor_open,"), std::string::npos);
  EXPECT_EQ(csv.find("\r\nhall_wait,"), std::string::npos);

  WriteBytes(dir / "bad.txt", "15\tmotor-up\n16\tmotor-sideways\n");
  r = Cli("report " + project + " --roles " + dir / "bad.txt" + " --format csv --out " + dir / "b.csv", dir);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("bad.txt: line 2: unknown role 'motor-sideways'"), std::string::npos) << r.err;
  EXPECT_FALSE(std::ifstream(dir / "b.csv").good());
}

TEST_F(CliReport, HtmlPageStandsAloneWithItsPlotsInline) {
  // The site from the project, the lift and the engineer from the command
  // line; targets from a file.
  view.Site.site = "Mill Court";
  view.Site.lift = "Old lift";
  ASSERT_TRUE(WriteProjectFile(project, data, view, data.CaptureStart, data.CaptureEnd).ok);
  WriteBytes(dir / "targets.txt", "mean-wait excellent 1 good 2 acceptable 3\n");
  const CliRun r = Cli("report " + project + " --lift 'Lift 2' --engineer 'A. Fitter' --targets " +
                           dir / "targets.txt" + " --out " + dir / "lift.html",
                       dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string html = ReadBytes(dir / "lift.html");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(html.find("Lift performance report"), std::string::npos);
  size_t svgs = 0;
  for (size_t at = html.find("<svg"); at != std::string::npos; at = html.find("<svg", at + 1)) ++svgs;
  EXPECT_EQ(svgs, 6u);
  EXPECT_NE(html.find("Mill Court \xC2\xB7 Lift 2"), std::string::npos);
  EXPECT_NE(html.find("A. Fitter"), std::string::npos);
  EXPECT_NE(html.find("excellent \xE2\x89\xA4 1 s, good \xE2\x89\xA4 2 s"), std::string::npos);
  // Nothing outside the file: no scripts, no links, no images to fetch.
  for (const char* outside : {"<script", "<link", "<img", "src=\"http", "href=\"http", "xlink:href=\"http"}) {
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  }
  EXPECT_NE(html.find("Hall-call waiting time"), std::string::npos);
}

TEST_F(CliReport, PdfOfTheSameContent) {
  const CliRun r = Cli("report " + project + " --format pdf --out " + dir / "lift.pdf", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string pdf = ReadBytes(dir / "lift.pdf");
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_GT(pdf.size(), 5000u);
}

TEST_F(CliReport, RefusesBadArgumentsAndItsOwnInput) {
  const std::string before = ReadBytes(project);
  struct C {
    std::string args;
    const char* says;
  };
  const C cases[] = {
      {"report " + project + " --format xls --out " + dir / "x", "unknown format 'xls'"},
      {"report " + project + " --format csv", "--out is missing"},
      {"report --format csv --out " + dir / "x", "report takes one file"},
      {"report " + project + " --format csv --out " + project, "is the file the report is made from"},
      {"report " + project + " --format csv --colour red --out " + dir / "x", "--colour"},
      {"report " + dir / "missing.kv" + " --format csv --out " + dir / "x", "missing.kv"},
      {"report " + project + " --roles " + dir.Path() + " --format csv --out " + dir / "x", "cannot read the roles"},
      {"report " + project + " --targets " + dir / "bad-targets.txt" + " --out " + dir / "x",
       "bad-targets.txt: line 2: unknown figure 'mean-wiat'"},
      {"report " + project + " --targets " + dir / "none.txt" + " --out " + dir / "x", "cannot read the targets"},
  };
  WriteBytes(dir / "bad-targets.txt", "# mine\nmean-wiat good 30\n");
  for (const C& c : cases) {
    SCOPED_TRACE(c.args);
    const CliRun r = Cli(c.args, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadBytes(project), before);
}

}  // namespace
}  // namespace korvalog
