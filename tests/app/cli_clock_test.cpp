// korvalog-cli on a logger log whose clock goes back, and when the pictures
// tool it starts fails: through the real programs.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome Cli(const std::string& program, const std::string& args, const TempDir& dir) {
  const std::string command = program + " " + args + " >" + dir / "out.txt" + " 2>" + dir / "err.txt";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(dir / "out.txt"), ReadBytes(dir / "err.txt")};
}

TEST(CliClock, ALogCrossingMidnightWithoutADateGivesAWarningAndWholeFigures) {
  TempDir dir;
  // A hall call at 23:59:50 answered at 00:00:03, the date line missing.
  WriteBytes(dir / "night.001", "D311226\r\nT23\r\nH0059500\r\nH1259550\r\nL1259580\r\nT00\r\nL0000030\r\n"
                                "H1200040\r\nL1200080\r\n");
  WriteBytes(dir / "roles.txt", "1\thall-up\t0\n13\tdoor-open-relay\n");
  const Outcome info = Cli(KORVALOG_CLI_PATH, "info " + dir / "night.001", dir);
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.err.find("line 7: the clock goes back from 23:59:58.0 to 00:00:03.0"), std::string::npos) << info.err;
  EXPECT_NE(info.out.find("duration\t18.00\n"), std::string::npos) << info.out;
  const std::string report = "report " + dir / "night.001" + " --roles " + dir / "roles.txt";
  const Outcome csv = Cli(KORVALOG_CLI_PATH, report + " --format csv --out " + dir / "night.csv", dir);
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_NE(ReadBytes(dir / "night.csv").find("hall_wait,0.000,13.000,1,0,"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir / "night.csv").find(",-"), std::string::npos);
  const Outcome html = Cli(KORVALOG_CLI_PATH, report + " --out " + dir / "night.html", dir);
  EXPECT_EQ(html.status, 0) << html.err;
  EXPECT_NE(ReadBytes(dir / "night.html").find("</html>"), std::string::npos);
}

TEST(CliClock, AFailingPicturesToolIsNamedAndLeavesNoFile) {
  namespace fs = std::filesystem;
  TempDir dir;
  const std::string bin = dir / "bin";
  fs::create_directory(bin);
  fs::copy_file(KORVALOG_CLI_PATH, bin + "/korvalog-cli");
  WriteBytes(dir / "a.001", "D010125\nT09\nH0000000\n");
  // The stand-in leaves a temporary file beside the output, as a tool
  // killed part-way through its write would.
  const std::string partial = "for a; do out=$a; done\nprintf part > \"$(dirname \"$out\")/.$(basename \"$out\").$$-0.tmp\"\n";
  const struct {
    const char* tool;  // null: none there
    const char* says;
  } cases[] = {
      {nullptr, "report pages are drawn by"},
      {"exit 3\n", "the report pages were not written: "},
      {"kill -SEGV $$\n", "was killed by signal 11"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    fs::remove(bin + "/korvalog-pictures");
    if (c.tool != nullptr) {
      WriteBytes(bin + "/korvalog-pictures", "#!/bin/sh\n" + partial + c.tool);
      fs::permissions(bin + "/korvalog-pictures", fs::perms::owner_all);
    }
    const Outcome r = Cli(bin + "/korvalog-cli", "report " + dir / "a.001" + " --format pdf --out " + dir / "a.pdf", dir);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
      EXPECT_EQ(entry.path().filename().string().find("a.pdf"), std::string::npos) << entry.path();
    }
  }
}

}  // namespace
}  // namespace korvalog
