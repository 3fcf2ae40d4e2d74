// search, sequence and stats on real project files, with their outputs and
// exit statuses.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <sstream>

#include "app/cli/cli_context.h"
#include "app/cli_fixture.h"
#include "common/capture_builder.h"
#include "project/project_file.h"
#include "project/temp_dir.h"

namespace korvalog::cli {
namespace {

using korvalog::testing::CaptureBuilder;
using testing_support::TempDir;
using testing_support::WriteBytes;

constexpr double kHour = 3600;

class CliAnalysisTest : public CliFixture<ManualClock> {
 protected:
  CliAnalysisTest() : CliFixture(45000.0) {}

  // Saves the builder's capture as a project, as the window's Save does.
  std::string Save(CaptureBuilder& b, const std::string& name = "capture.kv") {
    const std::string path = dir / name;
    EXPECT_TRUE(WriteProjectFile(path, b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd).ok);
    return path;
  }
  // Channel 1 searched HIGH: matches of 2, 4 and 6 s.
  std::string SearchProject() {
    CaptureBuilder b;
    b.Search(1, kSearchHigh);
    b.Event(10.5, 1, 1).Event(12.5, 1, 0).Event(20.5, 1, 1).Event(24.5, 1, 0);
    b.Event(30.5, 1, 1).Event(36.5, 1, 0).Finish(100);
    return Save(b);
  }
};

TEST_F(CliAnalysisTest, SearchUsesTheFileConditionsOrTheOptions) {
  const std::string path = SearchProject();
  EXPECT_EQ(RunSearch({path}, ctx), kExitOk);
  EXPECT_EQ(out.str(), "Count=3 Avg=4.00 Short=2.00 Long=6.00 Total=12.00\n");
  out.str("");
  // LOW on channel 1: the matches running at the start and at the end are left out.
  EXPECT_EQ(RunSearch({path, "--low", "1"}, ctx), kExitOk);
  EXPECT_EQ(out.str(), "Count=2 Avg=7.00 Short=6.00 Long=8.00 Total=14.00\n");
  out.str("");
  EXPECT_EQ(RunSearch({path, "--high=2"}, ctx), kExitOk);  // channel 1 no longer searched
  EXPECT_EQ(out.str(), "Count=0\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(CliAnalysisTest, SearchRefusesBadArguments) {
  const std::string path = SearchProject();
  for (const CommandArgs& bad : {CommandArgs{}, CommandArgs{path, "--high", "0"}, CommandArgs{path, "--high", "1,,2"},
                                 CommandArgs{path, "--low", "129"}, CommandArgs{path, "--high", "3", "--low", "3"},
                                 CommandArgs{path, "--middle", "3"}, CommandArgs{path, "--high"},
                                 CommandArgs{path, path}}) {
    err.str("");
    EXPECT_EQ(RunSearch(bad, ctx), kExitUsage);
    EXPECT_NE(err.str().find("usage: korvalog-cli search"), std::string::npos) << err.str();
    const std::string text = err.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  }
  err.str("");
  EXPECT_EQ(RunSearch({dir / "missing.kv"}, ctx), kExitUsage);
  const std::string message = err.str();
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  EXPECT_EQ(out.str(), "");
}

TEST_F(CliAnalysisTest, SequenceListsTheStairsAndExitsOneOnAViolation) {
  CaptureBuilder b;
  b.Row(1, 3, 1, 0, 5).Row(2, 4, 1);
  b.Event(10, 3, 1).Event(16, 4, 1).Event(20, 9, 1).Event(30, 3, 0).Event(31, 4, 0).Finish(100);
  EXPECT_EQ(RunSequence({Save(b)}, ctx), 1);
  EXPECT_EQ(out.str(),
            "01/01 0000:10.005\t1\tok\n"
            "01/01 0000:16.005\t2\tviolation\n"
            "01/01 0000:30.005\t-1\tok\n"
            "01/01 0000:31.005\t0\tok\n"
            "steps=2 violations=1\n");
  out.str("");
  b.view.Sequence[0].maxTime = 6;
  EXPECT_EQ(RunSequence({Save(b, "in-time.kv")}, ctx), kExitOk);
  EXPECT_NE(out.str().find("01/01 0000:16.005\t2\tok\n"), std::string::npos);
  EXPECT_NE(out.str().find("steps=2 violations=0\n"), std::string::npos);
  EXPECT_EQ(RunSequence({}, ctx), kExitUsage);
}

TEST_F(CliAnalysisTest, StatsPrintsExactlyTheCopyAllText) {
  CaptureBuilder b(10 * kHour);
  b.Event(10 * kHour + 20 * 60, 2, 1).Event(10 * kHour + 30 * 60, 2, 0);
  b.Event(10 * kHour + 50 * 60, 1, 1).Event(11 * kHour + 10 * 60, 1, 0).Finish(12 * kHour);
  const std::string path = Save(b);
  EXPECT_EQ(RunStats({path}, ctx), kExitOk);
  EXPECT_EQ(out.str(), "Channel\t1/1 10:00\t1/1 11:00\r\n#1\t0\t1\r\n#2\t1\t");
  out.str("");
  EXPECT_EQ(RunStats({path, "--type", "Total On Time", "--format", "S..S.SS", "--interval", "1 Day"}, ctx), kExitOk);
  EXPECT_EQ(out.str(), "Channel\t1/1 00:00\r\n#1\t1200.00\r\n#2\t600.00");
  out.str("");
  // Active Low: no period completes, so there is no table.
  EXPECT_EQ(RunStats({path, "--active", "low"}, ctx), kExitOk);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(RunStats({path, "--type", "Median"}, ctx), kExitUsage);
  EXPECT_EQ(RunStats({path, "--interval", "2 Hours"}, ctx), kExitUsage);
  EXPECT_EQ(out.str(), "");
}

TEST_F(CliAnalysisTest, UnreadableFilesAreUsageErrors) {
  // A folder named like a project cannot be read as one, whoever runs the test.
  const std::string path = dir / "folder.kv";
  ASSERT_TRUE(std::filesystem::create_directory(path));
  EXPECT_EQ(RunStats({path}, ctx), kExitUsage);
  EXPECT_EQ(RunSequence({path}, ctx), kExitUsage);
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace korvalog::cli
