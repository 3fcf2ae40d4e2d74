// The channel grid under the mouse and the keyboard: row moves, renaming,
// the search set-up, column resizing, the measuring cursors and scrolling.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>

#include "chart/grid_edits.h"
#include "chart_rig.h"
#include "support/qt/painted_area.h"

namespace korvalog {
namespace {

using test::ChartRig;
using test::kStripLeft;
using testing::CaptureBuilder;

struct GridRig : ChartRig {
  using ChartRig::ChartRig;
  ChannelGrid* G() { return panel->Grid(); }
  QPoint Cell(int column, int row) { return G()->Layout().CellRect(column, row, G()->TopRow()).center(); }
  void Click(int column, int row) { QTest::mouseClick(G(), Qt::LeftButton, {}, Cell(column, row)); }
};

using test::PaintedArea;

// The focus coming or going (a dialog opening over the window, or closing)
// repaints the focus frame's cell, not the whole grid.
TEST(ChannelGrid, TheFocusRepaintsOnlyTheFocusCell) {
  GridRig r;
  r.Click(1, 3);
  QApplication::processEvents();
  const QRect cell = r.G()->Layout().CellRect(1, 3, r.G()->TopRow());
  for (const QEvent::Type type : {QEvent::FocusOut, QEvent::FocusIn}) {
    PaintedArea painted;
    r.G()->installEventFilter(&painted);
    QFocusEvent focus(type, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(r.G(), &focus);
    QApplication::processEvents();
    r.G()->removeEventFilter(&painted);
    EXPECT_FALSE(painted.area.isEmpty()) << type;
    EXPECT_TRUE(cell.contains(painted.area.boundingRect())) << type;
  }
}

// A step in time repaints the waveforms, not the names nor the scroll bar.
TEST(ChannelGrid, AStepInTimeRepaintsOnlyTheWaveforms) {
  GridRig r([](CaptureBuilder& b) { b.Event(50, 1, 1); });
  QApplication::processEvents();
  auto* bar = r.G()->findChild<QScrollBar*>();
  ASSERT_TRUE(bar != nullptr && bar->isVisible());
  PaintedArea grid, scroll;
  r.G()->installEventFilter(&grid);
  bar->installEventFilter(&scroll);
  QTest::keyClick(r.G(), Qt::Key_Plus);
  QApplication::processEvents();
  EXPECT_FALSE(grid.area.isEmpty());
  EXPECT_GE(grid.area.boundingRect().left(), r.G()->Layout().ColumnLeft(kGridColumns - 1));
  EXPECT_TRUE(scroll.area.isEmpty());
}

TEST(ChannelGrid, DraggingRowFiveToRowTwo) {
  GridRig r([](CaptureBuilder& b) { b.Event(1, 1, 1); });
  QTest::mousePress(r.G(), Qt::LeftButton, {}, r.Cell(0, 5));
  QTest::mouseMove(r.G(), r.Cell(0, 4));
  QTest::mouseMove(r.G(), r.Cell(0, 2));
  QTest::mouseRelease(r.G(), Qt::LeftButton, {}, r.Cell(0, 2));
  const DisplayOrder& order = r.b.view.Traces.Order();
  EXPECT_EQ((std::vector<int>(order.begin(), order.begin() + 6)), (std::vector<int>{1, 5, 2, 3, 4, 6}));
  EXPECT_EQ(r.b.data.DataModified.load(), 1);  // events exist
}

TEST(ChannelGrid, RenamingKeepsThirtyTwoCharactersOnlyInTheNameColumn) {
  GridRig r;
  r.Click(1, 3);
  QTest::keyClick(r.G(), Qt::Key_F2);
  QLineEdit* editor = r.G()->NameEditor();
  ASSERT_TRUE(editor->isVisible());
  editor->selectAll();
  QTest::keyClicks(editor, QString(40, QLatin1Char('a')));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(r.b.view.Traces.Name(3), std::string(32, 'a'));
  EXPECT_EQ(r.b.data.DataModified.load(), 0);  // no events: nothing modified
  // Typing in the number or state column edits nothing.
  r.Click(2, 4);
  QTest::keyClicks(r.G(), QStringLiteral("zz"));
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(r.b.view.Traces.Name(4), "#4");
}

TEST(ChannelGrid, KeysInTheSearchColumnCycleAndDoubleClickSearchesOneChannel) {
  GridRig r;
  r.panel->SetStripMode(1);
  r.Click(3, 7);
  std::vector<int> seen;
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(r.G(), Qt::Key_X);
    seen.push_back(r.b.view.Traces.Search(7));
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 0, 2}));
  EXPECT_EQ(r.panel->StripMode(), 0);
  r.b.view.Traces.SetSearch(2, kSearchLow);
  r.panel->SetStripMode(1);
  QTest::mouseDClick(r.G(), Qt::LeftButton, {}, r.Cell(4, 7));
  for (int ch = 1; ch <= kChannelCount; ++ch)
    ASSERT_EQ(r.b.view.Traces.Search(ch), ch == 7 ? kSearchHigh : kSearchIgnore);
  EXPECT_EQ(r.panel->StripMode(), 0);
  EXPECT_EQ(r.panel->ZoomLabel()->Caption(), "Search\\nZoom");
}

TEST(ChannelGrid, WideningANameColumnShiftsTheStripAndNarrowsTheWaveforms) {
  GridRig r([](CaptureBuilder& b) { b.Event(50, 1, 1); });
  r.DragHandle(r.panel->LeftHandle(), kStripLeft + 60);
  ASSERT_NE(r.S().SelectionStart.time, r.S().ZoomStart.time);
  const GridLayout& layout = r.G()->Layout();
  const QPoint line(layout.ColumnLeft(1) + layout.widths[1], 10);
  QTest::mousePress(r.G(), Qt::LeftButton, {}, line);
  QTest::mouseMove(r.G(), line + QPoint(30, 0));
  QTest::mouseRelease(r.G(), Qt::LeftButton, {}, line + QPoint(30, 0));
  EXPECT_EQ(r.panel->NameColumnWidth(), 96);
  r.panel->Tick();
  EXPECT_EQ(r.panel->Strip()->x(), kStripLeft + 30);
  EXPECT_EQ(r.panel->Stats()->x(), kStripLeft + 30);
  EXPECT_EQ(r.panel->ZoomLabel()->geometry().right() + 1, kStripLeft + 30);
  // The waveform column gave the 30 pixels, so the chart still ends where
  // it did; its new width resets the selection.
  EXPECT_EQ(r.S().WaveWidth, 408 - 30);
  EXPECT_EQ(r.panel->RightHandle()->PosX(), kStripLeft + 408);
  EXPECT_EQ(r.panel->LeftHandle()->PosX(), kStripLeft + 30);
  EXPECT_EQ(r.S().SelectionStart.time, r.S().ZoomStart.time);
  // A wider window widens the waveform column: selection and cursors reset.
  r.DragHandle(r.panel->LeftHandle(), kStripLeft + 90);
  r.panel->resize(r.panel->width() + 122, r.panel->height());
  r.panel->Tick();
  EXPECT_EQ(r.S().WaveWidth, 500);
  EXPECT_EQ(r.S().SelectionStart.time, r.S().ZoomStart.time);
  EXPECT_EQ(r.G()->Cursor(MeasuringCursor::Second)->PosX(), kStripLeft + 30 + 20);
  EXPECT_EQ(r.panel->RightHandle()->PosX(), kStripLeft + 30 + 500);
}

TEST(ChannelGrid, CursorsPassEachOtherWithoutReadingEvents) {
  GridRig r([](CaptureBuilder& b) {
    for (int i = 1; i < 400; ++i) b.Event(i, 1 + i % 3, (i / 3) % 2);
  });
  const uint64_t read = r.S().EventsRead();
  THandle* c1 = r.G()->Cursor(MeasuringCursor::First);
  std::vector<QPoint> points;
  for (int dx = 10; dx <= 200; dx += 10) points.emplace_back(c1->PosX() + dx, c1->PosY() + 30);
  test::DragAlong(c1, points);
  EXPECT_EQ(r.S().Cursor1.PosX, kStripLeft + 210);
  EXPECT_GT(r.S().CursorTime(MeasuringCursor::First), r.S().CursorTime(MeasuringCursor::Second));
  // The silver line follows the cursor.
  const QImage grid = r.G()->grab().toImage();
  EXPECT_EQ(grid.pixel(kStripLeft + 210, r.RowTop(5) + 10), qRgb(192, 192, 192));
  // Scrolling with the thumb reads no events either.
  r.G()->ScrollBar()->setValue(60);
  EXPECT_EQ(r.G()->TopRow(), 60);
  r.G()->grab();
  EXPECT_EQ(r.S().EventsRead(), read);
}

}  // namespace
}  // namespace korvalog
