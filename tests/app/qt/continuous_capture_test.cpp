// One continuous capture, twice against the real korvalog-sim playing the
// same script: once by korvalog-cli capture --rotate, once by the window
// program with Properties set to go on into a folder. Both go through the
// capture session and must write the same parts with the same events. And
// the Properties choice itself: shown, taken, stored and read back.
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/qt/status_panels.h"
#include "core/journal_reader.h"
#include "project/load_sinks.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "session/continuous_parts.h"
#include "support/qt/wait_until_shown.h"
#include "tools/sim_process.h"
#include "ui/qt/btn_transparent.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

namespace fs = std::filesystem;
using korvalog::testing::WaitUntilShown;
using namespace std::chrono_literals;

constexpr int kEvents = 50;
constexpr uint32_t kStoreEvents = 20;
constexpr size_t kFullParts = kEvents / kStoreEvents;
constexpr uint32_t kLastPart = kEvents % kStoreEvents;

using Events = std::vector<std::pair<int, int>>;

// Event i: channel 1 + i % 25, high in the first round and low in the
// second, 20 ms apart; the first well after the logger was started, so that
// a capture pressed once the logger is OK misses none.
Events Script() {
  Events events;
  for (int i = 0; i < kEvents; ++i) events.emplace_back(1 + i % 25, (i / 25) % 2 == 0 ? 1 : 0);
  return events;
}

std::string WriteScript(const testing_support::TempDir& dir) {
  std::ostringstream text;
  const Events events = Script();
  for (size_t i = 0; i < events.size(); ++i) {
    text << 4.0 + 0.02 * static_cast<double>(i) << ' ' << events[i].first << ' ' << events[i].second << '\n';
  }
  const std::string path = dir / "lift.script";
  testing_support::WriteBytes(path, text.str());
  return path;
}


std::vector<std::string> PartsIn(const std::string& folder) {
  std::vector<std::string> parts;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (IsContinuousPartName(e.path().filename().string())) parts.push_back(e.path().string());
  }
  std::sort(parts.begin(), parts.end());
  return parts;
}

Events EventsOf(const std::string& path) {
  ManualClock clock;
  CaptureData back(clock);
  CaptureView view;
  LoadSinks sinks;
  EXPECT_TRUE(LoadCaptureFile(path, back, view, sinks).ok) << path;
  Events events;
  for (uint32_t i = 0; i < back.Store.Count(); ++i) events.emplace_back(back.Store[i].channel, back.Store[i].state);
  return events;
}

// The parts of a run: every full part in the folder, and the rest of the
// script in the current part's journal (or store).
bool AllButTheLastPartWritten(const std::string& folder, uint32_t inLastPart) {
  return PartsIn(folder).size() == kFullParts && inLastPart == kLastPart;
}

uint32_t EventsInJournal(const std::string& path) {
  JournalContents contents;
  std::string error;
  return ReadJournal(path, contents, error) ? static_cast<uint32_t>(contents.events.size()) : 0;
}

// The tool's run: korvalog-cli capture --rotate, interrupted once the script
// is all in.
std::vector<Events> ToolRun(const testing_support::TempDir& dir, const std::string& script) {
  korvalog::testing::SimProcess sim({"--script", script});
  EXPECT_TRUE(sim.Running());
  const std::string folder = dir / "tool";
  fs::create_directories(folder);
  std::vector<std::string> args{KORVALOG_CLI_PATH, "capture", "--logger", "96", "--device", sim.DevicePath(),
                                "--rotate", "--out", folder + "/", "--store-events", std::to_string(kStoreEvents)};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, (dir / "tool.err").c_str(), O_WRONLY | O_CREAT, 0644);
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, KORVALOG_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  const std::string journal = folder + "/korvalog-capture.journal";
  const bool allIn =
      WaitUntilShown([&] { return AllButTheLastPartWritten(folder, EventsInJournal(journal)); }, 30s);
  kill(pid, SIGINT);
  int status = -1;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(allIn) << testing_support::ReadBytes(dir / "tool.err");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << testing_support::ReadBytes(dir / "tool.err");
  std::vector<Events> parts;
  for (const std::string& p : PartsIn(folder)) parts.push_back(EventsOf(p));
  EXPECT_FALSE(fs::exists(journal));  // every part written: the journal has served
  return parts;
}

// The window's run: Properties set to go on into a folder, Capture pressed
// once the logger is OK and again once the script is all in.
std::vector<Events> WindowRun(const testing_support::TempDir& dir, const std::string& script, QString& summary) {
  korvalog::testing::SimProcess sim({"--script", script});
  EXPECT_TRUE(sim.Running());
  qputenv("KORVALOG_COM1", QByteArray::fromStdString(sim.DevicePath()));
  StoreForWindow(1, kLogger96, 5, false);
  const std::string folder = dir / "window";
  fs::create_directories(folder);
  std::vector<Events> parts;
  {
    ProgramWindows w(std::nullopt, false, dir / "journals");
    w.main.show();
    ModalAnswer goOn{[&folder](QWidget* d) {
      auto* form = qobject_cast<TPropertiesForm*>(d);
      ASSERT_NE(form, nullptr);
      QTest::mouseClick(form->rGoOnWhenFull, Qt::LeftButton);
      form->ePartsFolder->setText(QString::fromStdString(folder));
      QTest::mouseClick(form->bOK, Qt::LeftButton);
    }};
    AnswerNextModal(goOn);
    w.main.bPropertiesClick();
    EXPECT_EQ(goOn.seen, 1);
    EXPECT_TRUE(w.settings.WhenFull.goOn);
    EXPECT_EQ(w.settings.WhenFull.folder, folder);
    w.data.SetStoreLimit(kStoreEvents);
    EXPECT_TRUE(WaitUntilShown([&] { return w.main.Link().LinkState == LinkStep::Connected && w.main.bCapture->isEnabled(); }, 15s));
    QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
    EXPECT_TRUE(w.data.Capturing.load());
    EXPECT_TRUE(WaitUntilShown([&] { return AllButTheLastPartWritten(folder, w.data.Store.Count()); }, 30s));
    QTest::mouseClick(w.main.bCapture, Qt::LeftButton);
    EXPECT_FALSE(w.data.Capturing.load());
    summary = w.main.Status().PanelText(2);
    // The caption names the part the chart now shows: the last one written.
    const std::vector<std::string> written = PartsIn(folder);
    EXPECT_FALSE(written.empty());
    if (!written.empty()) {
      EXPECT_EQ(w.main.windowTitle().toStdString(), "KORVALOG - " + fs::path(written.back()).filename().string());
    }
    // Every part is in the folder: nothing is left unsaved, no journal kept.
    EXPECT_FALSE(w.data.DataModified.load());
    EXPECT_TRUE(FindLeftJournals(dir / "journals").empty());
  }
  for (const std::string& p : PartsIn(folder)) parts.push_back(EventsOf(p));
  qunsetenv("KORVALOG_COM1");
  return parts;
}

TEST(ContinuousCapture, TheToolAndTheWindowWriteTheSameParts) {
  testing_support::TempDir dir;
  const std::string script = WriteScript(dir);
  const std::vector<Events> tool = ToolRun(dir, script);
  QString summary;
  const std::vector<Events> window = WindowRun(dir, script, summary);

  ASSERT_EQ(tool.size(), kFullParts + 1);
  EXPECT_EQ(window, tool);
  // And both are the script, in order, split at every full store.
  const Events sent = Script();
  Events all;
  for (size_t p = 0; p < tool.size(); ++p) {
    EXPECT_EQ(tool[p].size(), p < kFullParts ? kStoreEvents : kLastPart) << p;
    all.insert(all.end(), tool[p].begin(), tool[p].end());
  }
  EXPECT_EQ(all, sent);
  // The window says where the parts went, as the tool's summary does.
  EXPECT_TRUE(summary.startsWith(QStringLiteral("3 files written to %1 (").arg(QString::fromStdString(dir / "window"))))
      << summary.toStdString();
}

TEST(ContinuousCapture, AFolderThatCannotBeWrittenIsToldAndTheCaptureStopsWhenFull) {
  testing_support::TempDir dir;
  StoreForWindow(1, kLogger96, 5, false);
  ProgramWindows w(std::nullopt, false, dir / "journals");
  w.settings.WhenFull = FullStoreChoice{true, dir / "missing", 0};
  w.data.SetStoreLimit(3);
  ModalAnswer told{PressKey(Qt::Key_Return)};
  AnswerNextModal(told);
  w.data.SetCapture(true);
  EXPECT_EQ(told.seen, 1);
  EXPECT_FALSE(w.main.Session().Rotating());
  for (uint8_t ch = 1; ch <= 5; ++ch) w.data.ApplyTransition(w.clock.Now(), ch, 1);
  w.data.DeliverPendingNotifications();
  EXPECT_FALSE(w.data.Capturing.load());  // stopped, as without the choice
  EXPECT_EQ(w.data.Store.Count(), 3u);
  EXPECT_TRUE(w.data.DataModified.load());  // still to be saved by the user
  EXPECT_FALSE(fs::exists(dir / "missing"));
  w.data.SetStoreLimit(kEventCapacity);
}

TEST(ContinuousCaptureChoice, ShownTakenStoredAndReadBack) {
  const struct {
    FullStoreChoice choice;
  } cases[] = {
      {{false, "", 0}},
      {{true, "/srv/lift captures", 0}},
      {{true, "/home/eng/parts, north", 12}},
      {{false, "/kept/while/stopping", 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.choice.folder);
    StoreForWindow(1, kLogger96, 5, false);
    TPropertiesForm form;
    LoggerSettings shown;
    shown.WhenFull = c.choice;
    form.ShowSettings(shown);
    EXPECT_EQ(form.rGoOnWhenFull->isChecked(), c.choice.goOn);
    EXPECT_EQ(form.rStopWhenFull->isChecked(), !c.choice.goOn);
    // The folder and the count are for going on only.
    EXPECT_EQ(form.ePartsFolder->isEnabled(), c.choice.goOn);
    EXPECT_EQ(form.ePartsToKeep->isEnabled(), c.choice.goOn);
    LoggerSettings taken;
    form.TakeSettings(taken);
    EXPECT_TRUE(taken.WhenFull == c.choice);
    ASSERT_TRUE(StoreSettings(taken));
    LoggerSettings back;
    LoadStoredSettings(back);
    EXPECT_TRUE(back.WhenFull == c.choice);
  }
  // Chosen with the mouse and the keyboard.
  TPropertiesForm form;
  form.ShowSettings(LoggerSettings{});
  QTest::mouseClick(form.rGoOnWhenFull, Qt::LeftButton);
  EXPECT_TRUE(form.ePartsFolder->isEnabled());
  form.ePartsToKeep->selectAll();
  QTest::keyClicks(form.ePartsToKeep, "7");
  QTest::keyClicks(form.ePartsFolder, "/tmp/parts");
  LoggerSettings taken;
  form.TakeSettings(taken);
  EXPECT_TRUE(taken.WhenFull == (FullStoreChoice{true, "/tmp/parts", 7}));
  // Nothing chosen yet: the store keeps only the five logger settings.
  QSettings store(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
  store.clear();
  ASSERT_TRUE(StoreSettings(store, LoggerSettings{}));
  EXPECT_FALSE(store.contains(QStringLiteral("WhenFull")));
  EXPECT_FALSE(store.contains(QStringLiteral("PartsFolder")));
  EXPECT_FALSE(store.contains(QStringLiteral("PartsToKeep")));
}

}  // namespace
}  // namespace korvalog::test
