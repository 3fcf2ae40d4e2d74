// The journal's lifecycle in the window program: kept in a folder under a
// name no other journal there has, until the capture is saved or discarded.
#include "session/session_journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/journal_reader.h"
#include "core/journal_writer.h"
#include "project/temp_dir.h"
#include "support/journal_capture.h"

namespace korvalog {
namespace {

using SessionJournalTest = korvalog::testing::JournalCapture;

TEST_F(SessionJournalTest, TheWindowsJournalLivesUntilTheCaptureIsSavedOrDiscarded) {
  SessionJournal journal(data, view);
  journal.UseFolder(dir / "settings");
  std::string error;
  data.SetCapture(true);
  ASSERT_TRUE(journal.CaptureStarted(error)) << error;
  const std::string first = dir / "settings/capture.journal";
  EXPECT_TRUE(JournalInUse(first));
  EXPECT_EQ(journal.FreeJournalPath(), dir / "settings/capture-2.journal");  // for a second copy
  Transition(0);
  data.SetCapture(false);
  journal.CaptureStopped();  // stopped, not saved: the journal stays, with the stop
  JournalContents j;
  ASSERT_TRUE(ReadJournal(first, j, error));
  EXPECT_TRUE(j.ended);
  EXPECT_EQ(j.events.size(), 1u);

  data.SetCapture(true);  // a new capture discards the old records and their journal
  ASSERT_TRUE(journal.CaptureStarted(error));
  data.SetCapture(false);
  journal.CaptureStopped();
  ASSERT_TRUE(ReadJournal(first, j, error));
  EXPECT_TRUE(j.events.empty());
  journal.Release();  // saved
  EXPECT_FALSE(std::filesystem::exists(first));
}

TEST_F(SessionJournalTest, TheWindowsNewCaptureLeavesAJournalNotYetRestoredAlone) {
  std::filesystem::create_directories(dir / "settings");
  path = dir / "settings/capture.journal";
  Capture(5, true);  // left behind; its question was closed without an answer
  writer.reset();
  SessionJournal journal(data, view);
  journal.UseFolder(dir / "settings");
  std::string error;
  data.SetCapture(true);
  ASSERT_TRUE(journal.CaptureStarted(error)) << error;
  Transition(7);  // channel 10 goes low again
  data.SetCapture(false);
  journal.CaptureStopped();
  JournalContents j;
  ASSERT_TRUE(ReadJournal(path, j, error));
  EXPECT_EQ(j.events.size(), 5u);
  ASSERT_TRUE(ReadJournal(dir / "settings/capture-2.journal", j, error)) << error;
  EXPECT_EQ(j.events.size(), 1u);
}

}  // namespace
}  // namespace korvalog
