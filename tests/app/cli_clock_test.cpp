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

// Exit status, then standard output and error.
std::string Cli(const std::string& program, const std::string& args, const TempDir& dir) {
  const int raw = std::system((program + " " + args + " >" + dir / "o" + " 2>" + dir / "e").c_str());
  return std::to_string(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) + ReadBytes(dir / "o") + ReadBytes(dir / "e");
}

TEST(CliClock, ALogCrossingMidnightWithoutADateGivesWholeFigures) {
  TempDir dir;
  // A hall call at 23:59:50 answered at 00:00:03, the date line missing.
  WriteBytes(dir / "n.001", "D311226\nT23\nH0059500\nH1259550\nL1259580\nT00\nL0000030\nH1200040\n");
  WriteBytes(dir / "roles", "1\thall-up\t0\n13\tdoor-open-relay\n");
  const std::string info = Cli(KORVALOG_CLI_PATH, "info " + dir / "n.001", dir);
  EXPECT_NE(info.find("duration\t14.00\n"), std::string::npos) << info;
  EXPECT_NE(info.find("line 6: the hour goes back from 23 to 00 with no date"), std::string::npos);
  const std::string report = "report " + dir / "n.001" + " --roles " + dir / "roles --out " + dir / "n.";
  EXPECT_EQ(Cli(KORVALOG_CLI_PATH, report + "csv --format csv", dir)[0], '0');
  EXPECT_NE(ReadBytes(dir / "n.csv").find("hall_wait,0.000,13.000,1,0,"), std::string::npos);
  EXPECT_EQ(Cli(KORVALOG_CLI_PATH, report + "html", dir)[0], '0');  // its pictures once crashed
}

TEST(CliClock, AFailingPicturesToolIsNamedAndLeavesNoFile) {
  namespace fs = std::filesystem;
  TempDir dir;
  const std::string bin = dir / "bin", tool = bin + "/korvalog-pictures";
  fs::create_directory(bin);
  fs::copy_file(KORVALOG_CLI_PATH, bin + "/korvalog-cli");
  WriteBytes(dir / "a.001", "D010125\nT09\nH0000000\n");
  // Each stand-in leaves a temporary beside the output, as a tool ended part-way would.
  const std::string partial = "for a; do o=$a; done\n: > \"$(dirname \"$o\")/.$(basename \"$o\").$$-0.tmp\"\n";
  const struct {
    const char* end;  // null: no tool there
    const char* says;
  } cases[] = {{nullptr, "2korvalog-cli: report pages are drawn by"},
               {"exit 3\n", "3korvalog-cli: the report pages were not written: "},
               {"kill -SEGV $$\n", "2korvalog-cli: the report pages were not written: "}};
  for (const auto& c : cases) {
    if (c.end != nullptr) {
      WriteBytes(tool, "#!/bin/sh\n" + partial + c.end);
      fs::permissions(tool, fs::perms::owner_all);
    }
    const std::string r = Cli(bin + "/korvalog-cli", "report " + dir / "a.001" + " --format pdf --out " + dir / "a.pdf", dir);
    EXPECT_EQ(r.rfind(c.says, 0), 0u) << r;
    EXPECT_EQ(c.end != nullptr && c.end[0] == 'k', r.find("killed by signal 11") != std::string::npos) << r;
    for (const auto& entry : fs::directory_iterator(dir.Path())) EXPECT_EQ(entry.path().string().find("a.pdf"), std::string::npos);
    fs::remove(tool);
  }
}

}  // namespace
}  // namespace korvalog
