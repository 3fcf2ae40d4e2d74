// The main window's commands, guards, prompts and status texts, with a
// scripted stand-in for the window's dialogs and message boxes.
#include "app/main_commands.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "app/settings_status.h"
#include "app/startup_options.h"
#include "project/project_file.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing_support::TempDir;

// Answers the commands' questions from a script and records what was shown.
class ScriptedUi final : public MainWindowUi {
 public:
  void ShowWarning(std::string_view markup) override { warnings.emplace_back(markup); }
  bool AskQuestion(std::string_view markup) override {
    questions.emplace_back(markup);
    return answerYes;
  }
  std::optional<std::string> ChooseOpenFile() override { return Take(openAnswers); }
  std::optional<std::string> ChooseSaveFile(const std::string& proposed) override {
    proposedNames.push_back(proposed);
    return Take(saveAnswers);
  }
  bool EditSettings(LoggerSettings& settings) override {
    ++propertiesShown;
    if (!acceptProperties) return false;
    settings = propertiesResult ? *propertiesResult : LoggerSettings(settings);
    return true;
  }
  void CloseAnalysisWindows() override { ++analysisClosed; }
  void SetBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
  void SettingsApplied() override { ++settingsApplied; }
  void DataLoaded(bool) override { ++loads; }
  void CaptureReleased() override { ++releases; }

  static std::optional<std::string> Take(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }

  std::vector<std::string> warnings, questions, proposedNames;
  std::deque<std::optional<std::string>> openAnswers, saveAnswers;
  bool answerYes = false;
  bool acceptProperties = false;
  std::optional<LoggerSettings> propertiesResult;
  int propertiesShown = 0, analysisClosed = 0, busyDepth = 0, settingsApplied = 0, loads = 0, releases = 0;
};

class MainCommandsTest : public ::testing::Test {
 protected:
  MainCommandsTest() : data(clock), link(data, settings, usb, clock), commands(data, view, settings, link, ui) {
    settings.LoggerType = kLoggerUsb;  // no serial port is opened
  }

  // A finished capture of two events, not yet saved.
  void Capture() {
    data.SetCapture(true);
    data.ApplyTransition(45658.5, 3, 1);
    data.ApplyTransition(45658.6, 3, 0);
    data.SetCapture(false);
  }

  ManualClock clock{45658.0};
  CaptureData data;
  CaptureView view;
  LoggerSettings settings;
  NoUsbLoggers usb;
  LinkSupervisor link;
  ScriptedUi ui;
  MainCommands commands;
  TempDir dir;
};

TEST(SettingsStatus, Texts) {
  struct Case {
    uint8_t port, type;
    uint16_t debounce;
    bool ac;
    const char* text;
  } cases[] = {
      {3, kLogger128, 5, true, "COM3, 128 channels, 50mS debounce, AC signals"},
      {1, kLogger96, 5, false, "COM1, 96 channels, 50mS debounce"},
      {12, kLogger96, 0, false, "COM12, 96 channels, 0mS debounce"},
      {7, kLoggerUsb, 5, false, "Ventrix*, 50mS debounce"},
      {7, kLoggerUsb, 255, true, "Ventrix*, 2550mS debounce, AC signals"},
  };
  for (const Case& c : cases) {
    LoggerSettings s;
    s.Port = c.port;
    s.LoggerType = c.type;
    s.Debounce = c.debounce;
    s.ACSignals = c.ac;
    EXPECT_EQ(SettingsStatusText(s), c.text);
  }
  LoggerSettings usbDemo;
  usbDemo.LoggerType = kLoggerUsb;
  EXPECT_EQ(DemoSettingsStatusText(usbDemo), "Demonstration logger: Ventrix*, 50mS debounce");
}

TEST(StartupOptions, OneFileLoadsTwoLoadNothing) {
  EXPECT_FALSE(ParseStartupArguments({}).loadPath);
  EXPECT_EQ(ParseStartupArguments({"a.kv"}).loadPath, "a.kv");
  EXPECT_FALSE(ParseStartupArguments({"a.kv", "b.kv"}).loadPath);
  const StartupOptions demo = ParseStartupArguments({"--demo", "a.kv"});
  EXPECT_TRUE(demo.demo);
  EXPECT_EQ(demo.loadPath, "a.kv");
}

TEST(StartupOptions, HelpAndVersionAreTextsInsteadOfAWindow) {
  EXPECT_FALSE(StartupTextInsteadOfWindow({"a.kv", "--demo"}));
  EXPECT_EQ(StartupTextInsteadOfWindow({"a.kv", "--help"}), StartupHelpText());
  EXPECT_EQ(StartupTextInsteadOfWindow({"--version"}), std::string("korvalog ") + KORVALOG_VERSION_TEXT + "\n");
  for (const char* option : {kDemoOption, kDemoSpeedOption, kHelpOption, kVersionOption}) {
    EXPECT_NE(StartupHelpText().find(option), std::string::npos) << option;
  }
}

TEST_F(MainCommandsTest, CaptureGuardRefusesEverythingWhileCapturing) {
  data.SetCapture(true);
  ui.saveAnswers = {dir / "x.kv", dir / "y.kv"};
  ui.acceptProperties = true;
  commands.OpenClick();
  EXPECT_EQ(commands.SaveClick(), SaveOutcome::Cancelled);
  EXPECT_EQ(commands.SaveSelectionClick(data.CaptureStart, data.CaptureEnd), SaveOutcome::Cancelled);
  EXPECT_FALSE(commands.PropertiesClick());
  EXPECT_FALSE(commands.CloseQuery());
  ASSERT_EQ(ui.warnings.size(), 5u);
  for (const std::string& w : ui.warnings) EXPECT_EQ(w, kCaptureInProgressText);
  EXPECT_EQ(ui.propertiesShown, 0);
  EXPECT_EQ(ui.analysisClosed, 0);
  EXPECT_EQ(ui.saveAnswers.size(), 2u);
  EXPECT_TRUE(data.Capturing.load());
}

TEST_F(MainCommandsTest, ClosingWithUnsavedDataAsksOnceWhateverTheAnswer) {
  EXPECT_TRUE(commands.CloseQuery());  // nothing to save: no question
  EXPECT_TRUE(ui.questions.empty());
  Capture();
  ASSERT_TRUE(data.DataModified.load());
  for (bool yes : {false, true}) {
    ui.questions.clear();
    ui.answerYes = yes;
    // A Yes whose save dialog is cancelled cancels the close: the user asked
    // to save and did not get to.
    EXPECT_EQ(commands.CloseQuery(), !yes);
    EXPECT_EQ(ui.questions, std::vector<std::string>{kSaveBeforeProceedingText});
  }
  ui.saveAnswers = {dir / "closing.kv"};
  EXPECT_TRUE(commands.CloseQuery());
  EXPECT_FALSE(data.DataModified.load());
  EXPECT_EQ(commands.SaveFileName(), dir / "closing.kv");
}

TEST_F(MainCommandsTest, YesThenCancelInTheSaveDialogCancelsTheCommandAndKeepsTheCapture) {
  const std::string other = dir / "other.kv";
  Capture();
  ASSERT_TRUE(WriteProjectFile(other, data, view, data.CaptureStart, data.CaptureEnd).ok);
  struct Case {
    const char* what;
    std::function<bool()> run;  // true when the command went ahead
  } cases[] = {
      {"close", [&] { return commands.CloseQuery(); }},
      {"new capture", [&] {
         commands.CaptureClick();
         return data.Capturing.load() != 0;
       }},
      {"open", [&] {
         ui.openAnswers = {other};
         commands.OpenClick();
         return ui.loads > 0;
       }},
      {"drop", [&] {
         commands.OpenDropped(other);
         return ui.loads > 0;
       }},
  };
  for (const Case& c : cases) {
    Capture();  // two events, unsaved
    ui.answerYes = true;
    ui.saveAnswers = {std::nullopt};  // Escape in the save dialog
    ui.questions.clear();
    ui.loads = ui.releases = 0;
    EXPECT_FALSE(c.run()) << c.what;
    EXPECT_EQ(ui.questions.size(), 1u) << c.what;
    EXPECT_TRUE(ui.saveAnswers.empty()) << c.what;  // the dialog was shown
    EXPECT_EQ(ui.releases, 0) << c.what;             // the journal stays
    EXPECT_TRUE(data.DataModified.load()) << c.what;
    EXPECT_FALSE(data.Capturing.load()) << c.what;
    EXPECT_EQ(data.Store.Count(), 2u) << c.what;
  }
  // No gives the capture up deliberately: released, and the command goes on.
  ui.answerYes = false;
  EXPECT_TRUE(commands.CloseQuery());
  EXPECT_GE(ui.releases, 1);
}

TEST_F(MainCommandsTest, AFailedSaveKeepsTheCaptureAndTheWindow) {
  Capture();
  ui.answerYes = true;
  ui.saveAnswers = {dir / "missing-folder/x.kv", dir / "missing-folder/x.kv"};
  EXPECT_FALSE(commands.CloseQuery());
  ASSERT_EQ(ui.warnings.size(), 1u);
  EXPECT_NE(ui.warnings[0].find("missing-folder/x.kv"), std::string::npos);
  // Nor does a new capture replace it.
  commands.CaptureClick();
  EXPECT_FALSE(data.Capturing.load());
  EXPECT_EQ(data.Store.Count(), 2u);
  EXPECT_TRUE(data.DataModified.load());
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(MainCommandsTest, OpenClosesAnalysisWindowsPromptsAndLoads) {
  Capture();
  ui.saveAnswers = {dir / "first.kv"};
  ui.answerYes = true;
  ASSERT_EQ(commands.SaveClick(), SaveOutcome::Saved);
  Capture();  // two more events, unsaved
  ui.answerYes = false;
  ui.openAnswers = {std::nullopt};
  commands.OpenClick();  // cancelled: nothing changes
  EXPECT_EQ(ui.analysisClosed, 1);
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(data.Store.Count(), 2u);
  EXPECT_TRUE(data.DataModified.load());
  EXPECT_EQ(ui.loads, 0);

  ui.openAnswers = {dir / "first.kv"};
  commands.OpenClick();
  EXPECT_EQ(ui.loads, 1);
  EXPECT_EQ(data.Store.Count(), 2u);
  EXPECT_FALSE(data.DataModified.load());
  // A later save proposes the project opened.
  ui.saveAnswers = {std::nullopt};
  EXPECT_EQ(commands.SaveClick(), SaveOutcome::Cancelled);
  EXPECT_EQ(ui.proposedNames.back(), dir / "first.kv");
}

TEST_F(MainCommandsTest, ADumpNamedLikeAProjectIsNotProposedForSaving) {
  testing_support::WriteBytes(dir / "run.kv.vcd", "$var wire 1 ! a $end $enddefinitions $end #0 1! #5 0!\n");
  ASSERT_TRUE(commands.LoadFile(dir / "run.kv.vcd"));
  ui.saveAnswers = {std::nullopt};
  EXPECT_EQ(commands.SaveClick(), SaveOutcome::Cancelled);
  EXPECT_EQ(ui.proposedNames.back(), "");
}

TEST_F(MainCommandsTest, LoadErrorsAreShownAndChangeNothing) {
  Capture();
  EXPECT_FALSE(commands.LoadFile(dir / "absent.kv"));
  testing_support::WriteBytes(dir / "bad.001", "D011325\r\nH0000000\r\n");  // month 13
  EXPECT_FALSE(commands.LoadFile(dir / "bad.001"));
  ASSERT_EQ(ui.warnings.size(), 2u);
  EXPECT_NE(ui.warnings[0].find("absent.kv"), std::string::npos);
  EXPECT_NE(ui.warnings[1].find("bad.001"), std::string::npos);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(MainCommandsTest, PropertiesAcceptedUnchangedStillRestartsTheLink) {
  link.LinkState = LinkStep::Connected;
  ui.acceptProperties = false;
  EXPECT_FALSE(commands.PropertiesClick());
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  EXPECT_EQ(ui.settingsApplied, 0);

  const LoggerSettings before = settings;
  ui.acceptProperties = true;
  EXPECT_TRUE(commands.PropertiesClick());
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_EQ(ui.settingsApplied, 1);
  EXPECT_TRUE(settings == before);

  LoggerSettings changed = settings;
  changed.Debounce = 12;
  ui.propertiesResult = changed;
  EXPECT_TRUE(commands.PropertiesClick());
  EXPECT_EQ(settings.Debounce, 12);
}

TEST_F(MainCommandsTest, SaveSelectionWritesTheSelectionOnly) {
  Capture();
  PositionSnapshot from = data.CaptureStart, to = data.CaptureEnd;
  from.index = 1;
  ui.saveAnswers = {dir / "sel.kv"};
  ASSERT_EQ(commands.SaveSelectionClick(from, to), SaveOutcome::Saved);
  CaptureData loaded(clock);
  CaptureView loadedView;
  NullLoadSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(dir / "sel.kv", loaded, loadedView, sinks).ok);
  EXPECT_EQ(loaded.Store.Count(), 1u);
  // The capture itself is still unsaved: closing asks, and its journal stays.
  EXPECT_TRUE(data.DataModified.load());
  EXPECT_EQ(ui.releases, 0);
  EXPECT_TRUE(commands.CloseQuery());
  EXPECT_EQ(ui.questions, std::vector<std::string>{kSaveBeforeProceedingText});
}

TEST_F(MainCommandsTest, DumpWritesOnlyWithEvents) {
  EXPECT_TRUE(commands.DumpClick(dir / "Korvalog.dmp"));
  EXPECT_FALSE(std::filesystem::exists(dir / "Korvalog.dmp"));
  Capture();
  EXPECT_TRUE(commands.DumpClick(dir / "Korvalog.dmp"));
  EXPECT_EQ(testing_support::ReadBytes(dir / "Korvalog.dmp").substr(0, 5), "03\t1\t");
  EXPECT_FALSE(commands.DumpClick(dir / "no-such-folder/Korvalog.dmp"));
  EXPECT_EQ(ui.warnings.size(), 1u);
}

TEST(FileErrorMarkup, BackslashesCannotBeShown) {
  EXPECT_EQ(FileErrorMarkup("C:\\logs\\a.kv: cannot open"), "C:/logs/a.kv: cannot open");
}

}  // namespace
}  // namespace korvalog
