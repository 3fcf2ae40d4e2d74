// korvalog-cli compare on two real projects through the real program (and,
// for the page and the PDF, the pictures tool): a pair made with known
// changes, a capture with itself, and what it refuses.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <vector>
#include <string>

#include "app/demo_logger.h"
#include "core/capture_data.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "transport/lift_traffic.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;

struct CliResult {
  int status;
  std::string err;
};

CliResult Cli(const std::string& args, const TempDir& dir) {
  const std::string errPath = dir / "stderr.txt";
  const int raw = std::system((std::string(KORVALOG_CLI_PATH) + " " + args + " 2>" + errPath).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(errPath)};
}

std::string Visit(const TempDir& dir, const char* name, int64_t closeMs, int reopenEvery, bool chatter) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  NameLiftInputs(view.Traces);
  sim::LiftTrafficParameters p;
  p.seed = 11;
  p.doorCloseMs = closeMs;
  p.reopenEvery = reopenEvery;
  p.chatterChannel = chatter ? sim::LiftChannels::kDoorContact : 0;
  sim::LiftTraffic lift(p);
  sim::RecordLiftTraffic(lift, data, clock, 46091.25, 30 * 60000);
  const std::string path = dir / name;
  EXPECT_TRUE(WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok);
  return path;
}

TEST(CliCompare, KnownChangesItselfAndRefusals) {
  TempDir dir;
  const std::string before = Visit(dir, "before.kv", 4000, 3, true), after = Visit(dir, "after.kv", 3200, 5, false);
  const std::string beforeBytes = ReadBytes(before);
  struct Case {
    std::string args;
    int status;
    std::vector<std::string> says;  // in the output (status 0) or on stderr
  };
  const Case cases[] = {
      {"compare " + before + " " + after + " --format csv --out " + dir / "c.csv", 0,
       {"figure,unit,before,after,change\r\n", "\r\nDoor closing time: mean,s,4.000,3.200,-0.800\r\n",
        "\r\nChattering inputs,count,1,0,-1\r\n"}},
      {"compare " + before + " " + before + " --format csv --out " + dir / "c.csv", 0,
       {"\r\nDoor closing time: mean,s,4.000,4.000,0.000\r\n", "\r\nChattering inputs,count,1,1,0\r\n"}},
      {"compare " + before + " " + after + " --site 'Mill Court' --out " + dir / "c.html", 0,
       {"<!DOCTYPE html>", "Lift comparison: before and after", "Mill Court", "before.kv", "after.kv", "<svg"}},
      {"compare " + before + " " + after + " --format pdf --out " + dir / "c.pdf", 0, {"%PDF-"}},
      {"compare " + before + " " + dir / "missing.kv" + " --format csv --out " + dir / "x.csv", 2, {"missing.kv"}},
      {"compare " + before + " " + after + " --format csv --out " + before, 2, {"before.kv"}},
      {"compare " + before + " --format csv --out " + dir / "x.csv", 2, {"two files"}},
      {"compare " + before + " " + after + " --format xls --out " + dir / "x.csv", 2, {"unknown format 'xls'"}},
      {"compare " + before + " " + after + " --roles " + dir.Path() + " --format csv --out " + dir / "x.csv", 2,
       {"cannot read the roles"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CliResult r = Cli(c.args, dir);
    ASSERT_EQ(r.status, c.status) << r.err;
    const std::string out = c.status == 0 ? ReadBytes(c.args.substr(c.args.rfind(' ') + 1)) : r.err;
    for (const std::string& s : c.says) EXPECT_NE(out.find(s), std::string::npos) << s << "\n" << out.substr(0, 2000);
    if (c.args.find(" " + before + " " + before) != std::string::npos) {
      // With itself: no change anywhere.
      size_t from = out.find("\r\n") + 2;
      for (size_t end = out.find("\r\n", from); end != std::string::npos; from = end + 2, end = out.find("\r\n", from)) {
        const std::string line = out.substr(from, end - from);
        const std::string change = line.substr(line.rfind(',') + 1);
        EXPECT_TRUE(change.empty() || change.find_first_not_of("0.") == std::string::npos) << line;
      }
    }
  }
  EXPECT_FALSE(std::ifstream(dir / "x.csv").good());
  EXPECT_EQ(ReadBytes(before), beforeBytes);
}

}  // namespace
}  // namespace korvalog
