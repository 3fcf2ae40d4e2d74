// What korvalog-cli does when an output is in the way or is an input, when
// journals are damaged, special or held, and when a continuous capture
// cannot write or is pruned: run as a user would, on the real program and
// the real simulator.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "app/cli/cli_context.h"
#include "app/cli_fixture.h"
#include "core/journal_reader.h"
#include "core/journal_writer.h"
#include "project/dump_file.h"
#include "project/export_request.h"
#include "project/load_sinks.h"
#include "project/project_file.h"
#include "sim/transition_source.h"
#include "tools/sim_process.h"
#include "support/wait_until.h"

namespace korvalog::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

struct Event {
  int channel, level;
};

struct CliRun {
  int status = -1;
  std::string err;
};

class CliDataSafetyTest : public CliFixture<SystemClock> {
 protected:
  // The real korvalog-cli with these arguments; `during` runs while it does.
  CliRun Cli(std::vector<std::string> args, const std::function<void(pid_t)>& during = {},
          const std::vector<std::string>& env = {}) {
    const std::string errFile = dir / ("stderr-" + std::to_string(runs_++) + ".txt");
    args.insert(args.begin(), "korvalog-cli");
    const pid_t child = fork();
    if (child == 0) {
      const int fd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(fd, 2);
      for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(KORVALOG_CLI_PATH, argv.data());
      _exit(127);
    }
    if (during) during(child);
    int status = 0;
    waitpid(child, &status, 0);
    CliRun r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.err = ReadBytes(errFile);
    return r;
  }
  // A small project to read.
  std::string Project() {
    const std::string kv = dir / "in.kv";
    data.DataPresent.store(1);
    for (int i = 0; i < 20; ++i) data.ApplyTransition(45000.0 + i / 86400.0, static_cast<uint8_t>(1 + i % 3), i % 2);
    EXPECT_TRUE(WriteProjectFile(kv, data, view, data.CaptureStart, data.CaptureEnd).ok);
    return kv;
  }
  // A journal left behind by a capture of `events` transitions.
  std::string LeftJournal(const std::string& name, int events) {
    const std::string path = dir / name;
    data.SetCapture(true);
    {
      JournalWriter writer(data, path);
      std::string error;
      EXPECT_TRUE(writer.Start(view, error)) << error;
      for (int i = 0; i < events; ++i) data.ApplyTransition(clock.Now(), static_cast<uint8_t>(1 + i % 9), i % 2);
      data.SetCapture(false);
    }
    return path;
  }
  static bool IsFifo(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
  }

  int runs_ = 0;
};

TEST_F(CliDataSafetyTest, OutputsThatAreNotRegularFilesAreRefusedAndLeftAlone) {
  const std::string in = Project();
  const std::string journal = LeftJournal("left.journal", 5);
  const std::string fifo = dir / "pipe.kv";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string link = dir / "link.kv";
  fs::create_symlink(fifo, link);
  std::vector<std::string> targets{fifo, link};
  // A device of our own (the null device's numbers), where that is allowed.
  const std::string device = dir / "device.kv";
  if (mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) targets.push_back(device);
  for (const std::string& out : targets) {
    SCOPED_TRACE(out);
    const std::vector<std::vector<std::string>> commands{
        {"convert", in, out},
        {"export", in, "--format", "csv", "--out", out},
        {"export", in, "--format", "vcd", "--out", out},
        {"export", in, "--format", "png", "--out", out},
        {"recover", journal, "--out", out},
        {"capture", "--logger", "96", "--device", dir / "no-port", "--out", out},
    };
    for (const auto& command : commands) {
      const CliRun r = Cli(command);
      EXPECT_EQ(r.status, kExitUsage) << command[0] << ": " << r.err;
      EXPECT_EQ(r.err, "korvalog-cli: " + out + ": is not a regular file\n") << command[0];
    }
    struct stat st;
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_FALSE(S_ISREG(st.st_mode));
  }
  EXPECT_TRUE(IsFifo(fifo));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::exists(journal));  // nothing was recovered

  // The writers below the commands refuse as well: save, dump, exports.
  for (const std::string& out : targets) {
    EXPECT_EQ(WriteProjectFile(out, data, view, data.CaptureStart, data.CaptureEnd).error, out + ": is not a regular file");
    EXPECT_EQ(WriteDumpFile(out, data).error, out + ": is not a regular file");
    ExportRequest request;
    request.format = ExportFormat::Csv;
    request.path = out;
    EXPECT_EQ(ExportCaptureFile(data, view.Traces, request).error, out + ": is not a regular file");
  }
}

TEST_F(CliDataSafetyTest, AnOutputThatIsTheInputOrTheJournalIsRefusedBeforeAnything) {
  const std::string in = Project();
  const std::string before = ReadBytes(in);
  const std::string hard = dir / "hard.kv";
  ASSERT_EQ(link(in.c_str(), hard.c_str()), 0);
  const std::string journal = LeftJournal("left.journal", 5);
  const std::string journalBytes = ReadBytes(journal);
  const std::string journalLink = dir / "journal-link.kv";
  fs::create_symlink(journal, journalLink);
  const struct {
    std::vector<std::string> args;
    std::string out, other;
  } cases[] = {
      {{"convert", in, in}, in, in},
      {{"convert", in, hard}, hard, in},
      {{"export", in, "--format", "csv", "--out", hard}, hard, in},
      {{"export", in, "--format", "vcd", "--out", in}, in, in},
      {{"recover", journal, "--out", journalLink}, journalLink, journal},
      {{"capture", "--logger", "96", "--device", dir / "no-port", "--out", dir / "same.kv", "--journal",
        dir / "same.kv"},
       dir / "same.kv", dir / "same.kv"},
      {{"capture", "--logger", "96", "--device", dir / "no-port", "--out", hard, "--journal", in}, hard, in},
  };
  for (const auto& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, kExitUsage) << c.args[0];
    EXPECT_EQ(r.err, "korvalog-cli: " + c.out + ": is the same file as " + c.other + "\n") << c.args[0];
  }
  EXPECT_EQ(ReadBytes(in), before);
  EXPECT_EQ(ReadBytes(journal), journalBytes);
  EXPECT_FALSE(fs::exists(dir / "same.kv"));
}

// A file the user may not write sits in a folder they may write: a rename
// would replace it all the same, so every writer refuses it first.
TEST_F(CliDataSafetyTest, AReadOnlyOutputIsRefusedAndKept) {
  const std::string in = Project();
  const std::string journal = LeftJournal("left.journal", 5);
  const std::string out = dir / "theirs.kv";
  WriteBytes(out, "kept");
  ASSERT_EQ(chmod(out.c_str(), 0444), 0);
  if (getuid() == 0) {
    ASSERT_EQ(chown(out.c_str(), 65534, 65534), 0);  // another user's file
  }
  const std::vector<std::vector<std::string>> commands{
      {"convert", in, out},
      {"export", in, "--format", "csv", "--out", out},
      {"export", in, "--format", "vcd", "--out", out},
      {"recover", journal, "--out", out},
      {"capture", "--logger", "96", "--device", dir / "no-port", "--out", out},
  };
  for (const auto& command : commands) {
    const CliRun r = Cli(command);
    EXPECT_EQ(r.status, kExitUsage) << command[0] << ": " << r.err;
    EXPECT_EQ(r.err, "korvalog-cli: " + out + ": cannot be written\n") << command[0];
  }
  EXPECT_EQ(WriteProjectFile(out, data, view, data.CaptureStart, data.CaptureEnd).error,
            out + ": cannot write: Permission denied");
  EXPECT_FALSE(WriteDumpFile(out, data).ok);
  struct stat st;
  ASSERT_EQ(stat(out.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_EQ(ReadBytes(out), "kept");
  EXPECT_TRUE(fs::exists(journal));
}

TEST_F(CliDataSafetyTest, SpecialJournalsAreRefusedAtOnce) {
  const std::string fifo = dir / "fifo.journal";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(dir / "folder.journal");
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"recover", dir / "folder.journal", "--out", dir / "a.kv"}, dir / "folder.journal: is not a regular file"},
      {{"recover", fifo, "--out", dir / "a.kv"}, fifo + ": is not a regular file"},
      {{"capture", "--logger", "96", "--device", dir / "no-port", "--out", dir / "a.kv", "--journal", fifo},
       fifo + ": is not a regular file"},
  };
  for (const auto& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_EQ(r.err, "korvalog-cli: " + c.error + "\n");
  }
  EXPECT_TRUE(IsFifo(fifo));
  EXPECT_FALSE(fs::exists(dir / "a.kv"));
}

TEST_F(CliDataSafetyTest, TwoRecoveriesAtOnceRestoreTheCaptureOnce) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    SCOPED_TRACE(attempt);
    const std::string journal = LeftJournal("big.journal", 300000);
    const std::string a = dir / "a.kv";
    const std::string b = dir / "b.kv";
    fs::remove(a);
    fs::remove(b);
    CliRun second;
    const CliRun first = Cli({"recover", journal, "--out", a}, [&](pid_t) { second = Cli({"recover", journal, "--out", b}); });
    const int successes = (first.status == kExitOk) + (second.status == kExitOk);
    EXPECT_EQ(successes, 1) << first.err << second.err;
    EXPECT_EQ(fs::exists(a) + fs::exists(b), 1);
    const CliRun& refused = first.status == kExitOk ? second : first;
    EXPECT_EQ(refused.status, kExitUsage);
    EXPECT_TRUE(refused.err == "korvalog-cli: " + journal + ": in use\n" ||
                refused.err == "korvalog-cli: " + journal + ": cannot be read: No such file or directory\n")
        << refused.err;
    EXPECT_FALSE(fs::exists(journal));
  }
}

TEST_F(CliDataSafetyTest, AJournalWithADamagedBeginningIsMovedAsideNotDeleted) {
  fs::create_directory(dir / "parts");
  const std::string journal = dir / "parts/korvalog-capture.journal";
  const std::string left = LeftJournal("parts/korvalog-capture.journal", 50);
  std::string bytes = ReadBytes(left);
  JournalHeader header;
  const size_t copy = ParseJournalHeader(bytes, header) / 2;
  bytes[200] ^= 4;
  bytes[copy + 300] ^= 4;
  WriteBytes(journal, bytes);
  // recover refuses it and leaves it where it is.
  CliRun r = Cli({"recover", journal, "--out", dir / "r.kv"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.err, "korvalog-cli: " + journal + ": not a capture journal, or its beginning is damaged\n");
  EXPECT_EQ(ReadBytes(journal), bytes);
  // The next capture (a restarted service) moves it aside and says where.
  r = Cli({"capture", "--logger", "96", "--device", dir / "no-port", "--rotate", "--out", dir / "parts/"});
  EXPECT_NE(r.err.find("the damaged journal was kept as " + journal + ".damaged\n"), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(journal + ".damaged"), bytes);
  EXPECT_FALSE(fs::exists(journal));
}

// Names of the parts in `folder`, sorted.
std::vector<std::string> Parts(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".kv") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(CliDataSafetyTest, MaxFilesNeverRemovesThisRunsNewestFilesWhateverTheNames) {
  korvalog::testing::SimProcess sim({"--rate", "4000", "--seed", "5"});
  ASSERT_TRUE(sim.Running());
  const std::string parts = dir / "parts";
  fs::create_directory(parts);
  // A stray file "from the future" and one of an earlier run, older.
  const std::string future = parts + "/29991231-235959-0001.kv";
  const std::string earlier = parts + "/20200101-000000-0001.kv";
  WriteBytes(future, "x");
  WriteBytes(earlier, "x");
  fs::last_write_time(earlier, fs::file_time_type::clock::now() - 24h);
  const CliRun r = Cli({"capture", "--logger", "96", "--device", sim.DevicePath(), "--rotate", "--out", parts + "/",
                     "--store-events", "1500", "--seconds", "2.5", "--max-files", "2"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  // Both earlier files went first; of this run's only the two newest stay.
  std::vector<std::string> written;
  for (size_t at = r.err.find(" events written to "); at != std::string::npos;
       at = r.err.find(" events written to ", at + 1)) {
    const size_t from = at + 19;
    written.push_back(fs::path(r.err.substr(from, r.err.find('\n', from) - from)).filename().string());
  }
  ASSERT_GE(written.size(), 3u) << r.err;
  EXPECT_EQ(Parts(parts), (std::vector<std::string>{written[written.size() - 2], written.back()}));
}

TEST_F(CliDataSafetyTest, ARotatingCaptureThatCannotWriteKeepsEveryEventAndSaysWhere) {
  korvalog::testing::SimProcess sim({"--rate", "4000", "--seed", "9"});
  ASSERT_TRUE(sim.Running());
  const std::string parts = dir / "parts";
  const std::string moved = dir / "moved";
  const std::string rescue = dir / "tmp";
  fs::create_directory(parts);
  fs::create_directory(rescue);
  const std::string tmpdir = "TMPDIR=" + rescue;
  // The folder is moved away once the first part is in it.
  const CliRun r = Cli({"capture", "--logger", "96", "--device", sim.DevicePath(), "--rotate", "--out", parts + "/",
                     "--store-events", "2000", "--seconds", "3"},
                    [&](pid_t) {
                      korvalog::testing::WaitUntil([&] { return Parts(parts).size() >= 1; }, 20000ms);
                      fs::rename(parts, moved);
                    },
                    {tmpdir});
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_EQ(r.err.find("the store is full"), std::string::npos) << r.err;
  // The last line names every file that holds the capture, each there.
  const size_t line = r.err.rfind("korvalog-cli: the capture is in ");
  ASSERT_NE(line, std::string::npos) << r.err;
  std::string list = r.err.substr(line + 32);
  list = list.substr(0, list.find('\n'));
  std::vector<std::string> files;
  for (size_t from = 0; from < list.size();) {
    const size_t comma = list.find(", ", from);
    files.push_back(list.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
    from = comma == std::string::npos ? list.size() : comma + 2;
  }
  ASSERT_GE(files.size(), 3u) << r.err;
  std::vector<Event> all;
  for (std::string f : files) {
    if (f.rfind(parts + "/", 0) == 0) f = moved + f.substr(parts.size());  // moved with its folder
    SCOPED_TRACE(f);
    ManualClock other;
    CaptureData back(other);
    CaptureView backView;
    LoadSinks sinks;
    ASSERT_TRUE(LoadCaptureFile(f, back, backView, sinks).ok);
    for (uint32_t i = 0; i < back.Store.Count(); ++i) all.push_back({back.Store[i].channel, back.Store[i].state});
  }
  // Nothing missing, nothing twice: exactly what the logger sent, in order.
  sim::LiftPattern pattern(4000, 9);
  std::vector<sim::SimTransition> sent(all.size() + 100);
  for (auto& t : sent) pattern.Next(t);
  size_t skip = 0;
  while (skip < 100 && (sent[skip].channel != all[0].channel || sent[skip].level != all[0].level)) ++skip;
  ASSERT_LT(skip, 100u);
  for (size_t i = 0; i < all.size(); ++i) {
    ASSERT_EQ(all[i].channel, sent[skip + i].channel) << i;
    ASSERT_EQ(all[i].level, sent[skip + i].level) << i;
  }
  EXPECT_GT(all.size(), 8000u);  // it went on to the end
}

TEST_F(CliDataSafetyTest, ARotatingCaptureThatMustStopExitsWithAFailure) {
  korvalog::testing::SimProcess sim({"--rate", "10000", "--seed", "3"});
  ASSERT_TRUE(sim.Running());
  const std::string parts = dir / "parts";
  fs::create_directory(parts);
  // A store of one event fills again long before a part is saved.
  const CliRun r = Cli({"capture", "--logger", "96", "--device", sim.DevicePath(), "--rotate", "--out", parts + "/",
                     "--store-events", "1", "--seconds", "20"});
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("the continuous capture stopped: a store filled before the part before it was saved"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(Parts(parts).empty());
}

}  // namespace
}  // namespace korvalog::cli
