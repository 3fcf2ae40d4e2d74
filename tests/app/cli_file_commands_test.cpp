// dump, info and convert on real files, with their outputs and exit statuses.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <filesystem>
#include <sstream>

#include "app/cli/cli_context.h"
#include "app/cli_fixture.h"
#include "project/dump_file.h"
#include "project/project_file.h"
#include "project/temp_dir.h"

namespace korvalog::cli {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

const char kLog[] =
    "CB1Tower A\r\n"
    "CI31\r\n"
    "D010125\r\n"
    "T09\r\n"
    "H0512345\r\n"
    "H9900000\r\n"
    "H@000000\r\n"
    "L0512400\r\n";

class CliFileTest : public CliFixture<ManualClock> {
 protected:
  CliFileTest() : CliFixture(45000.0) {}

  std::string LogPath() {
    WriteBytes(dir / "site.001", kLog);
    return dir / "site.001";
  }
};

TEST_F(CliFileTest, DumpWritesTheDumpFileBytes) {
  ASSERT_EQ(RunDump({LogPath()}, ctx), kExitOk);
  EXPECT_EQ(out.str(),
            "06\t1\t01/01 0912:34.505\r\n"
            "100\t1\t01/01 0900:00.005\r\n"
            "06\t0\t01/01 0912:40.005\r\n");
  ASSERT_TRUE(WriteDumpFile(dir / kDumpFileName, data).ok);
  EXPECT_EQ(ReadBytes(dir / kDumpFileName), out.str());
  EXPECT_EQ(err.str(), "korvalog-cli: " + LogPath() + ": High Channel Number: 161\n");
}

TEST_F(CliFileTest, InfoSummarisesALog) {
  ASSERT_EQ(RunInfo({LogPath()}, ctx), kExitOk);
  const std::string text = out.str();
  EXPECT_NE(text.find("kind\tlogger log\n"), std::string::npos);
  EXPECT_NE(text.find("events\t3\n"), std::string::npos);
  EXPECT_NE(text.find("start\t01/01 0912:34.505\n"), std::string::npos);
  EXPECT_NE(text.find("end\t01/01 0912:40.005\n"), std::string::npos);
  EXPECT_NE(text.find("duration\t5.50\n"), std::string::npos);
  EXPECT_NE(text.find("channels with transitions\t2\n"), std::string::npos);
  EXPECT_NE(text.find("  6\tChan 6\t2 transitions\n"), std::string::npos);
  EXPECT_NE(text.find("  100\tChan 100\t1 transition\n"), std::string::npos);
  EXPECT_NE(text.find("notes\n  Name\tTower A\n  Calls Active\tHIGH\n"), std::string::npos);
}

TEST_F(CliFileTest, ConvertSavesEverythingAsAProject) {
  const std::string kv = dir / "site.kv";
  ASSERT_EQ(RunConvert({LogPath(), kv}, ctx), kExitOk);
  CaptureData reread(clock);
  CaptureView rereadView;
  NullLoadSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(kv, reread, rereadView, sinks).ok);
  EXPECT_EQ(reread.Store.Count(), 3u);
  EXPECT_EQ(rereadView.Traces.Name(5 + 1), "Chan 6");
  EXPECT_EQ(reread.CaptureStart.time, data.CaptureStart.time);
  // Converting the project again gives the same bytes.
  ASSERT_EQ(RunConvert({kv, dir / "again.kv"}, ctx), kExitOk);
  EXPECT_EQ(ReadBytes(kv), ReadBytes(dir / "again.kv"));
}

TEST_F(CliFileTest, FailuresExitTwoWithOneLine) {
  EXPECT_EQ(RunDump({dir / "missing.001"}, ctx), kExitUsage);
  EXPECT_EQ(err.str(), "korvalog-cli: " + (dir / "missing.001") + ": cannot open: No such file or directory\n");
  err.str("");
  WriteBytes(dir / "bad.001", "D010125\nD450125\n");
  EXPECT_EQ(RunInfo({dir / "bad.001"}, ctx), kExitUsage);
  EXPECT_EQ(err.str(), "korvalog-cli: " + (dir / "bad.001") + ": line 2: Invalid argument to date encode\n");
  err.str("");
  EXPECT_EQ(RunConvert({LogPath(), dir / "no-folder/x.kv"}, ctx), kExitUsage);
  EXPECT_NE(err.str().find("x.kv: cannot create"), std::string::npos);
#ifndef _WIN32
  // A FIFO would block the open until some writer came: refused at once.
  err.str("");
  ASSERT_EQ(mkfifo((dir / "pipe.kv").c_str(), 0600), 0);
  EXPECT_EQ(RunInfo({dir / "pipe.kv"}, ctx), kExitUsage);
  EXPECT_EQ(err.str(), "korvalog-cli: " + (dir / "pipe.kv") + ": is not a regular file\n");
#endif
}

TEST_F(CliFileTest, ConvertSaysWhichEventsItSkipped) {
  // Times 1.0, NaN and -Inf; channel 0; level 2.
  WriteBytes(dir / "in.kv",
             "E000000000000F03F0501\r\nE000000000000F03F0001\r\nE000000000000F03F0502\r\n"
             "E000000000000F87F0501\r\nE000000000000F0FF0501\r\n");
  ASSERT_EQ(RunConvert({dir / "in.kv", dir / "out.kv"}, ctx), kExitOk);
  EXPECT_EQ(err.str(), "korvalog-cli: " + (dir / "in.kv") +
                           ": 4 events skipped: 1 with a channel outside 1..128, 1 with a level other than 0 "
                           "or 1, 2 with a time that is not a finite number\n");
  EXPECT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.CaptureEnd.time, 1.0);
}

#ifndef _WIN32  // ulimit -f
TEST_F(CliFileTest, FileSizeLimitFailsTheSaveAndKeepsTheOldFile) {
  // The real program under "ulimit -f 4": the write fails, nothing is killed.
  const std::string target = dir / "old.kv";
  WriteBytes(target, "old");
  const std::string in = LogPath();
  const std::string errFile = dir / "stderr.txt";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int fd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 2);
    signal(SIGXFSZ, SIG_DFL);  // as a shell leaves it
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    execl(KORVALOG_CLI_PATH, "korvalog-cli", "convert", in.c_str(), target.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), kExitUsage);
  const std::string text = ReadBytes(errFile);
  EXPECT_NE(text.find(": File too large\n"), std::string::npos) << text;
  EXPECT_EQ(ReadBytes(target), "old");
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}
#endif

TEST_F(CliFileTest, UsageErrors) {
  EXPECT_EQ(RunDump({}, ctx), kExitUsage);
  EXPECT_EQ(RunInfo({"a", "b"}, ctx), kExitUsage);
  EXPECT_EQ(RunConvert({LogPath(), dir / "out.txt"}, ctx), kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
  // Saved as a project, it would open again as a value change dump.
  EXPECT_EQ(RunConvert({LogPath(), dir / "out.kv.vcd"}, ctx), kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.kv.vcd"));
  EXPECT_NE(err.str().find("usage: korvalog-cli convert IN OUT.kv"), std::string::npos);
}

TEST_F(CliFileTest, EachCommandsHelpIsPrintedFromItsOptionTable) {
  struct Case {
    CommandFunction run;
    const char* start;                // how the help begins
    std::vector<const char*> shown;   // some of its option lines
  };
  const Case cases[] = {
      {RunDump, "usage: korvalog-cli dump FILE\n", {}},
      {RunInfo, "usage: korvalog-cli info FILE\n", {}},
      {RunConvert, "usage: korvalog-cli convert IN OUT.kv\n", {}},
      {RunSequence, "usage: korvalog-cli sequence FILE\n", {}},
      {RunSearch, "usage: korvalog-cli search FILE", {"\n  --high CH,...  ", "\n  --low CH,...   "}},
      {RunStats, "usage: korvalog-cli stats FILE", {"\n  --type T  ", "\n  --active low|high  "}},
  };
  for (const Case& c : cases) {
    out.str("");
    ASSERT_EQ(c.run({"--help"}, ctx), kExitOk) << c.start;
    const std::string help = out.str();
    EXPECT_EQ(help.rfind(c.start, 0), 0u) << help;
    for (const char* line : c.shown) EXPECT_NE(help.find(line), std::string::npos) << line << " in " << help;
    EXPECT_NE(help.find("\n  --help  "), std::string::npos) << help;
  }
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace korvalog::cli
