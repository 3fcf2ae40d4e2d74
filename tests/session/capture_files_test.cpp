// The files a capture writes, on real files: a recovered capture never in
// the way of the run's own output, a journal already saved not saved twice,
// two continuous captures sharing a folder, honest messages on a full disk,
// and journals that name their files absolutely.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>  // a full disk is a file-size limit here
#endif

#include <csignal>
#include <filesystem>
#include <memory>

#include "app/session_files.h"
#include "core/journal_reader.h"
#include "project/temp_dir.h"
#include "session/capture_session.h"
#include "session/journal_recovery.h"
#include "session/session_test_support.h"
#include "support/journal_capture.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

namespace fs = std::filesystem;
using korvalog::testing::EventsOf;
using korvalog::testing::NoteList;
using korvalog::testing::PartsIn;
using korvalog::testing::WaitUntil;

// One capture session with everything it needs, fed by the test.
struct SessionRun {
  ManualClock clock{46000.25};
  CaptureData data{clock};
  CaptureView view;
  LoggerSettings settings;
  NoUsbLoggers usb;
  ProjectSessionFiles files;
  NoteList notes;
  CaptureSession session{data, view, settings, usb, clock, files, notes};
  int applied = 0;

  void Start(const std::string& journal, const SessionOptions& options) {
    session.Journal().UsePath(journal);
    session.Configure(options);
    ASSERT_TRUE(session.Prepare()) << notes.All();
    data.SetCapture(true);
    std::string error;
    ASSERT_TRUE(session.CaptureStarted(error)) << error;
  }
  void Apply(bool save = true) {
    const int n = applied++;
    data.ApplyTransition(clock.Now() + n / 86400.0, static_cast<uint8_t>(1 + n % 20), (n / 20) % 2 == 0);
    if (save) {
      ASSERT_TRUE(WaitUntil([&] {
        session.Tick();
        return !session.PartWaiting();
      }));
    }
  }
  int Finish(int single = kSessionWritten) {
    data.SetCapture(false);
    data.DeliverPendingNotifications();
    return session.Finish([single] { return single; });
  }
};

class CaptureFilesTest : public korvalog::testing::JournalCapture {
 protected:
  // A capture killed, then the same command again: the recovered capture
  // and the new one each keep a file of their own.
  void ExpectSameCommandAgain(bool damagedCopy) {
    const std::string out = dir / "site.kv";
    Capture(5, false, out);  // killed: the journal is left beside the output
    writer.reset();
    data.SetCapture(false);
    if (damagedCopy) {
      std::string bytes = testing_support::ReadBytes(path);
      bytes[20] ^= 0x55;
      testing_support::WriteBytes(path, bytes);
    }
    auto again = std::make_unique<SessionRun>();
    again->Start(path, SessionOptions{false, out});
    for (int i = 0; i < 3; ++i) again->Apply(false);
    EXPECT_EQ(again->Finish(), kSessionWritten);
    std::string error;
    ASSERT_TRUE(again->files.WriteProject(out, again->data, again->view, again->data.CaptureStart,
                                          again->data.CaptureEnd, error)) << error;
    EXPECT_EQ(EventsOf(dir / "site-recovered.kv").size(), 5u);
    EXPECT_EQ(EventsOf(out).size(), 3u);
    EXPECT_TRUE(again->notes.Has("the capture an earlier run left in the journal is in " + dir / "site-recovered.kv"))
        << again->notes.All();
  }

  // A part saved, and the program killed before its journal went.
  void ExpectSavedJournal(int savedEvents, bool dropped) {
    const std::string part = dir / "20261207-103000-0026.kv";
    Capture(6, true, part);
    writer.reset();
    PositionSnapshot to = data.CaptureEnd;
    to.index = static_cast<uint32_t>(savedEvents);
    std::string error;
    ASSERT_TRUE(files.WriteProject(part, data, view, data.CaptureStart, to, error)) << error;
    fs::rename(path, path + ".previous");  // as a part waiting to be saved leaves it
    ManualClock other;
    CaptureData scratch(other);
    EXPECT_TRUE(RecoverJournalsLeftAt(path, dir.Path(), "", scratch, files, notes)) << notes.All();
    EXPECT_FALSE(fs::exists(path + ".previous"));
    EXPECT_EQ(fs::exists(dir / "20261207-103000-0026-recovered.kv"), !dropped) << notes.All();
    EXPECT_EQ(notes.Has("6 events are already in " + part), dropped) << notes.All();
    EXPECT_EQ(EventsOf(part).size(), static_cast<size_t>(savedEvents));
  }

  ProjectSessionFiles files;
  NoteList notes;
};

TEST_F(CaptureFilesTest, TheSameCommandAgainNeverOverwritesWhatItRecovered) { ExpectSameCommandAgain(false); }
TEST_F(CaptureFilesTest, TheSameCommandAgainWithAHeaderCopyDamaged) { ExpectSameCommandAgain(true); }

TEST_F(CaptureFilesTest, AJournalWhoseCaptureWasSavedIsRemovedNotSavedTwice) { ExpectSavedJournal(6, true); }
TEST_F(CaptureFilesTest, AJournalWhoseFileHoldsAnotherCaptureIsRecovered) { ExpectSavedJournal(5, false); }

TEST(CaptureFiles, TwoContinuousCapturesShareAFolderWithoutTouchingEachOthersParts) {
  testing_support::TempDir dir;
  // Started in the same second: the same names are wanted by both.
  auto a = std::make_unique<SessionRun>();
  auto b = std::make_unique<SessionRun>();
  a->Start(dir / "a.journal", SessionOptions{true, dir.Path(), 0, 3});
  b->Start(dir / "b.journal", SessionOptions{true, dir.Path(), 2, 3});
  for (int i = 0; i < 10; ++i) {
    a->Apply();
    b->Apply();
  }
  // b prunes at its end too, while a still runs.
  EXPECT_EQ(b->Finish(), kSessionWritten) << b->notes.All();
  EXPECT_EQ(a->Finish(), kSessionWritten) << a->notes.All();
  // a keeps all four of its parts; b, at most two, removed only its own.
  size_t aEvents = 0;
  for (const std::string& part : a->session.Summary().written) aEvents += EventsOf(part).size();
  EXPECT_EQ(aEvents, 10u);
  ASSERT_EQ(b->session.Summary().written.size(), 4u);
  EXPECT_EQ(PartsIn(dir.Path()).size(), 6u) << a->notes.All() << b->notes.All();
  for (const auto& e : fs::directory_iterator(dir.Path())) {
    EXPECT_NE(e.path().filename().string()[0], '.') << e.path();  // run files and claims go
  }
}

#ifndef _WIN32  // the file-size limit that stands in for a full disk is POSIX
TEST(CaptureFiles, AFullDiskIsToldAsItIsAndJournalsThatHoldNothingGo) {
  const struct {
    const char* name;
    bool rotate;
    bool diskFull;
    int single;  // what the single capture's save gives
    const char* told;
    bool journalKept;
  } cases[] = {
      {"every folder full", true, true, 0, "the capture is in no file: it is lost", false},
      {"single capture rescued", false, false, kSessionPartNotWritten, "", false},
      {"single capture written nowhere", false, false, kSessionWrittenNowhere, "keeps the capture", true},
  };
  std::signal(SIGXFSZ, SIG_IGN);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempDir dir;
    const std::string journal = dir / "capture.journal";
    auto run = std::make_unique<SessionRun>();
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    if (c.diskFull) {
      // No file can grow beyond one byte: parts, rescue files and the journal fail.
      const rlimit full{1, old.rlim_max};
      setrlimit(RLIMIT_FSIZE, &full);
    }
    run->Start(journal, SessionOptions{c.rotate, c.rotate ? dir.Path() : dir / "site.kv", 0, 3});
    for (int i = 0; i < 5; ++i) run->Apply(false);
    if (!c.diskFull) {
      ASSERT_TRUE(WaitUntil([&] { return fs::exists(journal) && fs::file_size(journal) > 0; }));
    }
    const int status = run->Finish(c.single);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(status, kSessionPartNotWritten);
    EXPECT_EQ(fs::exists(journal), c.journalKept) << run->notes.All();
    EXPECT_EQ(run->session.Summary().journals.empty(), !c.journalKept);
    EXPECT_TRUE(*c.told == '\0' || run->notes.Has(c.told)) << run->notes.All();
    if (!c.journalKept) {
      EXPECT_FALSE(run->notes.Has("keeps the capture")) << run->notes.All();
    }
    for (const std::string& f : run->session.Summary().written) fs::remove(f);
  }
}
#endif

TEST(CaptureFiles, TheJournalNamesItsFilesAbsolutely) {
  testing_support::TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.Path());
  auto run = std::make_unique<SessionRun>();
  run->Start("site.kv.journal", SessionOptions{false, "site.kv"});
  JournalContents contents;
  std::string error;
  EXPECT_TRUE(WaitUntil([&] { return ReadJournal("site.kv.journal", contents, error); })) << error;
  run->Finish(kSessionWrittenNowhere);
  fs::current_path(before);
  EXPECT_EQ(fs::path(contents.header.target), fs::canonical(dir.Path()) / "site.kv");
}

}  // namespace
}  // namespace korvalog
