#include "app/qt/main_form.h"
#include "app/qt/report_windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include "app/qt/about_form.h"
#include "app/qt/app_glyphs.h"
#include "app/qt/notes_form.h"
#include "app/qt/status_panels.h"
#include "app/settings_status.h"
#include "app/window_caption.h"
#include "chart/qt/chart_panel.h"
#include "project/dump_file.h"
#include "project/qt/export_dialog.h"
#include "settings/qt/properties_form.h"
#include "settings/qt/stored_settings.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/message_box.h"

namespace korvalog {
namespace {

constexpr char kHelpFileName[] = "Korvalog.pdf";
constexpr char kGeometryKey[] = "Window/Geometry";
constexpr int kStatusNoteMs = 10000;

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

TMainForm::TMainForm(MainFormContext context)
    : data_(context.data),
      view_(context.view),
      settings_(context.settings),
      usb_(context.usb),
      clock_(context.clock),
      markup_(context.markup),
      demo_(context.demo),
      loadPath_(std::move(context.loadPath)),
      openUrl_([](const QString& url) { QDesktopServices::openUrl(QUrl(url)); }) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Korvalog"));
  setWindowIcon(AppIcon());
  setFont(KitFont());
  setMinimumWidth(kMinWidth);
  setAcceptDrops(true);

  // FormCreate: settings, link, status text, chart, dialogs' folder.
  LoadStoredSettings(settings_);
  if (demo_) settings_.LoggerType.store(kLoggerUsb);  // the demonstration logger is a USB one
  data_.Capturing.store(0);
  session_ = std::make_unique<CaptureSession>(data_, view_, settings_, usb_, clock_, files_,
                                            static_cast<SessionNotes&>(*this));
  if (context.journalFolder) session_->Journal().UseFolder(*context.journalFolder);
  link_ = &session_->Link();
  link_->LinkState = LinkStep::Searching;
  link_->OpenSerialLink();
  commands_ = std::make_unique<MainCommands>(data_, view_, settings_, *link_, *this);

  BuildToolbar();
  setMinimumWidth(std::max(kMinWidth, MinimumToolbarWidth()));
  // The chart's Sequencer button is wired to the Sequencer window when the
  // side windows are hung on the chart.
  chart_ = new ChartPanel(data_, view_, settings_, this);
  chart_->setObjectName(QStringLiteral("Chart"));
  status_ = new TStatusPanels(this);
  ShowSettingsStatus();
  // The waveform under the pointer is read out where the settings are shown.
  connect(chart_, &ChartPanel::PointerReading, this, [this](const QString& text) {
    if (text.isEmpty()) {
      ShowSettingsStatus();
    } else {
      status_->SetPanelText(2, text);
    }
  });
  BuildShortcuts();
  openDir_ = QDir::currentPath();

  data_.AddObserver(this);
  // A capture stopped by a full store is announced at once, not a tick later.
  data_.SetStopWake([this] {
    QMetaObject::invokeMethod(this, [this] { data_.DeliverPendingNotifications(); }, Qt::QueuedConnection);
  });
  resize(kClientWidth, kClientHeight);
  RestoreGeometry();
  noteTimer_.setSingleShot(true);
  noteTimer_.setInterval(kStatusNoteMs);
  connect(&noteTimer_, &QTimer::timeout, this, &TMainForm::ShowSettingsStatus);
  timer_.setInterval(LinkSupervisor::kTimerIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &TMainForm::TimerTimer);
  timer_.start();
}

TMainForm::~TMainForm() {
  // FormDestroy: the settings are stored (not the demonstration's), the
  // serial link ends.
  timer_.stop();
  data_.SetStopWake({});
  data_.RemoveObserver(this);
  if (!demo_) StoreSettings(settings_);
  link_ = nullptr;
  session_.reset();
}

void TMainForm::RestoreGeometry() {
  QSettings store(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
  const QByteArray geometry = store.value(QString::fromLatin1(kGeometryKey)).toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void TMainForm::StoreGeometry() {
  QSettings store(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
  store.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
}

void TMainForm::ShowSettingsStatus() {
  noteTimer_.stop();
  status_->SetPanelText(2, Text(demo_ ? DemoSettingsStatusText(settings_) : SettingsStatusText(settings_)));
}

void TMainForm::ShowStatusNote(const QString& text) {
  status_->SetPanelText(2, text);
  noteTimer_.start();
}

void TMainForm::RefreshCaption() {
  if (!shown_) return;  // "Korvalog" until the window first shows
  const QString caption = Text(WindowCaption(commands_->DocumentPath(), data_.DataModified.load() != 0));
  if (windowTitle() != caption) setWindowTitle(caption);
}

void TMainForm::TimerTimer() {
  data_.DeliverPendingNotifications();
  RefreshCaption();
  const LinkView& view = link_->tick();
  if (bCapture->Down() != view.capturePressed) bCapture->SetDown(view.capturePressed);
  if (bCapture->isEnabled() != view.captureEnabled) bCapture->setEnabled(view.captureEnabled);
  // The supervisor has taken the changed-inputs flag: the grid's state
  // column is repainted here.
  if (view.repaintGrid) chart_->Grid()->update();
  chart_->Tick();
  session_->Tick();
  std::string problem;
  if (session_->TakeProblem(problem)) {
    ShowWarning(FileErrorMarkup("The capture's journal stopped: " + problem));
  }
  if (view.statusRefreshed) ShowLinkStatus(view);
  // A capture that lost its logger says so beside the link status until it
  // ends: when, after how many events, and when the logger was back.
  if ((view.statusRefreshed || view.linkNoteChanged) && !view.linkNote.empty()) {
    status_->SetPanelText(1, Text(view.loggerText + " - " + view.linkNote));
  }
}

void TMainForm::ShowLinkStatus(const LinkView& view) {
  status_->SetPanelText(0, Text(view.clockText));
  status_->SetPanelText(1, Text(view.loggerText));
  const QString capStat = Text(view.capStatText);
  if (capStatText_ != capStat) {
    capStatText_ = capStat;
    ShowCapStat();
  }
}

void TMainForm::CaptureStarted() {
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

void TMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RefreshCaption();
  startupLoadDone_ = !loadPath_;
  if (!loadPath_) return;
  // Loaded as soon as the window is on the screen, before any input is
  // handled, so that a message about the file has the window behind it.
  QMetaObject::invokeMethod(this, [this] { StartupLoad(); }, Qt::QueuedConnection);
}

void TMainForm::StartupLoad() {
  // Only a capture restored from its journal can be unsaved here.
  if (commands_->PromptSaveIfModified()) {
    commands_->LoadFile(*loadPath_);
    // Laid out now, so the next painting shows the capture.
    chart_->Tick();
  }
  RefreshCaption();
  startupLoadDone_ = true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!commands_->CloseQuery()) {
    event->ignore();
    return;
  }
  StoreGeometry();
  for (QWidget* w : {static_cast<QWidget*>(side_.about), side_.sequencer, static_cast<QWidget*>(side_.notes),
                     side_.statistics}) {
    if (w) w->hide();
  }
  event->accept();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutToolbar();
  const int statusTop = height() - TStatusPanels::kHeight;
  chart_->setGeometry(0, kToolbarHeight, width(), std::max(0, statusTop - kToolbarHeight));
  status_->setGeometry(0, statusTop, width(), TStatusPanels::kHeight);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() == 1 && urls.front().isLocalFile()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return;
  event->acceptProposedAction();
  const std::string path = KitBytes(urls.front().toLocalFile());
  // Opened after the drop has finished, so the dialogs it may show are not
  // inside the drag.
  QMetaObject::invokeMethod(
      this,
      [this, path] {
        commands_->OpenDropped(path);
        RefreshCaption();
      },
      Qt::QueuedConnection);
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
  w->show();
}

void TMainForm::bSequencerClick() {
  chart_->SetStripMode(1);
  chart_->RunStripPass();
  if (!side_.sequencer) return;
  side_.sequencer->show();
  side_.sequencer->raise();
}

void TMainForm::mHelpClick() {
  // A missing help file or viewer shows nothing.
  const QString help = FindHelpFile();
  if (!help.isEmpty()) openUrl_(QUrl::fromLocalFile(help).toString());
}

void TMainForm::mAboutClick() {
  if (side_.about) side_.about->ShowAbout();
}

// MainWindowUi.

void TMainForm::ShowWarning(std::string_view markup) { MessageWarning(markup, markup_); }
bool TMainForm::AskQuestion(std::string_view markup) { return MessageQuestion(markup, markup_); }

std::optional<std::string> TMainForm::ChooseOpenFile() {
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
