// The main window's commands (toolbar, menu and keys) and the dialogs and
// boxes the commands ask it for (MainWindowUi, LoadSinks).
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "app/qt/about_form.h"
#include "app/qt/main_form.h"
#include "app/qt/notes_form.h"
#include "app/qt/report_windows.h"
#include "app/window_caption.h"
#include "chart/qt/chart_panel.h"
#include "project/dump_file.h"
#include "project/qt/export_dialog.h"
#include "settings/qt/properties_form.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/message_box.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {
namespace {

constexpr char kHelpFileName[] = "Korvalog.pdf";

QString Text(std::string_view s) { return KitText(s); }

}  // namespace

QString FindHelpFile() {
  // An installed program keeps its guide with the other documentation.
  const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/korvalog");
  for (const QString& folder : {QDir::currentPath(), QCoreApplication::applicationDirPath(), installed}) {
    const QFileInfo file(QDir(folder), QString::fromLatin1(kHelpFileName));
    if (file.isFile()) return file.absoluteFilePath();
  }
  return {};
}

// Commands.

void TMainForm::bCaptureClick() {
  commands_->CaptureClick();
  bCapture->SetDown(data_.Capturing.load() != 0);
  RefreshCaption();
}

void TMainForm::bOpenClick() {
  commands_->OpenClick();
  RefreshCaption();
}
void TMainForm::bSaveClick() {
  commands_->SaveClick();
  RefreshCaption();
}
void TMainForm::bSaveSelClick() {
  commands_->SaveSelectionClick(chart_->SelectionStart(), chart_->SelectionEnd());
  RefreshCaption();
}
void TMainForm::bExportClick() {
  // A running capture is still growing: it is exported once it has stopped.
  if (!commands_->CaptureGuard()) return;
  const FocusBack back;
  ExportDialog dialog(data_, view_, settings_, chart_->SelectionStart(), chart_->SelectionEnd(), this);
  dialog.setObjectName(QStringLiteral("ExportDialog"));
  ExportChoices proposed;
  proposed.path = ExportNameFor(commands_->SaveFileName(), proposed.format);
  dialog.SetChoices(proposed);
  dialog.exec();
}
void TMainForm::bPropertiesClick() { commands_->PropertiesClick(); }
void TMainForm::bDumpClick() {
  const uint32_t events = data_.Store.Count();
  if (!commands_->DumpClick(kDumpFileName)) return;
  ShowStatusNote(Text(DumpStatusText(KitBytes(QFileInfo(QString::fromLatin1(kDumpFileName)).absoluteFilePath()), events)));
}

void TMainForm::bRolesClick() {
  if (side_.report) side_.report->ShowRoles();
}

void TMainForm::bReportClick() {
  if (side_.report) side_.report->ShowReport();
}

void TMainForm::bStatisticsClick() {
  QWidget* w = side_.statistics;
  if (!w) return;
  if (auto* dialog = qobject_cast<QDialog*>(w)) {
    dialog->exec();
    return;
  }
  w->setWindowModality(Qt::ApplicationModal);
  FitOnScreen(*w, this);
  w->show();
}

void TMainForm::bSequencerClick() {
  chart_->SetStripMode(1);
  chart_->RunStripPass();
  if (!side_.sequencer) return;
  if (!side_.sequencer->isVisible()) FitOnScreen(*side_.sequencer, this);
  side_.sequencer->show();
  side_.sequencer->raise();
}

void TMainForm::mHelpClick() {
  const QString help = FindHelpFile();
  if (help.isEmpty()) {
    ShowWarning(std::string("The user guide ") + kHelpFileName +
                " is not in the current folder, the program's folder or share/doc/korvalog beside it.");
    return;
  }
  openUrl_(QUrl::fromLocalFile(help).toString(), [this, help] { HelpNotShown(help); });
}

// No program for PDF files: where the guide is, and its folder opened on
// request (a file manager is there more often than a PDF viewer).
void TMainForm::HelpNotShown(const QString& help) {
  const QString folder = QFileInfo(help).absolutePath();
  // Lines are broken by the markup's own "\\n"; only the path is made safe.
  if (!AskQuestion("No program to show PDF files could be started.\\nThe user guide is " +
                   FileErrorMarkup(KitBytes(help)) + "\\n\\nOpen its folder?")) {
    return;
  }
  openUrl_(QUrl::fromLocalFile(folder).toString(), [this, folder] {
    ShowWarning(FileErrorMarkup("The folder " + KitBytes(folder) + " could not be opened either."));
  });
}

void OpenWithDesktop(QObject* context, const QString& url, std::function<void()> failed) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  // Without a parent: a viewer that xdg-open waits for outlives the program.
  auto* process = new QProcess;
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, context, [process, failed](int code, QProcess::ExitStatus status) {
    process->deleteLater();
    if (status != QProcess::NormalExit || code != 0) failed();
  });
  QObject::connect(process, &QProcess::errorOccurred, context, [process, failed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    process->deleteLater();
    failed();
  });
  process->start(QStringLiteral("xdg-open"), {url});
#else
  (void)context;
  if (!QDesktopServices::openUrl(QUrl(url))) failed();
#endif
}

void TMainForm::mAboutClick() {
  if (side_.about) side_.about->ShowAbout();
}

// MainWindowUi.

void TMainForm::ShowWarning(std::string_view markup) { MessageWarning(markup, markup_); }
bool TMainForm::AskQuestion(std::string_view markup) { return MessageQuestion(markup, markup_); }

std::optional<std::string> TMainForm::ChooseOpenFile() {
  const FocusBack back;
  QFileDialog dialog(this, QStringLiteral("Open"), openDir_);
  dialog.setObjectName(QStringLiteral("OpenDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("kv"));
  dialog.setNameFilters({QStringLiteral("Korvalog project (*.kv)"), QStringLiteral("Varnolog logs (*.0?" "?)"),
                         QStringLiteral("Value change dump (*.vcd)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  openDir_ = dialog.directory().absolutePath();
  return KitBytes(dialog.selectedFiles().front());
}

std::optional<std::string> TMainForm::ChooseSaveFile(const std::string& proposed) {
  const FocusBack back;
  QFileDialog dialog(this, QStringLiteral("Save As"), openDir_);
  dialog.setObjectName(QStringLiteral("SaveDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("kv"));
  dialog.setNameFilter(QStringLiteral("Korvalog project (*.kv)"));
  if (!proposed.empty()) dialog.selectFile(Text(proposed));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  openDir_ = dialog.directory().absolutePath();
  return KitBytes(dialog.selectedFiles().front());
}

bool TMainForm::EditSettings(LoggerSettings& settings) {
  const FocusBack back;
  return side_.properties && side_.properties->EditSettings(settings);
}

void TMainForm::CloseAnalysisWindows() {
  if (side_.sequencer) side_.sequencer->close();
  if (side_.statistics) side_.statistics->close();
  if (side_.report) side_.report->Report()->close();
}

void TMainForm::SetBusy(bool busy) {
  if (busy) {
    if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busy_ > 0 && --busy_ == 0) {
    QApplication::restoreOverrideCursor();
  }
}

void TMainForm::SettingsApplied() {
  ShowSettingsStatus();
  chart_->MarkStale();
}

void TMainForm::Warning(std::string_view text) {
  // Shown over the busy cursor, which comes back afterwards.
  const int busy = busy_;
  while (busy_ > 0) SetBusy(false);
  MessageWarning(text, markup_);
  while (busy_ < busy) SetBusy(true);
}

void TMainForm::LogImportStarted() {
  if (side_.notes) side_.notes->ImportStarted();
  markup_.tabWidth = 16;  // the entry labels line up; it stays so afterwards
}

void TMainForm::LogNotes(const std::string& notesText) {
  if (side_.notes) side_.notes->ShowNotes(notesText, markup_);
}

void TMainForm::DataLoaded(bool) {
  chart_->DataLoaded();
  // "Captured: N events" shows with the loaded chart.
  ShowLinkStatus(link_->RefreshStatusNow());
}

}  // namespace korvalog
