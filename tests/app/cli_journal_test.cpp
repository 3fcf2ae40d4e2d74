// Unattended korvalog-cli captures against the real korvalog-sim: a capture
// killed outright is recovered from its journal, a continuous capture over
// several files loses and repeats nothing, and a journal left behind is saved
// by the next capture before anything else.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/cli/cli_context.h"
#include "app/cli_fixture.h"
#include "core/journal_reader.h"
#include "core/journal_writer.h"
#include "project/load_sinks.h"
#include "project/project_file.h"
#include "sim/transition_source.h"
#include "tools/sim_process.h"
#include "support/wait_until.h"

namespace korvalog::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using korvalog::testing::WaitUntil;

struct Event {
  int channel, level;
  double time;
};

class CliJournalTest : public CliFixture<SystemClock> {
 protected:
  // The events of a project, read back with the program's own load.
  std::vector<Event> EventsIn(const std::string& path, CaptureData* keep = nullptr) {
    ManualClock other;
    CaptureData back(other);
    CaptureView backView;
    LoadSinks sinks;
    EXPECT_TRUE(LoadCaptureFile(path, back, backView, sinks).ok) << path;
    std::vector<Event> events;
    for (uint32_t i = 0; i < back.Store.Count(); ++i) {
      events.push_back({back.Store[i].channel, back.Store[i].state, back.Store[i].time});
    }
    if (keep != nullptr) {
      keep->CaptureStart = back.CaptureStart;
      keep->CaptureEnd = back.CaptureEnd;
    }
    return events;
  }
  // What the simulator sends with this rate and seed: `got` must be a run
  // of it, in order, nothing missing and nothing twice. The run may begin a
  // few events late: the capture starts only once the logger is connected.
  static void ExpectSentInOrder(const std::vector<Event>& got, double rate, uint32_t seed) {
    sim::LiftPattern pattern(rate, seed);
    std::vector<sim::SimTransition> sent(got.size() + 100);
    for (auto& t : sent) pattern.Next(t);
    ASSERT_FALSE(got.empty());
    size_t skip = 0;
    while (skip < 100 && (sent[skip].channel != got[0].channel || sent[skip].level != got[0].level)) ++skip;
    ASSERT_LT(skip, 100u);
    for (size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].channel, sent[skip + i].channel) << i;
      ASSERT_EQ(got[i].level, sent[skip + i].level) << i;
      if (i > 0) {
        ASSERT_GE(got[i].time, got[i - 1].time) << i;
      }
    }
  }
};

TEST_F(CliJournalTest, KilledCaptureIsRecoveredWithEveryEventJournalled) {
  // A script of 400 changes over 0.8 s: the test knows each event sent.
  std::vector<Event> sent;
  std::string script;
  uint8_t levels[97] = {};
  for (int i = 0; i < 400; ++i) {
    const int channel = 1 + (i * 7) % 96;
    levels[channel] ^= 1;
    sent.push_back({channel, levels[channel], 0.0});
    script += std::to_string(0.2 + i * 0.002) + " " + std::to_string(channel) + " " + std::to_string(levels[channel]) +
              "\n";
  }
  testing_support::WriteBytes(dir / "script.txt", script);
  korvalog::testing::SimProcess sim({"--script", dir / "script.txt"});
  ASSERT_TRUE(sim.Running());
  const std::string journal = dir / "run.journal";
  std::vector<std::string> args{KORVALOG_CLI_PATH, "capture", "--logger", "96", "--device", sim.DevicePath(),
                                "--journal", journal, "--out", dir / "run.kv"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, (dir / "cli.err").c_str(), O_WRONLY | O_CREAT, 0644);
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, KORVALOG_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  // Killed outright once the journal holds every event sent, while the
  // capture still runs: no stop was ever written.
  JournalContents live;
  const bool journalled = WaitUntil(
      [&] {
        std::string error;
        return ReadJournal(journal, live, error) && live.events.size() >= sent.size();
      },
      20000ms);
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(journalled) << live.events.size() << " of " << sent.size() << " events journalled";
  EXPECT_FALSE(live.ended);

  const std::string back = dir / "back.kv";
  ASSERT_EQ(RunRecover({journal, "--out", back}, ctx), kExitOk) << err.str();
  EXPECT_FALSE(fs::exists(journal));
  // Every event sent, in order, each once, at the times the capture gave it.
  const std::vector<Event> events = EventsIn(back);
  ASSERT_EQ(events.size(), sent.size());
  for (size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(events[i].channel, sent[i].channel);
    EXPECT_EQ(events[i].level, sent[i].level);
    EXPECT_EQ(events[i].time, live.events[i].time);
    if (i > 0) {
      EXPECT_GE(events[i].time, events[i - 1].time);
    }
  }
  // Nothing is restored twice.
  EXPECT_EQ(RunRecover({journal, "--out", dir / "again.kv"}, ctx), kExitUsage);
}

TEST_F(CliJournalTest, ContinuousCaptureAcrossFilesLosesAndRepeatsNothing) {
  korvalog::testing::SimProcess sim({"--rate", "10000", "--seed", "7"});
  ASSERT_TRUE(sim.Running());
  const std::string parts = dir / "parts";
  fs::create_directory(parts);
  // Stopped like Ctrl+C once two full parts are saved and a third runs (or
  // at the wait's limit, so that a broken run fails rather than hangs).
  std::atomic<bool> returned{false};
  std::thread stopper([&] {
    const auto savedParts = [&] {
      int n = 0;
      std::error_code ec;
      for (const auto& entry : fs::directory_iterator(parts, ec)) n += entry.path().extension() == ".kv";
      return n;
    };
    WaitUntil(
        [&] { return returned || (savedParts() >= 2 && data.Capturing.load() != 0 && data.Store.Count() > 0); },
        20000ms);
    if (!returned) kill(getpid(), SIGINT);
  });
  const int status = RunCapture(
      {"--logger", "96", "--device", sim.DevicePath(), "--rotate", "--out", parts + "/", "--store-events", "5000"}, ctx);
  returned = true;
  stopper.join();
  ASSERT_EQ(status, kExitOk) << err.str();
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(parts)) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 3u) << err.str();
  std::vector<Event> all;
  ManualClock other;
  CaptureData previous(other);
  for (size_t f = 0; f < files.size(); ++f) {
    SCOPED_TRACE(files[f]);
    EXPECT_EQ(fs::path(files[f]).filename().string().substr(15), "-000" + std::to_string(f + 1) + ".kv");
    CaptureData part(other);
    const std::vector<Event> events = EventsIn(files[f], &part);
    if (f + 1 < files.size()) {
      EXPECT_EQ(events.size(), 5000u);
    }
    if (f > 0) {  // the levels carry over: each file starts where the last ended
      EXPECT_EQ(std::memcmp(part.CaptureStart.states, previous.CaptureEnd.states, kChannelCount), 0);
      EXPECT_EQ(part.CaptureStart.time, previous.CaptureEnd.time);
    }
    previous.CaptureEnd = part.CaptureEnd;
    all.insert(all.end(), events.begin(), events.end());
  }
  ExpectSentInOrder(all, 10000, 7);
}

TEST_F(CliJournalTest, AJournalLeftBehindIsSavedBeforeTheNextCapture) {
  const std::string parts = dir / "parts";
  fs::create_directory(parts);
  const std::string journal = parts + "/korvalog-capture.journal";
  {
    // A capture that died: its journal was never finished.
    data.SetCapture(true);
    JournalWriter writer(data, journal);
    writer.SetTarget(parts + "/20250101-120000-0003.kv");
    std::string error;
    ASSERT_TRUE(writer.Start(view, error)) << error;
    for (uint8_t ch = 1; ch <= 20; ++ch) data.ApplyTransition(clock.Now(), ch, 1);
  }
  data.SetCapture(false);
  // The next run recovers it before it even opens the logger.
  EXPECT_EQ(RunCapture({"--logger", "96", "--device", dir / "no-such-port", "--rotate", "--out", parts}, ctx),
            kExitUsage);
  EXPECT_NE(err.str().find("20 events recovered from " + journal), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(journal));
  EXPECT_EQ(EventsIn(parts + "/20250101-120000-0003.kv").size(), 20u);
}

TEST_F(CliJournalTest, RefusesWhatCouldLoseData) {
  const std::string notes = dir / "notes.txt";
  testing_support::WriteBytes(notes, "not a journal");
  const std::string file = dir / "x.kv";
  const CommandArgs badCaptures[] = {
      {"--logger", "96", "--port", "1", "--out", file, "--max-files", "3"},  // needs --rotate
      {"--logger", "96", "--port", "1", "--rotate", "--out", dir / "missing/"},
      {"--logger", "96", "--port", "1", "--rotate", "--out", dir.Path(), "--max-files", "0"},
      {"--logger", "96", "--port", "1", "--out", file, "--journal", dir / "missing/j.journal"},
      {"--logger", "96", "--port", "1", "--out", file, "--journal", notes},  // never overwritten
      {"--logger", "96", "--port", "1", "--out", file, "--journal"},
  };
  for (const CommandArgs& args : badCaptures) {
    err.str("");
    EXPECT_EQ(RunCapture(args, ctx), kExitUsage) << args.back();
    EXPECT_EQ(err.str().rfind("korvalog-cli: ", 0), 0u) << err.str();
  }
  EXPECT_EQ(testing_support::ReadBytes(notes), "not a journal");
  const CommandArgs badRecovers[] = {
      {}, {notes}, {notes, "--out", dir / "x.txt"}, {notes, "--out", file}, {dir / "none.journal", "--out", file}};
  for (const CommandArgs& args : badRecovers) EXPECT_EQ(RunRecover(args, ctx), kExitUsage) << args.size();
  EXPECT_FALSE(fs::exists(file));
}

}  // namespace
}  // namespace korvalog::cli
