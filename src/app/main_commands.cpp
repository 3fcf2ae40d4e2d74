#include "app/main_commands.h"

#include "project/dump_file.h"
#include "project/project_file.h"

namespace korvalog {

MainCommands::MainCommands(CaptureData& data, CaptureView& view, LoggerSettings& settings, LinkSupervisor& link,
                           MainWindowUi& ui)
    : data_(data), view_(view), settings_(settings), link_(link), ui_(ui) {}

bool MainCommands::CaptureGuard() {
  if (data_.Capturing.load() == 0) return true;
  ui_.ShowWarning(kCaptureInProgressText);
  return false;
}

bool MainCommands::PromptSaveIfModified() {
  if (data_.DataModified.load() == 0) return true;
  if (!ui_.AskQuestion(kSaveBeforeProceedingText)) {
    ui_.CaptureReleased();
    return true;
  }
  // Yes asked for a save: a cancelled save dialog cancels what was to follow.
  return SaveWhole() == SaveOutcome::Saved;
}

SaveOutcome MainCommands::SaveWhole() {
  const SaveOutcome outcome = SaveProject(data_.CaptureStart, data_.CaptureEnd);
  if (outcome == SaveOutcome::Saved) {
    documentPath_ = saveFileName_;
    ui_.CaptureReleased();
  }
  return outcome;
}

void MainCommands::CaptureClick() {
  const bool capturing = data_.Capturing.load() != 0;
  if (!capturing && !PromptSaveIfModified()) return;
  if (!capturing) documentPath_.clear();  // a new capture has no file yet
  data_.SetCapture(!capturing);
}

void MainCommands::OpenClick() {
  if (!CaptureGuard()) return;
  ui_.CloseAnalysisWindows();
  if (!PromptSaveIfModified()) return;
  OpenPath(ui_.ChooseOpenFile());
}

void MainCommands::OpenDropped(const std::string& path) {
  if (!CaptureGuard()) return;
  ui_.CloseAnalysisWindows();
  if (!PromptSaveIfModified()) return;
  OpenPath(path);
}

void MainCommands::OpenPath(const std::optional<std::string>& path) {
  if (path && !path->empty()) LoadFile(*path);
}

bool MainCommands::LoadFile(const std::string& path) {
  ui_.SetBusy(true);
  const FileResult result = LoadCaptureFile(path, data_, view_, ui_);
  ui_.SetBusy(false);
  if (result.ok) {
    documentPath_ = path;
  } else if (data_.DataPresent.load() == 0) {
    documentPath_.clear();  // the load had replaced what was there
  }
  if (!result.ok) {
    ShowFileError(result.error);
    return false;
  }
  // A dump whose name holds ".kv" was read as a dump: a save must not
  // propose writing a project under its name.
  if (ReopensAsProject(path)) saveFileName_ = path;
  return true;
}

SaveOutcome MainCommands::SaveClick() {
  if (!CaptureGuard()) return SaveOutcome::Cancelled;
  return SaveWhole();
}

SaveOutcome MainCommands::SaveSelectionClick(const PositionSnapshot& from, const PositionSnapshot& to) {
  if (!CaptureGuard()) return SaveOutcome::Cancelled;
  // The selection goes to a file of its own: the capture the window shows
  // is as unsaved as it was, and quitting must still offer to save it.
  const uint8_t modified = data_.DataModified.load(std::memory_order_acquire);
  const SaveOutcome outcome = SaveProject(from, to);
  data_.DataModified.store(modified, std::memory_order_release);
  return outcome;
}

SaveOutcome MainCommands::SaveProject(const PositionSnapshot& from, const PositionSnapshot& to) {
  const std::optional<std::string> path = ui_.ChooseSaveFile(saveFileName_);
  if (!path || path->empty()) return SaveOutcome::Cancelled;
  ui_.SetBusy(true);
  const FileResult result = WriteProjectFile(*path, data_, view_, from, to);
  ui_.SetBusy(false);
  if (!result.ok) {
    ShowFileError(result.error);
    return SaveOutcome::Failed;
  }
  saveFileName_ = *path;
  return SaveOutcome::Saved;
}

bool MainCommands::PropertiesClick() {
  if (!CaptureGuard()) return false;
  if (!ui_.EditSettings(settings_)) return false;
  // Even unchanged settings start the logger detection over.
  link_.RestartLink();
  ui_.SettingsApplied();
  return true;
}

bool MainCommands::CloseQuery() {
  if (!CaptureGuard()) return false;
  if (!PromptSaveIfModified()) return false;
  ui_.CaptureReleased();  // everything about the capture has been decided
  return true;
}

bool MainCommands::DumpClick(const std::string& path) {
  if (data_.Store.Count() == 0) return true;
  ui_.SetBusy(true);
  const FileResult result = WriteDumpFile(path, data_);
  ui_.SetBusy(false);
  if (!result.ok) ShowFileError(result.error);
  return result.ok;
}

void MainCommands::ShowFileError(const std::string& line) { ui_.ShowWarning(FileErrorMarkup(line)); }

std::string FileErrorMarkup(std::string_view line) {
  std::string text(line);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return text;
}

}  // namespace korvalog
