// The main window as a user meets it: Yes then Cancel at the save question,
// the chart filling the window after a restart at any stored size, the
// toolbar at the narrowest width, the caption, the dump's status note, and
// which edits count as modifications.
#include <QLabel>
#include <QScrollBar>
#include <QScreen>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/qt/status_panels.h"
#include "chart/grid_fit.h"
#include "chart/qt/chart_panel.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "ui/qt/btn_transparent.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

using testing_support::TempDir;

int Journals(const TempDir& dir) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) n += e.path().extension() == ".journal";
  return n;
}

class WindowUx : public ::testing::Test {
 protected:
  void SetUp() override { StoreForWindow(1, kLoggerUsb, 5, false); }
  TempDir dir;
};

// Yes at the question, then Escape in the save dialog.
struct YesThenCancel {
  ModalAnswer cancel{Reject()};
  ModalAnswer yes{[this](QWidget* box) {
    AnswerNextModal(cancel);
    QTest::keyClick(box, Qt::Key_Return);  // the first button: Yes
  }};
  YesThenCancel() { AnswerNextModal(yes); }
  bool BothSeen() const { return yes.seen == 1 && cancel.seen == 1 && cancel.lastTitle == "Save As"; }
};

TEST_F(WindowUx, YesThenCancelKeepsTheCaptureItsJournalAndTheWindow) {
  const std::string other = WriteSmallProject(dir, "other.kv");
  ProgramWindows w(std::nullopt, false, dir.Path());
  w.main.show();
  w.main.bCaptureClick();
  w.data.ApplyTransition(w.clock.Now(), 4, 1);
  w.main.bCaptureClick();
  ASSERT_EQ(Journals(dir), 1);
  {
    YesThenCancel answer;
    EXPECT_FALSE(w.main.close());
    EXPECT_TRUE(answer.BothSeen());
  }
  EXPECT_TRUE(w.main.isVisible());
  EXPECT_EQ(Journals(dir), 1);
  {
    YesThenCancel answer;
    w.main.bCaptureClick();  // a new capture would replace it
    EXPECT_TRUE(answer.BothSeen());
  }
  EXPECT_FALSE(w.data.Capturing.load());
  {
    YesThenCancel answer;
    w.main.Commands().OpenDropped(other);
    EXPECT_TRUE(answer.BothSeen());
  }
  EXPECT_EQ(w.data.Store.Count(), 1u);
  EXPECT_TRUE(w.data.DataModified.load());
  EXPECT_EQ(Journals(dir), 1);
  // Saving at the question lets the close go ahead and gives the journal up.
  ModalAnswer save{ChooseFile(dir / "kept.kv")};
  ModalAnswer yes{[&save](QWidget* box) {
    AnswerNextModal(save);
    QTest::keyClick(box, Qt::Key_Return);
  }};
  AnswerNextModal(yes);
  EXPECT_TRUE(w.main.close());
  EXPECT_EQ(Journals(dir), 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "kept.kv"));
}

// The waveform column's line and the grid's right frame.
constexpr int kAfterWave = 1 + GridLayout::kFrame;

// The waveform column's right edge and the strip's, in the main window.
struct ChartEnds {
  int wave, strip, handle, window;
  bool scrolls;
};

ChartEnds EndsOf(TMainForm& main) {
  ChartPanel& chart = main.Chart();
  chart.Tick();
  const GridLayout& layout = chart.Grid()->Layout();
  const QPoint wave = chart.Grid()->mapTo(&main, QPoint(layout.ColumnLeft(4) + layout.widths[4], 0));
  const QPoint strip = chart.Strip()->mapTo(&main, QPoint(chart.Strip()->width(), 0));
  const QPoint handle = chart.Summary()->mapTo(&main, QPoint(chart.RightHandle()->PosX(), 0));
  return {wave.x(), strip.x(), handle.x(), main.width(), chart.SideScrollBar()->isVisible()};
}

TEST_F(WindowUx, TheChartFillsTheWindowAfterARestartAtAnyStoredSize) {
  const std::string project = WriteSmallProject(dir, "a.kv");
  for (QSize size : {QSize(900, 650), QSize(420, 500), QSize(1500, 900), QSize(569, 523)}) {
    size.setWidth(std::max(size.width(), TMainForm::kMinWidth));
    {
      ProgramWindows first;
      first.main.show();
      first.main.resize(size);
      ASSERT_TRUE(first.main.close());  // stores the geometry
    }
    for (const int name : {66, 240}) {
      const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height()) + " name " +
                             std::to_string(name);
      ProgramWindows again(project);
      again.main.show();
      QApplication::processEvents();
      // A size larger than this screen comes back fitted to it.
      const QRect area = again.main.screen()->availableGeometry();
      if (size.width() + 40 <= area.width() && size.height() + 40 <= area.height()) {
        ASSERT_EQ(again.main.size(), size) << at;
      } else {
        ASSERT_TRUE(area.contains(again.main.frameGeometry())) << at;
      }
      ChannelGrid* grid = again.main.Chart().Grid();
      grid->SetColumnWidth(1, name);
      const ChartEnds e = EndsOf(again.main);
      const int reserve = WaveRightReserve(grid->ScrollBar()->sizeHint().width());
      const int fixed = grid->Layout().ContentWidth() - grid->Layout().widths[4];
      if (size.width() - fixed - reserve >= kMinWaveWidth) {
        EXPECT_FALSE(e.scrolls) << at;
        EXPECT_EQ(e.wave, e.window - reserve - kAfterWave) << at;  // no blank room, nothing hidden
      } else {
        EXPECT_TRUE(e.scrolls) << at;
      }
      EXPECT_EQ(e.strip, e.wave) << at;
      EXPECT_EQ(e.handle, e.wave) << at;
      // Enlarging the window brings the end along.
      again.main.resize(size.width() + 400, size.height());
      const ChartEnds wider = EndsOf(again.main);
      EXPECT_FALSE(wider.scrolls) << at;
      EXPECT_EQ(wider.wave, wider.window - reserve - kAfterWave) << at;
      EXPECT_EQ(wider.strip, wider.wave) << at;
      again.main.resize(size);  // what the next round restores
      again.data.DataModified.store(0);
      ASSERT_TRUE(again.main.close());
    }
  }
}

TEST_F(WindowUx, AVeryWideNameColumnScrollsTheChartSideways) {
  ProgramWindows w(WriteSmallProject(dir, "a.kv"));
  w.main.show();
  QApplication::processEvents();
  w.main.resize(TMainForm::kMinWidth, 400);
  w.main.Chart().Grid()->SetColumnWidth(1, 500);
  ChartEnds e = EndsOf(w.main);
  ASSERT_TRUE(e.scrolls);
  EXPECT_EQ(w.main.Chart().State().WaveWidth, kMinWaveWidth);
  QScrollBar* side = w.main.Chart().SideScrollBar();
  side->setValue(side->maximum());
  e = EndsOf(w.main);
  EXPECT_LE(e.wave, e.window);
  EXPECT_EQ(e.strip, e.wave);
  // Narrowed again, the scroll bar goes.
  w.main.Chart().Grid()->SetColumnWidth(1, 66);
  EXPECT_FALSE(EndsOf(w.main).scrolls);
}

// Visible children of the toolbar that overlap one another.
QStringList Overlaps(TMainForm& main) {
  QWidget* toolbar = main.bCapture->parentWidget();
  QList<QWidget*> parts;
  for (QObject* o : toolbar->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (w && w->isVisibleTo(&main) && w->width() > 0) parts << w;
  }
  QStringList found;
  for (int i = 0; i < parts.size(); ++i) {
    if (parts[i]->geometry().left() < 0 || parts[i]->geometry().right() >= toolbar->width())
      found << parts[i]->objectName() + " outside";
    for (int j = i + 1; j < parts.size(); ++j)
      if (parts[i]->geometry().intersects(parts[j]->geometry()))
        found << parts[i]->objectName() + "/" + parts[j]->objectName();
  }
  return found;
}

TEST_F(WindowUx, NothingOverlapsAtAnyAllowedWidth) {
  ProgramWindows w;
  w.main.show();
  EXPECT_EQ(w.main.minimumWidth(), TMainForm::kMinWidth);
  const QString longest = QStringLiteral("Capturing [1048576 events]");
  for (int width : {TMainForm::kMinWidth, TMainForm::kMinWidth + 1, 569, 608, 609, 640, 665, 666, 900}) {
    w.main.resize(width, 500);
    EXPECT_TRUE(Overlaps(w.main).isEmpty()) << width << ": " << Overlaps(w.main).join(", ").toStdString();
    // The status label has room for the longest status text.
    EXPECT_GE(w.main.lCapStat->width(), w.main.lCapStat->fontMetrics().horizontalAdvance(longest)) << width;
    EXPECT_FALSE(w.main.Chart().SideScrollBar()->isVisible()) << width;
  }
  // The right-hand group gives way: wide, everything with its caption;
  // then Statistics shows its glyph alone; at the narrowest Roles goes too.
  w.main.resize(700, 500);
  EXPECT_EQ(w.main.bStatistics->Caption(), "Statistics");
  EXPECT_TRUE(w.main.bRoles->isVisible());
  w.main.resize(620, 500);
  EXPECT_TRUE(w.main.bStatistics->Caption().isEmpty());
  EXPECT_TRUE(w.main.bRoles->isVisible());
  w.main.resize(TMainForm::kMinWidth, 500);
  EXPECT_TRUE(w.main.bStatistics->Caption().isEmpty());
  EXPECT_FALSE(w.main.bRoles->isVisible());
  EXPECT_EQ(w.main.width(), TMainForm::kMinWidth);
}

TEST_F(WindowUx, CaptionNamesTheFileAndShowsUnsavedChanges) {
  const std::string project = WriteSmallProject(dir, "tower-a.kv");
  ProgramWindows w(project);
  w.main.show();
  QApplication::processEvents();
  EXPECT_EQ(w.main.windowTitle(), "KORVALOG - tower-a.kv");
  // A rename typed and taken back with Escape changes nothing.
  ChannelGrid* grid = w.main.Chart().Grid();
  grid->setFocus();
  grid->SetCurrentCell(1, 2);
  QTest::keyClick(grid, Qt::Key_F2);
  ASSERT_TRUE(grid->NameEditor()->isVisible());
  QTest::keyClicks(grid->NameEditor(), "Door");
  QTest::keyClick(grid->NameEditor(), Qt::Key_Escape);
  w.main.TimerTimer();
  EXPECT_FALSE(w.data.DataModified.load());
  EXPECT_EQ(w.main.windowTitle(), "KORVALOG - tower-a.kv");
  // Kept with Enter, it is a change.
  QTest::keyClick(grid, Qt::Key_F2);
  QTest::keyClicks(grid->NameEditor(), "Door");
  QTest::keyClick(grid->NameEditor(), Qt::Key_Return);
  w.main.TimerTimer();
  EXPECT_TRUE(w.data.DataModified.load());
  EXPECT_EQ(w.main.windowTitle(), "KORVALOG - tower-a.kv*");
  // Saved under another name: that name, no star.
  ModalAnswer save{ChooseFile(dir / "tower-b.kv")};
  AnswerNextModal(save);
  w.main.bSaveClick();
  EXPECT_EQ(w.main.windowTitle(), "KORVALOG - tower-b.kv");
}

TEST_F(WindowUx, SearchChangesInTheGridCountAsModifications) {
  ProgramWindows w(WriteSmallProject(dir, "a.kv"));
  w.main.show();
  QApplication::processEvents();
  ASSERT_FALSE(w.data.DataModified.load());
  ChannelGrid* grid = w.main.Chart().Grid();
  const QPoint search = grid->Layout().CellRect(3, 2, grid->TopRow()).center();
  QTest::mouseDClick(grid, Qt::LeftButton, {}, search);
  EXPECT_NE(w.view.Traces.Search(2), kSearchIgnore);
  EXPECT_TRUE(w.data.DataModified.load());
  // So closing asks; No gives the change up.
  ModalAnswer no{PressKey(Qt::Key_Escape)};
  AnswerNextModal(no);
  EXPECT_TRUE(w.main.close());
  EXPECT_EQ(no.seen, 1);
}

TEST_F(WindowUx, CtrlDSaysWhereTheDumpWent) {
  ProgramWindows w(WriteSmallProject(dir, "a.kv"));
  w.main.show();
  w.main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.main));
  QApplication::processEvents();
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(dir.Path()));
  QTest::keyClick(&w.main, Qt::Key_D, Qt::ControlModifier);
  QDir::setCurrent(cwd);
  const QString expected = QString::fromStdString(dir / "Korvalog.dmp");
  EXPECT_TRUE(std::filesystem::exists(dir / "Korvalog.dmp"));
  EXPECT_EQ(w.main.Status().PanelText(2), "3 events dumped to " + QFileInfo(expected).absoluteFilePath());
  // The settings come back later.
  w.main.ShowSettingsStatus();
  EXPECT_EQ(w.main.Status().PanelText(2), "Ventrix*, 50mS debounce");
}

}  // namespace
}  // namespace korvalog::test
