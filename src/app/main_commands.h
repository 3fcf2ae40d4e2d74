#pragma once
// The main window's commands with their guards and prompts, free of any
// toolkit: the window hands them its dialogs and message boxes through
// MainWindowUi and only forwards its buttons, keys and drops here.
#include <optional>
#include <string>
#include <string_view>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/records.h"
#include "project/load_sinks.h"
#include "session/link_supervisor.h"

namespace korvalog {

inline constexpr char kCaptureInProgressText[] =
    "\\1\\b\\|Capture in progress.\\b\\[\\n\\nEnd Capture before proceeding";
inline constexpr char kSaveBeforeProceedingText[] = "\\bSave Data before proceeding?";

// What the commands need from the window. The load's own notifications
// (warnings, the "Inputs & Notes" text, DataLoaded) arrive through LoadSinks.
class MainWindowUi : public LoadSinks {
 public:
  // The program's message box: a warning with "OK", a question with "Yes,No"
  // (true for Yes).
  virtual void ShowWarning(std::string_view markup) = 0;
  virtual bool AskQuestion(std::string_view markup) = 0;
  // The file dialogs; nothing when the user cancelled. The save dialog asks
  // before replacing a file and proposes `proposed` when it is not empty.
  virtual std::optional<std::string> ChooseOpenFile() = 0;
  virtual std::optional<std::string> ChooseSaveFile(const std::string& proposed) = 0;
  // The Properties dialog: true on OK (the record then holds the controls),
  // false and the record untouched otherwise.
  virtual bool EditSettings(LoggerSettings& settings) = 0;
  // Open hides the Sequencer and Statistics windows before it loads.
  virtual void CloseAnalysisWindows() = 0;
  virtual void SetBusy(bool busy) = 0;
  // After Properties was accepted and the link restarted: refresh the
  // settings text and lay the chart out again.
  virtual void SettingsApplied() = 0;
  // The capture was saved whole or deliberately given up (No at the save
  // question, or the window closing): its journal may go.
  virtual void CaptureReleased() {}
};

enum class SaveOutcome { Saved, Cancelled, Failed };

class MainCommands {
 public:
  MainCommands(CaptureData& data, CaptureView& view, LoggerSettings& settings, LinkSupervisor& link, MainWindowUi& ui);

  // True when no capture runs; otherwise the "Capture in progress." warning.
  bool CaptureGuard();
  // With unsaved data, asks whether to save and saves the whole capture on
  // Yes. False when Yes did not end in a saved file (the save dialog was
  // cancelled or the save failed): the caller then stops, so a capture the
  // user meant to keep is not thrown away.
  bool PromptSaveIfModified();

  // bCapture: starts a capture (after the save prompt) or stops the running one.
  void CaptureClick();
  // bOpen: guard, close the analysis windows, prompt, open dialog, load.
  void OpenClick();
  // A file dropped on the window: as Open without the dialog.
  void OpenDropped(const std::string& path);
  // Loads at once (the command-line file): busy cursor, errors shown.
  bool LoadFile(const std::string& path);
  // bSave and bSaveSel.
  SaveOutcome SaveClick();
  SaveOutcome SaveSelectionClick(const PositionSnapshot& from, const PositionSnapshot& to);
  // bProperties: true when the dialog was accepted and the link restarted.
  bool PropertiesClick();
  // The window may close: no capture runs, and unsaved data was offered for saving.
  bool CloseQuery();
  // bDump: the events as text lines in `path`; nothing with an empty store.
  bool DumpClick(const std::string& path);

  // The project a later Save proposes: the last one opened or saved.
  const std::string& SaveFileName() const { return saveFileName_; }
  // The file the window shows (the last one loaded, or where the whole
  // capture was saved); empty for a new capture.
  const std::string& DocumentPath() const { return documentPath_; }

 private:
  SaveOutcome SaveProject(const PositionSnapshot& from, const PositionSnapshot& to);
  SaveOutcome SaveWhole();
  void ShowFileError(const std::string& line);
  void OpenPath(const std::optional<std::string>& path);

  CaptureData& data_;
  CaptureView& view_;
  LoggerSettings& settings_;
  LinkSupervisor& link_;
  MainWindowUi& ui_;
  std::string saveFileName_;
  std::string documentPath_;
};

// A file error as one line of the message box: the mark-up's escape
// character cannot be shown, so a backslash in a path becomes a slash.
std::string FileErrorMarkup(std::string_view line);

}  // namespace korvalog
