// korvalog-cli on damaged and foreign project files: one warning line for a
// project read in part, the refusal (exit 2) for a file that is none, for
// every command that reads a file.
#include <gtest/gtest.h>

#include "app/cli/cli_context.h"
#include "app/cli_fixture.h"
#include "project/project_file.h"
#include "project/temp_dir.h"

namespace korvalog::cli {
namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

class CliDamagedFileTest : public CliFixture<ManualClock> {
 protected:
  CliDamagedFileTest() : CliFixture(45000.0) {}
  // A saved project of four changes on channel 9.
  std::string Good() {
    ManualClock c(45000.0);
    CaptureData d(c);
    const CaptureView v;
    d.SetCapture(true);
    for (int i = 0; i < 4; ++i) d.ApplyTransition(45000.0 + i / 86400.0, 9, static_cast<uint8_t>(1 - (i % 2)));
    d.SetCapture(false);
    const std::string path = dir / "good.kv";
    EXPECT_TRUE(WriteProjectFile(path, d, v, d.CaptureStart, d.CaptureEnd).ok);
    return ReadBytes(path);
  }
};

TEST_F(CliDamagedFileTest, FilesThatAreNoProjectAreRefusedByEveryReader) {
  const std::string bytes[] = {"", "just some notes\n", std::string("PK\x03\x04\0\0", 6) + Good()};
  const CommandFunction commands[] = {RunInfo, RunDump, RunSequence, RunSearch, RunStats};
  int n = 0;
  for (const std::string& b : bytes) {
    const std::string path = dir / ("x" + std::to_string(n++) + ".kv");
    WriteBytes(path, b);
    for (CommandFunction run : commands) {
      err.str("");
      out.str("");
      EXPECT_EQ(run({path}, ctx), kExitUsage) << path;
      EXPECT_EQ(err.str(), "korvalog-cli: " + path + ": not a Korvalog project\n");
      EXPECT_EQ(out.str(), "");
    }
    err.str("");
    EXPECT_EQ(RunConvert({path, dir / "out.kv"}, ctx), kExitUsage);
    EXPECT_EQ(err.str(), "korvalog-cli: " + path + ": not a Korvalog project\n");
  }
}

TEST_F(CliDamagedFileTest, APartlyReadProjectWarnsOnceOnStandardError) {
  const std::string good = Good();
  const std::string path = dir / "cut.kv";
  WriteBytes(path, "junk\r\n" + good.substr(0, good.size() - 100));
  ASSERT_EQ(RunInfo({path}, ctx), kExitOk) << err.str();
  EXPECT_EQ(err.str(), "korvalog-cli: " + path + ": 2 lines ignored; the file ends in the middle of a line\n");
  EXPECT_NE(out.str().find("events\t4\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace korvalog::cli
