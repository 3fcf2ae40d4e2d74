// The keys after a dialog the chart or the toolbar opened: they go back to
// the chart, and + zooms it even over the name cell that was being edited
// before the dialog came (it renamed the channel "+" once).
#include <QCursor>
#include <gtest/gtest.h>

#include "chart/qt/channel_grid.h"
#include "chart/qt/chart_panel.h"
#include "chart/qt/go_to_time_dialog.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

using testing_support::TempDir;

TEST(DialogFocus, PlusAfterADialogZoomsTheChartAndRenamesNothing) {
  StoreForWindow(1, kLoggerUsb, 5, false);
  TempDir dir;
  const std::string project = WriteSmallProject(dir, "a.kv");
  const auto typeTime = [](QWidget* w) {
    auto* d = qobject_cast<GoToTimeDialog*>(w);
    ASSERT_NE(d, nullptr);
    d->Edit()->setText(QStringLiteral("1"));
    QTest::keyClick(d->Edit(), Qt::Key_Return);
  };
  struct Case {
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    std::function<void(QWidget*)> answer;
    bool editing;  // the name cell's editor open when the dialog comes
  } cases[] = {
      {"Go to time", Qt::Key_G, Qt::ControlModifier, typeTime, false},
      {"Go to time from the name editor", Qt::Key_G, Qt::ControlModifier, typeTime, true},
      {"Save As, cancelled", Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, PressKey(Qt::Key_Escape), false},
      {"Save As, saved", Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, ChooseFile(dir / "part.kv"), true},
      {"Export, cancelled", Qt::Key_E, Qt::ControlModifier, Reject(), false},
  };
  for (const Case& c : cases) {
    ProgramWindows w(project);
    w.main.show();
    w.main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.main)) << c.what;
    QApplication::processEvents();
    ChannelGrid* grid = w.main.Chart().Grid();
    const std::string name = w.view.Traces.Name(2);
    // The second name cell chosen by a click (a second click opens its
    // editor), the pointer left resting on it.
    const QPoint cell = grid->Layout().CellRect(1, 2, grid->TopRow()).center();
    QTest::mouseClick(grid, Qt::LeftButton, {}, cell);
    if (c.editing) QTest::mouseClick(grid, Qt::LeftButton, {}, cell);
    ASSERT_EQ(grid->NameEditor()->isVisible(), c.editing) << c.what;
    QCursor::setPos(grid->mapToGlobal(cell));
    QWidget* keys = QApplication::focusWidget();
    ModalAnswer answer{c.answer};
    AnswerNextModal(answer);
    QTest::keyClick(keys, c.key, c.mods);
    EXPECT_EQ(answer.seen, 1) << c.what;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.main)) << c.what;
    EXPECT_EQ(QApplication::focusWidget(), grid) << c.what;
    const int depth = w.main.Chart().State().HistoryDepth;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Plus);
    EXPECT_EQ(w.main.Chart().State().HistoryDepth, depth + 1) << c.what;
    EXPECT_FALSE(grid->NameEditor()->isVisible()) << c.what;
    EXPECT_EQ(w.view.Traces.Name(2), name) << c.what;
    EXPECT_FALSE(w.data.DataModified.load()) << c.what;
  }
}

}  // namespace
}  // namespace korvalog::test
