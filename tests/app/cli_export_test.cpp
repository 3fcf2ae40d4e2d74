// korvalog-cli export: choices and their refusals, a range and channel list
// on a logger log, and a VCD that sigrok-cli reads sample for sample.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/cli/cli_context.h"
#include "app/cli_fixture.h"
#include "project/temp_dir.h"

namespace korvalog::cli {
namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

// Channel 1 HIGH at 09:12:00.0, 2 HIGH at .5, 1 LOW at 01.0, 3 HIGH and 2 LOW
// at 02.0, 3 LOW at 03.5 (1 January 2025).
const char kLog[] =
    "CB1Tower A\r\nD010125\r\nT09\r\nH0012000\r\nH0112005\r\nL0012010\r\nH0212020\r\nL0112020\r\nL0212035\r\n";

class CliExportTest : public CliFixture<ManualClock> {
 protected:
  CliExportTest() : CliFixture(45000.0) { WriteBytes(dir / "site.001", kLog); }
  std::string Log() { return dir / "site.001"; }
};

TEST_F(CliExportTest, RefusesBadChoicesOnOneLine) {
  const struct {
    CommandArgs args;
    const char* message;
  } cases[] = {
      {{"--format", "vcd", "--out", "x.vcd"}, "export takes one file"},
      {{"F", "--out", "x.vcd"}, "--format is missing"},
      {{"F", "--format", "gif", "--out", "x"}, "unknown format 'gif'"},
      {{"F", "--format", "vcd"}, "--out is missing"},
      {{"F", "--format", "vcd", "--out", "x", "--channels", "0"}, "not a channel 1..128: '0'"},
      {{"F", "--format", "vcd", "--out", "x", "--channels", "1", "--all-channels"},
       "--channels and --all-channels exclude each other"},
      {{"F", "--format", "vcd", "--out", "x", "--wide"}, "--wide is for csv"},
      {{"F", "--format", "csv", "--out", "x", "--width", "800"}, "--width is for png, svg and pdf"},
      {{"F", "--format", "png", "--out", "x", "--width", "12"}, "--width must be 320..16000 pixels"},
      {{"F", "--format", "vcd", "--out", "x", "--from", "soon"}, "cannot read --from 'soon'"},
      {{"F", "--format", "vcd", "--out", "x", "--from", "3", "--to", "1"}, "--from is after --to"},
      {{"F", "--format", "vcd", "--out", "x", "--colour", "red"}, "unknown option --colour"},
  };
  for (auto c : cases) {
    for (std::string& a : c.args) {
      if (a == "F") a = Log();
    }
    err.str("");
    EXPECT_EQ(RunExport(c.args, ctx), kExitUsage) << c.message;
    EXPECT_EQ(err.str().substr(0, err.str().find(" (usage:")), std::string("korvalog-cli: ") + c.message);
  }
}

TEST_F(CliExportTest, RangeAndChannelsByDumpStampAndSeconds) {
  ASSERT_EQ(RunExport({Log(), "--format", "csv", "--from", "0.5", "--to", "01/01 0912:02.005", "--channels", "2,3",
                       "--out", dir / "r.csv"},
                      ctx),
            kExitOk)
      << err.str();
  EXPECT_EQ(ReadBytes(dir / "r.csv"),
            "time_s,channel,name,level,local_time\r\n"
            "0.500,2,Chan 2,1,2025-01-01T09:12:00.500\r\n"
            "2.000,3,Chan 3,1,2025-01-01T09:12:02.000\r\n"
            "2.000,2,Chan 2,0,2025-01-01T09:12:02.000\r\n");
  ASSERT_EQ(RunExport({Log(), "--format", "vcd", "--out", dir / "site.vcd"}, ctx), kExitOk);
  ASSERT_EQ(RunInfo({dir / "site.vcd"}, ctx), kExitOk);
  EXPECT_NE(out.str().find("kind\tvalue change dump\nevents\t6\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("  2\tChan 2\t2 transitions\n"), std::string::npos) << out.str();
  EXPECT_EQ(RunExport({dir / "missing.001", "--format", "vcd", "--out", dir / "m.vcd"}, ctx), kExitUsage);
  EXPECT_EQ(RunExport({Log(), "--format", "vcd", "--out", dir / "no/such/folder.vcd"}, ctx), kExitUsage);
}

// Runs a shell command and gives what it printed; false when it failed.
bool RunCommand(const std::string& command, std::string& output) {
  FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
  return pclose(p) == 0;
}

TEST_F(CliExportTest, SigrokReadsTheSamplesOfTheVcd) {
  if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0) GTEST_SKIP() << "sigrok-cli is not installed";
  ASSERT_EQ(RunExport({Log(), "--format", "vcd", "--out", dir / "a.vcd"}, ctx), kExitOk) << err.str();
  std::string text;
  ASSERT_TRUE(RunCommand("sigrok-cli -i '" + dir / "a.vcd" + "' -O csv 2>&1", text)) << text;
  // One sample per millisecond from the capture start (the levels after
  // every change of that millisecond) up to the end.
  std::string expected;
  const struct {
    int until;
    const char* row;
  } spans[] = {{500, "1,0,0"}, {1000, "1,1,0"}, {2000, "0,1,0"}, {3500, "0,0,1"}};
  int ms = 0;
  for (const auto& s : spans) {
    for (; ms < s.until; ++ms) expected += std::string(s.row) + "\n";
  }
  std::string samples;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && (line[0] == '0' || line[0] == '1')) samples += line + "\n";
  }
  EXPECT_EQ(samples, expected);
  EXPECT_NE(text.find("ch001_Chan_1, ch002_Chan_2, ch003_Chan_3"), std::string::npos) << text.substr(0, 300);
}

}  // namespace
}  // namespace korvalog::cli
