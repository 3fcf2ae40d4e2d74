// The main window itself: made and torn down, laid out, its caption and
// status bar, the timer's tick, its start-up load, drops and closing.
#include "app/qt/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
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
#include "settings/qt/stored_settings.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {
namespace {

constexpr char kGeometryKey[] = "Window/Geometry";
constexpr char kFrameKey[] = "Window/Frame";  // the frame's corner, the client's size
constexpr char kFrameMarginsKey[] = "Window/FrameMargins";  // its title bar and borders
constexpr int kStatusNoteMs = 10000;

QString Text(std::string_view s) { return KitText(s); }

}  // namespace

TMainForm::TMainForm(MainFormContext context)
    : data_(context.data),
      view_(context.view),
      settings_(context.settings),
      usb_(context.usb),
      clock_(context.clock),
      markup_(context.markup),
      demo_(context.demo),
      loadPath_(std::move(context.loadPath)),
      openUrl_([this](const QString& url, std::function<void()> failed) {
        OpenWithDesktop(this, url, std::move(failed));
      }) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Korvalog"));
  setWindowIcon(AppIcon());
  setFont(KitFont());
  SameLookWhenInactive(*this);
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

// The frame's corner and the client's size are kept: a window's geometry
// with the title bar counted once on storing and again on restoring moved
// the window down at every start. The older whole-geometry key is read when
// the new one is not there yet.
void TMainForm::RestoreGeometry() {
  QSettings store(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
  const QRect frame = store.value(QString::fromLatin1(kFrameKey)).toRect();
  const QVariantList margins = store.value(QString::fromLatin1(kFrameMarginsKey)).toList();
  if (margins.size() == 4) {
    SetLastFrame(*this, QMargins(margins[0].toInt(), margins[1].toInt(), margins[2].toInt(), margins[3].toInt()));
  }
  if (frame.isValid()) {
    resize(frame.size());
    move(frame.topLeft());
  } else {
    const QByteArray geometry = store.value(QString::fromLatin1(kGeometryKey)).toByteArray();
    if (!geometry.isEmpty()) restoreGeometry(geometry);
  }
  // Wholly on a screen, even one smaller (or scaled up) since.
  FitOnScreen(*this);
}

void TMainForm::StoreGeometry() {
  QSettings store(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
  store.setValue(QString::fromLatin1(kFrameKey), QRect(frameGeometry().topLeft(), size()));
  const QMargins m = KnownFrame(*this);
  if (!m.isNull()) store.setValue(QString::fromLatin1(kFrameMarginsKey), QVariantList{m.left(), m.top(), m.right(), m.bottom()});
  store.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());  // for older copies
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
  // After a continuous capture the chart shows its last part.
  const std::string& path = commands_->DocumentPath();
  const QString caption =
      Text(WindowCaption(path.empty() ? lastPart_ : path, data_.DataModified.load() != 0));
  if (windowTitle() != caption) setWindowTitle(caption);
}

void TMainForm::TimerTimer() {
  // The USB loggers are first listed here, a quarter of a second after the
  // start, once the window and the file given to it are shown.
  if (!usbListed_) {
    usbListed_ = true;
    usb_.ScanHidDevices();
  }
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

}  // namespace korvalog
