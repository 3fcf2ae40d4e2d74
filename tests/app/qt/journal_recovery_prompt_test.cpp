// Start-up recovery in the window program's own message box, answered with
// the keyboard on the offscreen platform.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/qt/journal_recovery_prompt.h"
#include "core/journal_reader.h"
#include "core/journal_writer.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

void AnswerWith(Qt::Key key) {
  QTimer::singleShot(0, [key] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    QTest::keyClick(modal, key);
  });
}

// A capture of `events` transitions whose program died: its journal stays.
void LeaveJournal(const std::string& path, int events) {
  ManualClock clock(45658.5);
  CaptureData dead(clock);
  dead.SetCapture(true);
  const CaptureView view;
  JournalWriter writer(dead, path);
  std::string error;
  ASSERT_TRUE(writer.Start(view, error)) << error;
  for (int i = 0; i < events; ++i) dead.ApplyTransition(clock.Now() + i / 86400.0, 5, (i + 1) % 2);
}

// The window program's start: its capture, its view and a journal folder
// that may hold a journal an earlier run left behind.
class JournalRecoveryPrompt : public ::testing::Test {
 protected:
  JournalRecoveryPrompt() { journal.UseFolder(dir.Path()); }

  testing_support::TempDir dir;
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
  SessionJournal journal{data, view};
  const std::string left = dir / "capture.journal";
};

TEST_F(JournalRecoveryPrompt, YesRestoresAndKeepsTheJournalUntilSavedNoDiscards) {

  LeaveJournal(left, 7);
  AnswerWith(Qt::Key_Escape);  // closed without an answer: kept for the next start
  EXPECT_FALSE(OfferJournalRecovery(data, view, journal, dir.Path(), MarkupStyle{}));
  EXPECT_TRUE(std::filesystem::exists(left));
  AnswerWith(Qt::Key_2);  // No: discarded, nothing restored
  EXPECT_FALSE(OfferJournalRecovery(data, view, journal, dir.Path(), MarkupStyle{}));
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_EQ(data.DataPresent.load(), 0);

  LeaveJournal(left, 7);
  AnswerWith(Qt::Key_Return);  // Yes
  EXPECT_TRUE(OfferJournalRecovery(data, view, journal, dir.Path(), MarkupStyle{}));
  EXPECT_EQ(data.Store.Count(), 7u);
  EXPECT_EQ(data.DataModified.load(), 1);
  EXPECT_EQ(data.Capturing.load(), 0);
  // Still this program's unsaved capture: not offered again while it runs,
  // gone once saved.
  EXPECT_TRUE(std::filesystem::exists(left));
  EXPECT_TRUE(FindLeftJournals(dir.Path()).empty());
  journal.Release();
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_FALSE(OfferJournalRecovery(data, view, journal, dir.Path(), MarkupStyle{}));
}

TEST_F(JournalRecoveryPrompt, AJournalThatCannotBeRecoveredWholeIsMovedAsideNotDeleted) {
  LeaveJournal(left, 7);
  std::string bytes = testing_support::ReadBytes(left);
  JournalHeader header;
  const size_t framesAt = ParseJournalHeader(bytes, header);
  ASSERT_GT(framesAt, 0u);

  // Both header copies damaged: told in a box, moved aside, nothing restored.
  std::string unreadable = bytes;
  unreadable[50] ^= 1;
  unreadable[framesAt / 2 + 50] ^= 1;
  testing_support::WriteBytes(left, unreadable);
  AnswerWith(Qt::Key_Return);
  EXPECT_FALSE(OfferJournalRecovery(data, view, journal, dir.Path(), MarkupStyle{}));
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_EQ(testing_support::ReadBytes(left + ".damaged"), unreadable);
  EXPECT_EQ(data.DataPresent.load(), 0);

  // A damaged record: what is intact is restored, the journal kept aside.
  std::string damaged = bytes;
  damaged[framesAt + 3 * kJournalFrameSize + 2] ^= 1;
  testing_support::WriteBytes(left, damaged);
  AnswerWith(Qt::Key_Return);  // Yes
  EXPECT_TRUE(OfferJournalRecovery(data, view, journal, dir.Path(), MarkupStyle{}));
  EXPECT_EQ(data.Store.Count(), 3u);
  EXPECT_EQ(testing_support::ReadBytes(left + ".damaged-2"), damaged);
  EXPECT_FALSE(std::filesystem::exists(left));
  journal.Release();
  EXPECT_TRUE(std::filesystem::exists(left + ".damaged-2"));
}

TEST_F(JournalRecoveryPrompt, TheJournalFolderIsTheSettingsFolder) {
  const std::string folder = JournalFolderBesideSettings();
  EXPECT_FALSE(folder.empty());
  EXPECT_TRUE(std::filesystem::path(folder).is_absolute());
}

}  // namespace
}  // namespace korvalog
