// The main window on the offscreen platform: start-up load, the guards and
// prompts with their message boxes answered here, Properties, the dialogs
// cancelled, the About window, the settings text.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/qt/report_windows.h"
#include "app/qt/status_panels.h"
#include "chart/qt/chart_panel.h"
#include "chart/qt/markers_form.h"
#include "chart/qt/violations_form.h"
#include "app/startup_options.h"
#include "project/project_file.h"
#include "project/qt/export_dialog.h"
#include "project/temp_dir.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/edit_up_down.h"
#include "ui/qt/nice_label.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

using testing_support::TempDir;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { StoreForWindow(1, kLoggerUsb, 5, false); }
  TempDir dir;
};

TEST_F(MainWindowTest, OneArgumentLoadsAtTheFirstShowingTwoLoadNothing) {
  const std::string a = WriteSmallProject(dir, "a.kv"), b = WriteSmallProject(dir, "b.kv");
  {
    ProgramWindows w(ParseStartupArguments({a}).loadPath);
    EXPECT_EQ(w.main.windowTitle(), "Korvalog");
    EXPECT_EQ(w.data.Store.Count(), 0u);
    w.main.show();
    EXPECT_EQ(w.main.windowTitle(), "KORVALOG - untitled");
    QApplication::processEvents();  // the first events the window handles
    EXPECT_EQ(w.data.Store.Count(), 3u);
    EXPECT_TRUE(w.data.DataPresent.load());
    // The count shows with the loaded chart, not at the next whole second.
    EXPECT_EQ(w.main.lCapStat->text(), QStringLiteral("Captured: 3 events"));
  }
  ProgramWindows two(ParseStartupArguments({a, b}).loadPath);
  two.main.show();
  QApplication::processEvents();
  EXPECT_EQ(two.data.Store.Count(), 0u);
}

TEST_F(MainWindowTest, TheJournalLastsUntilTheCaptureIsGivenUp) {
  const auto journals = [this] {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) n += e.path().extension() == ".journal";
    return n;
  };
  ProgramWindows w(std::nullopt, false, dir.Path());
  w.main.show();
  w.main.bCaptureClick();
  w.data.ApplyTransition(w.clock.Now(), 4, 1);
  w.main.bCaptureClick();
  EXPECT_EQ(journals(), 1);  // kept after the stop
  ModalAnswer no{PressKey(Qt::Key_Escape)};
  AnswerNextModal(no);
  EXPECT_TRUE(w.main.close());
  EXPECT_EQ(no.seen, 1);
  EXPECT_EQ(journals(), 0);  // declined: given up
}

TEST_F(MainWindowTest, KeysDropAndRememberedGeometry) {
  const std::string a = WriteSmallProject(dir, "a.kv");
  {
    ProgramWindows w;
    w.main.show();
    w.main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.main));
    QTest::keyClick(&w.main, Qt::Key_F5);  // no logger: Capture is off
    EXPECT_FALSE(w.data.Capturing.load());

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(a))});
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.main, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.main, &drop);
    QTest::qWait(50);
    EXPECT_EQ(w.data.Store.Count(), 3u);

    w.data.SetCapture(true);
    ModalAnswer guard{PressKey(Qt::Key_Return)};
    AnswerNextModal(guard);
    QTest::keyClick(&w.main, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(guard.seen, 1);
    EXPECT_TRUE(w.main.isVisible());
    w.data.SetCapture(false);
    w.data.DataModified.store(0);
    w.main.setGeometry(40, 50, 700, 600);
    w.main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.main));
    QTest::keyClick(&w.main, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w.main.isVisible());
  }
  ProgramWindows again;
  EXPECT_EQ(again.main.size(), QSize(700, 600));
}

TEST_F(MainWindowTest, DesignSizeAndToolbar) {
  ProgramWindows w;
  EXPECT_EQ(w.main.size(), QSize(TMainForm::kClientWidth, TMainForm::kClientHeight));
  EXPECT_EQ(w.main.minimumWidth(), TMainForm::kMinWidth);
  EXPECT_FALSE(w.main.bDump->isVisibleTo(&w.main));
  EXPECT_FALSE(w.main.bCapture->isEnabled());  // no logger yet
  EXPECT_EQ(w.main.bProperties->toolTip(), "Change Properties: COM port, logger type, debounce ..");
  // The right-hand group keeps to the right edge.
  w.main.show();
  w.main.resize(800, 500);
  EXPECT_EQ(w.main.bHelp->geometry().right(), 800 - 5);
  EXPECT_EQ(w.main.Status().PanelText(2), "Ventrix*, 50mS debounce");
}

TEST_F(MainWindowTest, ClosingIsGuardedDuringACaptureAndAsksOnceAfterIt) {
  ProgramWindows w;
  w.main.show();
  w.data.SetCapture(true);
  ModalAnswer guard{PressKey(Qt::Key_Return)};
  AnswerNextModal(guard);
  EXPECT_FALSE(w.main.close());
  EXPECT_EQ(guard.seen, 1);
  EXPECT_TRUE(w.main.isVisible());

  w.data.ApplyTransition(w.clock.Now(), 4, 1);
  w.data.SetCapture(false);
  ASSERT_TRUE(w.data.DataModified.load());
  ModalAnswer prompt{PressKey(Qt::Key_Escape)};  // not saved
  AnswerNextModal(prompt);
  EXPECT_TRUE(w.main.close());
  EXPECT_EQ(prompt.seen, 1);
  EXPECT_FALSE(w.main.isVisible());
}

TEST_F(MainWindowTest, PropertiesAcceptedUnchangedRestartsTheLinkCancelledChangesNothing) {
  StoreForWindow(12, kLogger96, 5, false);
  ProgramWindows w;
  EXPECT_EQ(w.main.Status().PanelText(2), "COM12, 96 channels, 50mS debounce");
  const LoggerSettings before = w.settings;
  w.main.Link().LinkState = LinkStep::Connected;
  ModalAnswer cancel{Reject()};
  AnswerNextModal(cancel);
  w.main.bPropertiesClick();
  EXPECT_EQ(cancel.lastTitle, "Properties");
  EXPECT_EQ(w.main.Link().LinkState, LinkStep::Connected);

  ModalAnswer ok{[](QWidget* d) {
    auto* form = qobject_cast<TPropertiesForm*>(d);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->cbCOMPort->currentIndex(), 11);
    QTest::mouseClick(form->bOK, Qt::LeftButton);
  }};
  AnswerNextModal(ok);
  w.main.bPropertiesClick();
  EXPECT_EQ(ok.seen, 1);
  EXPECT_EQ(w.main.Link().LinkState, LinkStep::Searching);
  EXPECT_TRUE(w.settings == before);

  // A change shows in the status bar at once.
  ModalAnswer ac{[](QWidget* d) {
    auto* form = qobject_cast<TPropertiesForm*>(d);
    form->eACSignals->setChecked(true);
    QTest::keyClick(form, Qt::Key_Return);
  }};
  AnswerNextModal(ac);
  w.main.bPropertiesClick();
  EXPECT_EQ(w.main.Status().PanelText(2), "COM12, 96 channels, 50mS debounce, AC signals");
}

TEST_F(MainWindowTest, PortOutsideTheListShowsNoSelection) {
  TPropertiesForm form(nullptr, [](uint8_t port) { return "/dev/ttyUSB" + std::to_string(port - 1); });
  LoggerSettings s;
  s.Port = 17;
  form.ShowSettings(s);
  EXPECT_EQ(form.cbCOMPort->currentIndex(), -1);
  EXPECT_TRUE(form.cbCOMPort->itemText(2).startsWith("COM3   /dev/ttyUSB2"));
  s.Port = 1;
  s.Debounce = 12;
  form.ShowSettings(s);
  EXPECT_EQ(form.eDebounce->Edit()->text(), "120");
}

TEST_F(MainWindowTest, CancelledDialogsChangeNothing) {
  const std::string a = WriteSmallProject(dir, "a.kv");
  ProgramWindows w(a);
  w.main.show();
  QApplication::processEvents();
  ModalAnswer cancelOpen{Reject()};
  AnswerNextModal(cancelOpen);
  w.main.bOpenClick();
  EXPECT_EQ(cancelOpen.seen, 1);
  ModalAnswer cancelSave{[](QWidget* d) {
    auto* dialog = qobject_cast<QFileDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    dialog->reject();
  }};
  AnswerNextModal(cancelSave);
  w.main.bSaveClick();
  EXPECT_EQ(cancelSave.seen, 1);
  EXPECT_EQ(w.data.Store.Count(), 3u);
  EXPECT_FALSE(w.data.DataModified.load());
}

TEST_F(MainWindowTest, OpenFiltersAndLoad) {
  const std::string a = WriteSmallProject(dir, "a.kv");
  ProgramWindows w;
  w.main.show();
  ModalAnswer open{[&a](QWidget* d) {
    auto* dialog = qobject_cast<QFileDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(), QStringList({"Korvalog project (*.kv)", "Varnolog logs (*.0?" "?)",
                                                  "Value change dump (*.vcd)"}));
    ChooseFile(a)(dialog);
  }};
  AnswerNextModal(open);
  w.main.bOpenClick();
  EXPECT_EQ(w.data.Store.Count(), 3u);
}

TEST_F(MainWindowTest, CtrlEExportsTheCaptureAndIsGuardedDuringACapture) {
  ProgramWindows w(ParseStartupArguments({WriteSmallProject(dir, "a.kv")}).loadPath);
  w.main.show();
  w.main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.main));
  ASSERT_EQ(w.data.Store.Count(), 3u);
  ModalAnswer exportDialog{[this](QWidget* d) {
    auto* dialog = qobject_cast<ExportDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Export");
    EXPECT_EQ(dialog->Choices().path, dir / "a.vcd");  // proposed after the project
    ExportChoices c;
    c.format = ExportFormat::Vcd;
    c.path = dir / "a.vcd";
    dialog->SetChoices(c);
    dialog->accept();
  }};
  AnswerNextModal(exportDialog);
  QTest::keyClick(&w.main, Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(exportDialog.seen, 1);
  EXPECT_NE(testing_support::ReadBytes(dir / "a.vcd").find("$var wire 1 ! ch002_2 $end"), std::string::npos);

  w.data.SetCapture(true);
  ModalAnswer guard{PressKey(Qt::Key_Return)};
  AnswerNextModal(guard);
  QTest::mouseClick(w.main.bExport, Qt::LeftButton);
  EXPECT_EQ(guard.seen, 1);
  EXPECT_NE(guard.lastTitle, "Export");
  w.data.SetCapture(false);
  w.data.DataModified.store(0);
}

TEST_F(MainWindowTest, SequencerShowsTheStaircaseStatisticsIsModalOpenClosesBoth) {
  ProgramWindows w;
  w.main.show();
  QTest::mouseClick(w.main.Chart().SequencerButton(), Qt::LeftButton);
  EXPECT_EQ(w.main.Chart().StripMode(), 1);
  EXPECT_TRUE(w.analysis.Sequencer()->isVisible());
  ModalAnswer statistics{[](QWidget* d) {
    EXPECT_EQ(d->windowTitle(), "Statistics");
    static_cast<QDialog*>(d)->reject();
  }};
  AnswerNextModal(statistics);
  QTest::mouseClick(w.main.bStatistics, Qt::LeftButton);
  EXPECT_EQ(statistics.seen, 1);
  ModalAnswer cancel{Reject()};
  AnswerNextModal(cancel);
  w.main.bOpenClick();
  EXPECT_FALSE(w.analysis.Sequencer()->isVisible());
  EXPECT_EQ(w.main.Chart().StripMode(), 0);  // the strip went back to the search
}

TEST_F(MainWindowTest, AboutOpenedTwiceLeavesOneWindow) {
  ProgramWindows w;
  w.main.show();
  w.main.mAboutClick();
  w.main.mAboutClick();
  int shown = 0;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == "AboutForm" && top->isVisible()) ++shown;
  }
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(w.about.lProduct->text(), "Korvalog");
  EXPECT_EQ(w.about.lRevision->text().count('.'), 3);
  QTest::mouseClick(w.about.lWeb, Qt::LeftButton);
  QTest::mouseClick(w.about.lMail, Qt::LeftButton);
  EXPECT_EQ(w.opened, QStringList({kAboutWebAddress, QString("mailto:") + kAboutMailAddress}));
  QTest::keyClick(&w.about, Qt::Key_Escape);
  EXPECT_FALSE(w.about.isVisible());
}

TEST_F(MainWindowTest, LogImportShowsTheNotesWindowProjectLoadLeavesIt) {
  const std::string log = dir / "site.001";
  testing_support::WriteBytes(log, "CB1Tower A\r\nCI31\r\nD010125\r\nT09\r\nH0512345\r\n");
  ProgramWindows w;
  w.main.show();
  ASSERT_TRUE(w.main.Commands().LoadFile(log));
  EXPECT_TRUE(w.notes.isVisible());
  EXPECT_EQ(w.notes.size(), w.notes.NiceLabel->size().expandedTo(QSize(120, 24)));
  EXPECT_NE(w.notes.NiceLabel->Caption().find("Tower A"), std::string::npos);
  ASSERT_TRUE(w.main.Commands().LoadFile(WriteSmallProject(dir, "a.kv")));
  EXPECT_TRUE(w.notes.isVisible());
}

// Every window opens wholly on the main window's screen, the Report (made
// larger than this screen) shrunk to it; the main window restores where its
// frame was.
TEST_F(MainWindowTest, EveryWindowOpensWhollyOnTheMainWindowsScreen) {
  ProgramWindows w;
  ReportWindows report(w.data, w.view, w.main);
  w.main.show();
  const QRect area = w.main.screen()->availableGeometry();
  report.ShowReport();
  report.ShowRoles();
  w.main.bSequencerClick();
  w.main.Chart().ShowMarkers();
  w.main.Chart().ShowViolations();
  const QWidget* windows[] = {report.Report(), report.Roles(), w.analysis.Sequencer(), w.main.Chart().Markers(),
                              w.main.Chart().Violations()};
  for (const QWidget* window : windows) {
    ASSERT_TRUE(window->isVisible()) << window->objectName().toStdString();
    EXPECT_TRUE(area.contains(window->frameGeometry())) << window->objectName().toStdString();
  }
  // The chart's own Sequencer button too.
  w.analysis.Sequencer()->hide();
  w.analysis.Sequencer()->move(area.right() - 10, area.bottom() - 10);
  emit w.main.Chart().SequencerRequested();
  EXPECT_TRUE(area.contains(w.analysis.Sequencer()->frameGeometry()));
  w.main.move(area.left() + 30, area.top() + 40);
  ASSERT_TRUE(w.main.close());
  ProgramWindows again;
  again.main.show();
  EXPECT_EQ(again.main.frameGeometry().topLeft(), QPoint(area.left() + 30, area.top() + 40));
}

TEST_F(MainWindowTest, HelpOpensThePdfOrSaysWhereItIs) {
  ProgramWindows w;
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(dir.Path()));
  const QString here = QDir::currentPath();
  // No guide anywhere: said so.
  ModalAnswer missing{PressKey(Qt::Key_Return)};
  AnswerNextModal(missing);
  w.main.mHelpClick();
  EXPECT_EQ(missing.seen, 1);
  EXPECT_TRUE(w.opened.isEmpty());
  testing_support::WriteBytes(dir / "Korvalog.pdf", "%PDF-1.4\n");
  w.main.mHelpClick();
  ASSERT_EQ(w.opened.size(), 1);
  EXPECT_TRUE(w.opened[0].endsWith("/Korvalog.pdf"));
  // No PDF viewer: asked whether to open the guide's folder; Yes opens it.
  w.noViewer = true;
  std::string question;
  ModalAnswer open{[&question](QWidget* box) {
    if (auto* form = qobject_cast<TMessageBoxForm*>(box)) question = form->Text();
    QTest::keyClick(box, Qt::Key_Return);  // the first button: Yes
  }};
  AnswerNextModal(open);
  w.main.mHelpClick();
  EXPECT_EQ(open.seen, 1);
  // The guide's path on a line of its own (the markup's line break, not a
  // raw newline the box would run together).
  const std::string guide = (here + QStringLiteral("/Korvalog.pdf")).toStdString();
  EXPECT_EQ(question, "No program to show PDF files could be started.\\nThe user guide is " + guide +
                          "\\n\\nOpen its folder?");
  ASSERT_EQ(w.opened.size(), 3);
  EXPECT_EQ(w.opened[2], QUrl::fromLocalFile(here).toString());
  QDir::setCurrent(cwd);
  QMenu* menu = w.main.pmHelp;
  ASSERT_EQ(menu->actions().size(), 5);
  EXPECT_EQ(menu->actions()[0]->text(), "Help");
  EXPECT_TRUE(menu->actions()[1]->isSeparator());
  EXPECT_EQ(menu->actions()[2]->objectName(), "mPublish");
  EXPECT_TRUE(menu->actions()[3]->isSeparator());
  EXPECT_EQ(menu->actions()[4]->text(), "About");
}

}  // namespace
}  // namespace korvalog::test
