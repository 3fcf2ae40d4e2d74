#pragma once
// The main window: toolbar, chart, status bar and the 250 ms timer that
// drives the logger link. It draws and forwards; the commands with their
// guards and prompts are MainCommands', the link's work LinkSupervisor's.
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/main_commands.h"
#include "app/session_files.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "session/capture_session.h"
#include "session/link_supervisor.h"
#include "transport/usb_loggers.h"
#include "ui/markup_style.h"

class QLabel;
class QMenu;
class QAction;

namespace korvalog {

class ChartPanel;
class TAboutForm;
class TBtnTransparent;
class TNotesForm;
class TPropertiesForm;
class TPublishDialog;
class TStatusPanels;
class ReportWindows;

// The windows made after the main window and kept for the whole run.
struct SideWindows {
  TPropertiesForm* properties = nullptr;
  TAboutForm* about = nullptr;
  QWidget* sequencer = nullptr;
  TNotesForm* notes = nullptr;
  QWidget* statistics = nullptr;
  ReportWindows* report = nullptr;  // channel roles and the lift report
};

// How the program was started and what it works with; one instance each,
// made in main and passed by reference.
struct MainFormContext {
  CaptureData& data;
  CaptureView& view;
  LoggerSettings& settings;
  UsbLoggers& usb;
  const Clock& clock;
  MarkupStyle& markup;
  bool demo = false;                      // the built-in demonstration logger
  // The folder of the capture's journals (beside the settings); none: the
  // captures keep no journal.
  const std::string* journalFolder = nullptr;
  std::optional<std::string> loadPath;    // loaded at the first showing
};

class TMainForm : public QWidget, public MainWindowUi, private CaptureObserver, private SessionNotes {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 569;
  static constexpr int kClientHeight = 523;
  // What the toolbar needs with its right-hand group given way (Statistics
  // shows its glyph only) and the longest status text in full.
  static constexpr int kMinWidth = 555;
  static constexpr int kToolbarHeight = 33;

  // Opens a file or folder with the desktop's program for it; `failed` runs
  // (later, on this thread) when none could be started.
  using OpenUrlFn = std::function<void(const QString& url, std::function<void()> failed)>;

  explicit TMainForm(MainFormContext context);  // FormCreate
  ~TMainForm() override;                        // FormDestroy

  void AttachSideWindows(const SideWindows& windows) { side_ = windows; }
  // The file named on the command line has been loaded (or there was none).
  bool StartupLoadDone() const { return startupLoadDone_; }
  // The desktop's "open" for the help file and its folder; replaceable for tests.
  void SetOpenUrl(OpenUrlFn openUrl) { openUrl_ = std::move(openUrl); }

  MainCommands& Commands() { return *commands_; }
  LinkSupervisor& Link() { return *link_; }
  // The capture from start to end: link, journal, continuous capture.
  CaptureSession& Session() { return *session_; }
  ChartPanel& Chart() { return *chart_; }
  TStatusPanels& Status() { return *status_; }
  QTimer& Timer() { return timer_; }

  // The timer's work: link supervisor, capture button, chart layout, status.
  void TimerTimer();
  void ShowSettingsStatus();
  // "KORVALOG - name", "*" when modified; follows every tick and command.
  void RefreshCaption();
  // A note in the settings panel for a while (then the settings again).
  void ShowStatusNote(const QString& text);

  // The commands of the toolbar, menu and keys.
  void bCaptureClick();
  void bOpenClick();
  void bSaveClick();
  void bSaveSelClick();
  // The capture or the selection for other tools and reports (Export dialog).
  void bExportClick();
  void bPropertiesClick();
  void bStatisticsClick();
  void bRolesClick();
  void bReportClick();
  void bHelpClick();
  void mHelpClick();
  void mAboutClick();
  void bSequencerClick();
  void bDumpClick();
  // Publish…: the open capture into the fleet store Properties names.
  void mPublishClick();

  TBtnTransparent* bCapture = nullptr;
  QLabel* lCapStat = nullptr;
  TBtnTransparent* bDump = nullptr;
  TBtnTransparent* bOpen = nullptr;
  TBtnTransparent* bSave = nullptr;
  TBtnTransparent* bSaveSel = nullptr;
  TBtnTransparent* bExport = nullptr;
  TBtnTransparent* bProperties = nullptr;
  TBtnTransparent* bStatistics = nullptr;
  TBtnTransparent* bRoles = nullptr;
  TBtnTransparent* bReport = nullptr;
  TBtnTransparent* bHelp = nullptr;
  QMenu* pmHelp = nullptr;
  QAction* mHelp = nullptr;
  QAction* mAbout = nullptr;
  QAction* mPublish = nullptr;
  TPublishDialog* publishDialog = nullptr;  // made at the first Publish

  // MainWindowUi
  void ShowWarning(std::string_view markup) override;
  bool AskQuestion(std::string_view markup) override;
  std::optional<std::string> ChooseOpenFile() override;
  std::optional<std::string> ChooseSaveFile(const std::string& proposed) override;
  bool EditSettings(LoggerSettings& settings) override;
  void CloseAnalysisWindows() override;
  void SetBusy(bool busy) override;
  void SettingsApplied() override;
  void CaptureReleased() override;
  // LoadSinks
  void Warning(std::string_view text) override;
  void LogImportStarted() override;
  void LogNotes(const std::string& notesText) override;
  void DataLoaded(bool hasEvents) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CaptureStarted() override;
  void CaptureStopped() override;
  // SessionNotes: news in the status bar, problems in a message box
  // (those of a capture's end in one).
  void Note(NoteKind kind, const std::string& line) override;
  void ConfigureSession();
  void FinishParts();
  void StartupLoad();
  void BuildToolbar();
  void BuildShortcuts();
  void LayoutToolbar();
  int MinimumToolbarWidth() const;
  void ShowCapStat();
  void ShowLinkStatus(const LinkView& view);
  void HelpNotShown(const QString& help);
  void RestoreGeometry();
  void StoreGeometry();

  CaptureData& data_;
  CaptureView& view_;
  LoggerSettings& settings_;
  UsbLoggers& usb_;
  const Clock& clock_;
  MarkupStyle& markup_;
  const bool demo_;
  std::optional<std::string> loadPath_;
  ProjectSessionFiles files_;
  std::unique_ptr<CaptureSession> session_;
  LinkSupervisor* link_ = nullptr;  // the session's
  bool partsRunning_ = false;       // a continuous capture runs
  std::string lastPart_;            // the file a continuous capture's shown part went to
  bool finishing_ = false;          // its problems are gathered
  std::string finishProblems_;
  std::unique_ptr<MainCommands> commands_;
  SideWindows side_;
  OpenUrlFn openUrl_;
  QWidget* pToolbar_ = nullptr;
  ChartPanel* chart_ = nullptr;
  TStatusPanels* status_ = nullptr;
  QTimer timer_;
  QTimer noteTimer_;  // puts the settings text back after a note
  QString openDir_;
  QString capStatText_;  // the status label's whole text
  bool shown_ = false;
  bool usbListed_ = false;  // the USB loggers listed once, at the first tick
  bool startupLoadDone_ = false;
  int busy_ = 0;
};

// Where the help file "Korvalog.pdf" is: the current folder first, then the
// program's own folder (where the build puts it), then share/doc/korvalog
// beside an installed program's bin folder; empty when it is in none.
QString FindHelpFile();

// The desktop's "open" (xdg-open on Linux), its failure told through
// `failed` while `context` lives: the desktop's own error went to a
// terminal nobody sees.
void OpenWithDesktop(QObject* context, const QString& url, std::function<void()> failed);

}  // namespace korvalog
