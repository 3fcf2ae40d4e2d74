// korvalog-cli capture in-process against the real korvalog-sim: a live
// capture written as a project, stops by time, by signal and by a silent
// logger, and refusals of bad arguments and unwritable files.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "app/cli/cli_context.h"
#include "app/cli_fixture.h"
#include "project/load_sinks.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "support/wait_until.h"
#include "tools/fast_stream.h"
#include "tools/sim_process.h"

namespace korvalog::cli {
namespace {

using namespace std::chrono_literals;
using korvalog::testing::WaitUntil;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

class CliCaptureTest : public CliFixture<SystemClock> {
 protected:
  int Capture(const CommandArgs& args) { return RunCapture(args, ctx); }
  // Waits (bounded) until the capture has `events`, then stops it like
  // Ctrl+C; never signals a run that did not get that far (the command's own
  // time limit ends it then).
  void InterruptWhenCaptured(uint32_t events, const std::function<void()>& before = {}, int signal = SIGINT) {
    if (!WaitUntil([&] { return data.Capturing.load() != 0 && data.Store.Count() >= events; }, 10000ms)) return;
    if (before) before();
    kill(getpid(), signal);
  }
  // What a saved project holds, read back with the program's own load.
  uint32_t EventsIn(const std::string& path, CaptureData& into) {
    LoadSinks sinks;
    CaptureView intoView;
    EXPECT_TRUE(LoadCaptureFile(path, into, intoView, sinks).ok);
    return into.Store.Count();
  }

};

TEST_F(CliCaptureTest, RecordsWhatTheSimulatorSends) {
  WriteBytes(dir / "script.txt", "0.2 5 1\n0.2 9 1\n0.3 5 0\n0.4 90 1\n");
  korvalog::testing::SimProcess sim({"--script", dir / "script.txt"});
  ASSERT_TRUE(sim.Running());
  const std::string file = dir / "live.kv";
  ASSERT_EQ(Capture({"--logger", "96", "--device", sim.DevicePath(), "--debounce", "120", "--ac",
                     "--seconds", "1.2", "--out", file}),
            kExitOk)
      << err.str();
  EXPECT_EQ(settings.Debounce, 12);
  EXPECT_TRUE(settings.ACSignals);
  const std::string log = err.str();
  EXPECT_NE(log.find("Logger OK"), std::string::npos) << log;
  EXPECT_NE(log.find("Capturing ["), std::string::npos) << log;
  EXPECT_NE(log.find("4 events written to " + file), std::string::npos) << log;

  ManualClock other;
  CaptureData back(other);
  ASSERT_EQ(EventsIn(file, back), 4u);
  const int want[4][2] = {{5, 1}, {9, 1}, {5, 0}, {90, 1}};
  for (uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(back.Store[i].channel, want[i][0]);
    EXPECT_EQ(back.Store[i].state, want[i][1]);
    EXPECT_GE(back.Store[i].time, back.CaptureStart.time);
    EXPECT_LE(back.Store[i].time, back.CaptureEnd.time);
  }
  // Stopped by its time, never before it: the span the capture gives itself
  // (whole milliseconds of the PC clock) holds the 1.2 s asked for.
  EXPECT_NE(log.find("capture ended (time is up)"), std::string::npos) << log;
  EXPECT_GE((back.CaptureEnd.time - back.CaptureStart.time) * 86400.0, 1.2 - 0.002);
}

TEST_F(CliCaptureTest, SilentLoggerGivesACaptureWithoutEvents) {
  korvalog::testing::SimProcess sim({"--answer", "never"});
  ASSERT_TRUE(sim.Running());
  const std::string file = dir / "empty.kv";
  ASSERT_EQ(Capture({"--logger", "128", "--device", sim.DevicePath(), "--seconds", "0.6", "--out", file}),
            kExitOk)
      << err.str();
  EXPECT_NE(err.str().find("no logger answered"), std::string::npos);
  const std::string text = ReadBytes(file);
  EXPECT_EQ(text.find("\nE"), std::string::npos);
  EXPECT_NE(text.find("\r\nL1"), std::string::npos);
}

// Ctrl+C, kill, a closed terminal and Ctrl+\ all end the capture and keep
// what was captured.
class CliCaptureStopTest : public CliCaptureTest, public ::testing::WithParamInterface<int> {};

TEST_P(CliCaptureStopTest, InterruptStopsAndWritesTheCapture) {
  WriteBytes(dir / "script.txt", "0.1 1 1\n0.1 2 1\n");
  korvalog::testing::SimProcess sim({"--script", dir / "script.txt"});
  ASSERT_TRUE(sim.Running());
  const std::string file = dir / "stopped.kv";
  std::thread stopper([&] { InterruptWhenCaptured(2, {}, GetParam()); });
  const int status =
      Capture({"--logger", "96", "--device", sim.DevicePath(), "--seconds", "20", "--out", file});
  stopper.join();
  EXPECT_EQ(status, kExitOk) << err.str();
  EXPECT_NE(err.str().find("(interrupted)"), std::string::npos);
  ManualClock other;
  CaptureData back(other);
  EXPECT_EQ(EventsIn(file, back), 2u);
}

INSTANTIATE_TEST_SUITE_P(Signals, CliCaptureStopTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGQUIT));

TEST_F(CliCaptureTest, CaptureIsKeptWhenItsFolderVanishes) {
  WriteBytes(dir / "script.txt", "0.1 1 1\n");
  korvalog::testing::SimProcess sim({"--script", dir / "script.txt"});
  ASSERT_TRUE(sim.Running());
  const std::string folder = dir / "gone";
  std::filesystem::create_directory(folder);
  std::thread stopper([&] { InterruptWhenCaptured(1, [&] { std::filesystem::remove_all(folder); }); });
  const int status = Capture(
      {"--logger", "96", "--device", sim.DevicePath(), "--seconds", "20", "--out", folder + "/x.kv"});
  stopper.join();
  EXPECT_EQ(status, 3);
  const std::string log = err.str();
  const size_t at = log.find("was written to ");
  ASSERT_NE(at, std::string::npos) << log;
  const std::string rescue = log.substr(at + 15, log.find(" instead") - at - 15);
  ManualClock other;
  CaptureData back(other);
  EXPECT_EQ(EventsIn(rescue, back), 1u);
  std::filesystem::remove(rescue);
}

// A logger streaming 50,000 changes a second, on either kind of line, from a
// script or from the simulator's own pattern: the project holds every change,
// in order, and the link is never called lost.
class CliFastCaptureTest : public CliCaptureTest,
                           public ::testing::WithParamInterface<korvalog::testing::FastStreamCase> {};

TEST_P(CliFastCaptureTest, EveryChangeOfAFastStreamIsStored) {
  using namespace korvalog::testing;
  const auto [channels, lift] = GetParam();
  const std::vector<StreamedChange> sent = GetParam().Sent();
  WriteBytes(dir / "fast.txt", ScriptFor(sent, kFastChangesPerSecond));
  SimProcess sim(GetParam().SimArgs(dir / "fast.txt"));
  ASSERT_TRUE(sim.Running());
  const std::string file = dir / "fast.kv";
  // Stopped once the last change is in (or, should it never come, by time).
  std::thread stopper([&] {
    WaitUntil([&] { return data.Store.Count() >= sent.size(); }, 60000ms);
    kill(getpid(), SIGINT);
  });
  const int status = Capture({"--logger", std::to_string(channels), "--device", sim.DevicePath(),
                              "--seconds", "60", "--out", file});
  stopper.join();
  ASSERT_EQ(status, kExitOk) << err.str();
  // The endless pattern still has changes to send when the capture stops.
  const int simStatus = sim.Stop();
  if (!lift) {
    EXPECT_EQ(simStatus, 0) << "the simulator could not send everything";
  }
  EXPECT_EQ(err.str().find("Logger link lost"), std::string::npos) << err.str();
  ManualClock other;
  CaptureData back(other);
  uint32_t count = EventsIn(file, back);
  if (lift && count > sent.size()) count = static_cast<uint32_t>(sent.size());
  EXPECT_EQ(FirstDifference(back.Store, count, sent), "");
}

INSTANTIATE_TEST_SUITE_P(Loggers, CliFastCaptureTest, ::testing::ValuesIn(korvalog::testing::kFastStreamCases),
                         [](const auto& info) { return korvalog::testing::FastStreamName(info.param); });

TEST_F(CliCaptureTest, RefusesBadArgumentsBeforeOpeningAnything) {
  const std::string file = dir / "x.kv";
  const CommandArgs bad[] = {
      {"--device", "/dev/null", "--out", file},                          // no logger
      {"--logger", "64", "--port", "1", "--out", file},                  // no such logger
      {"--logger", "96", "--out", file},                                 // no port
      {"--logger", "96", "--port", "1", "--device", "/x", "--out", file},  // both
      {"--logger", "96", "--port", "17", "--out", file},
      {"--logger", "96", "--port", "1", "--debounce", "2551", "--out", file},
      {"--logger", "96", "--port", "1", "--debounce", "-5", "--out", file},
      {"--logger", "96", "--port", "1", "--seconds", "0", "--out", file},
      {"--logger", "96", "--port", "1", "--seconds", "soon", "--out", file},
      {"--logger", "96", "--port", "1"},                                 // no output
      {"--logger", "96", "--port", "1", "--out", dir / "x.txt"},         // not a project name
      {"--logger", "usb", "--port", "1", "--out", file},
      {"--logger", "96", "--port", "1", "--out", file, "--fast"},
      {"--logger", "96", "--port", "1", "--out"},
      {"--logger", "96", "--port", "1", "--out", dir / "missing/x.kv"},  // no such folder
      {"--logger", "96", "--port", "1", "--out", dir.Path() + "/"},      // a folder
      {"--logger", "96", "--device", dir / "no-such-port", "--out", file},
  };
  for (const CommandArgs& args : bad) {
    err.str("");
    EXPECT_EQ(Capture(args), kExitUsage) << args.size();
    EXPECT_EQ(err.str().rfind("korvalog-cli: ", 0), 0u) << err.str();
  }
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(CliCaptureTest, ArgumentMessagesSayWhatIsAllowed) {
  // Each message is checked up to the capture's start: a missing device
  // ends the run right after the arguments were taken.
  const std::string file = dir / "x.kv";
  const std::string missing = dir / "no-such-port";
  const struct {
    const char* option;
    const char* value;
    int status;
    const char* message;
  } cases[] = {
      {"--seconds", "1e12", kExitUsage, "--seconds 1e12 is too large: at most 100000000 (about 3 years)"},
      {"--seconds", "inf", kExitUsage, "is too large: at most 100000000"},
      {"--seconds", "-1", kExitUsage, "--seconds must be a positive number"},
      {"--debounce", "2551", kExitUsage, "--debounce must be 0..2550 milliseconds"},
      {"--debounce", "999", kExitUsage,
       "korvalog-cli: --debounce 999: the logger counts in steps of 10 ms; 1000 ms is used\n"},
      {"--debounce", "4", kExitUsage, "--debounce 4: the logger counts in steps of 10 ms; 0 ms is used\n"},
      {"--debounce", "2549", kExitUsage, "steps of 10 ms; 2550 ms is used\n"},
      {"--debounce", "990", kExitUsage, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.option) + " " + c.value);
    err.str("");
    EXPECT_EQ(Capture({"--logger", "96", "--device", missing, c.option, c.value, "--out", file}), c.status);
    const std::string text = err.str();
    EXPECT_NE(text.find(c.message), std::string::npos) << text;
    EXPECT_EQ(text.find("steps of 10 ms") != std::string::npos, std::string(c.message).find("steps") != std::string::npos)
        << text;
  }
}

}  // namespace
}  // namespace korvalog::cli
