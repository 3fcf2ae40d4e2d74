// The main window's part in a capture's life: the session configured when a
// capture starts, a continuous capture's parts finished when it stops, and
// the session's notes shown in the status bar or a message box.
#include "app/qt/main_form.h"
#include "app/qt/status_panels.h"
#include "chart/qt/chart_panel.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

QString Text(std::string_view s) { return KitText(s); }

}  // namespace

void TMainForm::CaptureStarted() {
  lastPart_.clear();
  chart_->CaptureStarted();
  ConfigureSession();
  std::string error;
  if (!session_->CaptureStarted(error)) {
    ShowWarning(FileErrorMarkup("The capture runs without its journal: " + error));
  }
}

// Before the first record is taken: what a full store does for this capture.
void TMainForm::ConfigureSession() {
  SessionOptions options;
  const FullStoreChoice& choice = settings_.WhenFull;
  if (choice.goOn) {
    options.rotate = true;
    options.out = choice.folder;
    options.maxFiles = choice.keep;
  }
  session_->Configure(options);
  partsRunning_ = session_->Rotating();
  if (!partsRunning_) return;
  const std::string problem = session_->PartsFolderProblem();
  if (problem.empty()) return;
  session_->Configure(SessionOptions{});
  partsRunning_ = false;
  ShowWarning(FileErrorMarkup("The capture stops when the store is full: " + problem));
}

void TMainForm::CaptureStopped() {
  chart_->CaptureStopped();
  if (partsRunning_) {
    FinishParts();
  } else {
    session_->CaptureStopped();
  }
}

// A continuous capture ends as the tool's does: its last part is saved in
// the folder too, and the status bar says where the parts went.
void TMainForm::FinishParts() {
  partsRunning_ = false;
  finishing_ = true;
  finishProblems_.clear();
  session_->Finish([] { return kSessionWritten; });
  finishing_ = false;
  const SessionSummary& summary = session_->Summary();
  // Every part is in a file: nothing is left to save here.
  if (summary.journals.empty() && !summary.written.empty()) data_.DataModified.store(0);
  if (!summary.written.empty()) lastPart_ = summary.written.back();
  ShowStatusNote(Text(SummaryText(summary, session_->Options().out)));
  if (!finishProblems_.empty()) ShowWarning(finishProblems_);
  RefreshCaption();
}

void TMainForm::Note(NoteKind kind, const std::string& line) {
  if (kind == NoteKind::News) {
    ShowStatusNote(Text(line));
  } else if (finishing_) {
    finishProblems_ += (finishProblems_.empty() ? "" : "\\n") + FileErrorMarkup(line);
  } else {
    // Told once the timer's work is done: the box's own event loop must not
    // run the next tick inside this one.
    QMetaObject::invokeMethod(
        this, [this, markup = FileErrorMarkup(line)] { ShowWarning(markup); }, Qt::QueuedConnection);
  }
}

void TMainForm::CaptureReleased() { session_->Journal().Release(); }

}  // namespace korvalog
