// The capture session on real files, fed by the test instead of a logger:
// continuous capture into numbered projects with its statuses and summary,
// pruning, rescue files, and the recovery of a journal left behind.
#include "session/capture_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/session_files.h"
#include "core/journal_reader.h"
#include "core/journal_writer.h"
#include "core/process_setup.h"
#include "project/load_sinks.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "session/continuous_parts.h"
#include "session/journal_recovery.h"
#include "session/session_test_support.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

namespace fs = std::filesystem;
using korvalog::testing::WaitUntil;

using korvalog::testing::EventsOf;
using korvalog::testing::NoteList;
using korvalog::testing::PartsIn;

class CaptureSessionTest : public ::testing::Test {
 protected:
  CaptureSessionTest() : session(data, view, settings, usb, clock, files, notes) {}

  // The n-th event of the fixture: channel 1 + n % 20, high in one round,
  // low in the next, so that every one is a change.
  void Apply(int) {
    const int n = applied_++;
    data.ApplyTransition(clock.Now() + n / 86400.0, static_cast<uint8_t>(1 + n % 20), (n / 20) % 2 == 0);
  }
  int applied_ = 0;

  ManualClock clock{46000.25};
  CaptureData data{clock};
  CaptureView view;
  LoggerSettings settings;
  NoUsbLoggers usb;
  ProjectSessionFiles files;
  NoteList notes;
  CaptureSession session;
  testing_support::TempDir dir;
};

TEST_F(CaptureSessionTest, ContinuousCaptureEndsAsAsked) {
  const struct Case {
    const char* name;
    int events;
    bool savedBetween;  // every full part is saved before the next store fills
    int maxFiles;
    bool folderGoes;  // the folder disappears during the capture
    int status;
    std::vector<size_t> sizes;  // of the parts left in the folder, in order
    size_t written;             // files the summary names
  } cases[] = {
      {"every part written", 7, true, 0, false, kSessionWritten, {3, 3, 1}, 3},
      {"exactly full at the stop", 6, true, 0, false, kSessionWritten, {3, 3}, 2},
      {"at most two files kept", 10, true, 2, false, kSessionWritten, {3, 1}, 4},
      {"a store filled before the part before it was saved", 10, false, 0, false, kSessionStoppedEarly, {3, 3}, 2},
      {"the folder went away", 4, true, 0, true, kSessionPartNotWritten, {}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = dir / c.name;
    fs::create_directories(folder);
    notes.lines.clear();
    session.Journal().UsePath(folder + "/korvalog-capture.journal");
    session.Configure(SessionOptions{true, folder, c.maxFiles, 3});
    ASSERT_TRUE(session.Prepare()) << notes.All();
    data.SetCapture(true);
    std::string error;
    ASSERT_TRUE(session.CaptureStarted(error)) << error;
    if (c.folderGoes) fs::rename(folder, folder + "-gone");
    for (int i = 0; i < c.events; ++i) {
      Apply(i);
      if (c.savedBetween) {
        ASSERT_TRUE(WaitUntil([&] {
          session.Tick();
          return !session.PartWaiting();
        }));
      }
    }
    data.SetCapture(false);
    data.DeliverPendingNotifications();
    EXPECT_EQ(session.Finish([] { return kSessionWritten; }), c.status) << notes.All();
    const SessionSummary& summary = session.Summary();
    EXPECT_EQ(summary.status, c.status);
    ASSERT_EQ(summary.written.size(), c.written) << notes.All();
    EXPECT_TRUE(summary.journals.empty());  // every part is in a file: the journals have served
    EXPECT_FALSE(fs::exists(folder + "/korvalog-capture.journal"));
    EXPECT_FALSE(fs::exists(folder + "/korvalog-capture.journal.previous"));
    if (c.folderGoes) {
      // Rescued to the temporary folder, and said so.
      for (const std::string& f : summary.written) {
        EXPECT_EQ(f.find(fs::temp_directory_path().string()), 0u) << f;
        fs::remove(f);
      }
      EXPECT_TRUE(notes.Has("instead")) << notes.All();
      EXPECT_TRUE(notes.Has("the capture is in ")) << notes.All();
      continue;
    }
    const std::vector<std::string> parts = PartsIn(folder);
    ASSERT_EQ(parts.size(), c.sizes.size()) << notes.All();
    for (size_t p = 0; p < parts.size(); ++p) EXPECT_EQ(EventsOf(parts[p]).size(), c.sizes[p]) << parts[p];
    EXPECT_EQ(parts.back(), summary.written.back());  // the newest is never pruned
    EXPECT_EQ(notes.Has("the continuous capture stopped"), c.status == kSessionStoppedEarly) << notes.All();
  }
}

TEST_F(CaptureSessionTest, PartsFollowEachOtherWithoutLossOrRepeat) {
  const std::string folder = dir / "parts";
  fs::create_directories(folder);
  session.Journal().UsePath(folder + "/korvalog-capture.journal");
  session.Configure(SessionOptions{true, folder, 0, 4});
  ASSERT_TRUE(session.Prepare());
  data.SetCapture(true);
  std::string error;
  ASSERT_TRUE(session.CaptureStarted(error)) << error;
  for (int i = 0; i < 30; ++i) {
    Apply(i);
    ASSERT_TRUE(WaitUntil([&] {
      session.Tick();
      return !session.PartWaiting();
    }));
  }
  data.SetCapture(false);
  ASSERT_EQ(session.Finish([] { return kSessionWritten; }), kSessionWritten) << notes.All();
  std::vector<std::pair<int, int>> all;
  const std::vector<std::string> parts = PartsIn(folder);
  ASSERT_EQ(parts.size(), 8u);
  for (size_t p = 0; p < parts.size(); ++p) {
    EXPECT_EQ(fs::path(parts[p]).filename().string().substr(16, 4), "000" + std::to_string(p + 1));
    const auto events = EventsOf(parts[p]);
    all.insert(all.end(), events.begin(), events.end());
  }
  ASSERT_EQ(all.size(), 30u);
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(all[i], std::make_pair(1 + i % 20, (i / 20) % 2 == 0 ? 1 : 0)) << i;
  }
  // One news line per part, as the tool prints them.
  EXPECT_TRUE(notes.Has("4 events written to " + parts.front())) << notes.All();
  EXPECT_EQ(SummaryText(session.Summary(), folder).rfind("8 files written to " + folder + " (", 0), 0u);
}

TEST_F(CaptureSessionTest, AJournalLeftAtThePathIsSavedFirstAndOddFilesAreLeftAlone) {
  const std::string folder = dir / "parts";
  fs::create_directories(folder);
  const std::string journal = folder + "/korvalog-capture.journal";
  {
    // A capture that died: its journal was never finished.
    data.SetCapture(true);
    JournalWriter writer(data, journal);
    writer.SetTarget(folder + "/meant.kv");
    std::string error;
    ASSERT_TRUE(writer.Start(view, error)) << error;
    for (int i = 0; i < 5; ++i) Apply(i);
  }
  data.SetCapture(false);
  testing_support::WriteBytes(folder + "/meant.kv", "taken");  // the name it was meant for is taken
  ManualClock other;
  CaptureData scratch(other);
  EXPECT_TRUE(RecoverJournalsLeftAt(journal, folder, "", scratch, files, notes)) << notes.All();
  EXPECT_FALSE(fs::exists(journal));
  EXPECT_EQ(testing_support::ReadBytes(folder + "/meant.kv"), "taken");
  EXPECT_EQ(EventsOf(folder + "/meant-recovered.kv").size(), 5u);
  EXPECT_TRUE(notes.Has("5 events recovered from " + journal + " to " + folder + "/meant-recovered.kv"));

  const struct {
    const char* name;
    std::string bytes;
    bool refused;
    const char* told;
  } odd[] = {
      {"an empty file", "", false, ""},
      {"someone's notes", "not a journal", true, ": not a capture journal; it is not overwritten"},
  };
  for (const auto& o : odd) {
    SCOPED_TRACE(o.name);
    notes.lines.clear();
    testing_support::WriteBytes(journal, o.bytes);
    EXPECT_EQ(RecoverJournalsLeftAt(journal, folder, "", scratch, files, notes), !o.refused);
    EXPECT_EQ(testing_support::ReadBytes(journal), o.bytes);
    if (o.refused) {
      EXPECT_TRUE(notes.Has(journal + o.told)) << notes.All();
    }
  }
  fs::remove(journal);
  fs::create_directory(journal);
  EXPECT_FALSE(RecoverJournalsLeftAt(journal, folder, "", scratch, files, notes));
  EXPECT_TRUE(notes.Has(journal + ": is a folder"));
}

TEST(FreeRecoveredName, TakenNamesGetARecoveredSuffix) {
  testing_support::TempDir dir;
  const std::string base = dir / "lift.kv";
  const std::string expected[] = {base, dir / "lift-recovered.kv", dir / "lift-recovered-2.kv",
                                  dir / "lift-recovered-3.kv"};
  for (const std::string& name : expected) {
    EXPECT_EQ(FreeRecoveredName(base), name);
    testing_support::WriteBytes(name, "x");
  }
  testing_support::WriteBytes(dir / "odd", "x");
  EXPECT_EQ(FreeRecoveredName(dir / "odd"), dir / "odd-recovered.kv");  // a name without .kv gets one
}

}  // namespace
}  // namespace korvalog
