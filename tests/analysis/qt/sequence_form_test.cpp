// The Sequencer window on the offscreen platform: steps entered through its
// own grid and drop-down, and the hooks its host hangs the strip on.
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "analysis/qt/sequence_form.h"
#include "analysis/qt/sequence_grid.h"
#include "common/capture_builder.h"
#include "ui/qt/nice_label.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

// What a host does with the hooks: strip mode and a count of strip passes.
struct FakeHost {
  int stripMode = 0;
  int passes = 0;
  void Wire(TSequenceForm& form) {
    form.SetOnPatternChanged([this] {
      stripMode = 1;
      ++passes;
    });
    form.SetOnClosed([this] {
      if (stripMode != 1) return;
      stripMode = 0;
      ++passes;
    });
  }
};

struct Window {
  CaptureBuilder b;
  LoggerSettings settings;
  TSequenceForm form{b.data, b.view, settings};
  FakeHost host;

  Window() {
    b.view.Traces.SetName(3, "Call");
    b.view.Traces.SetName(4, "Door");
    host.Wire(form);
    form.show();
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  TSequenceGrid* grid() { return form.gSequence(); }
  QPoint Centre(int row, int column) { return grid()->CellRect(row, column).center(); }
  // As the window system sends it: the second press is the double click,
  // and its release follows.
  void DoubleClick(int row, int column) {
    QTest::mouseDClick(grid(), Qt::LeftButton, {}, Centre(row, column));
    QTest::mouseRelease(grid(), Qt::LeftButton, {}, Centre(row, column));
  }
  void TypeTime(int row, int column, const char* text) {
    DoubleClick(row, column);
    QLineEdit* edit = grid()->InPlaceEdit();
    EXPECT_TRUE(edit->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isVisible());
  }
  // Picks an item by clicking it in the dropped-down list.
  void ClickItem(int item) {
    QAbstractItemView* list = form.cbSignals()->view();
    ASSERT_TRUE(list->isVisible());
    const QModelIndex index = list->model()->index(item, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
  }
};

TEST(SequenceForm, StepsEnteredThroughTheWindow) {
  Window w;
  EXPECT_EQ(w.host.stripMode, 1);  // showing the window asks for the staircase
  const int shown = w.host.passes;

  // Row 1 by double click and a click in the list.
  w.DoubleClick(1, kSeqColSignal);
  ASSERT_EQ(w.form.SignalRow(), 1);
  QComboBox* list = w.form.cbSignals();
  EXPECT_EQ(list->count(), 129);
  EXPECT_EQ(list->itemText(0), QStringLiteral("<none>"));
  EXPECT_EQ(list->currentIndex(), 0);
  const QRect cell = w.grid()->CellRect(1, kSeqColSignal);
  EXPECT_EQ(list->geometry(), QRect(cell.left() + 1, cell.top(), cell.width() + 2, cell.height()));
  w.ClickItem(3);
  EXPECT_EQ(w.form.SignalRow(), 0);
  EXPECT_FALSE(list->isVisible());
  EXPECT_TRUE(w.grid()->hasFocus());
  EXPECT_EQ(w.b.view.Sequence[0].signal, 3);
  EXPECT_EQ(w.b.view.Sequence[0].event, 1);
  w.TypeTime(1, kSeqColMaxTime, "5");
  EXPECT_EQ(w.b.view.Sequence[0].maxTime, 5);

  // Row 2 by Enter: the list opens and closes, an item is chosen, Enter
  // in the drop-down commits it.
  w.grid()->SetCurrent(2, kSeqColSignal);
  QTest::keyClick(w.grid(), Qt::Key_Return);
  ASSERT_EQ(w.form.SignalRow(), 2);
  list->hidePopup();
  EXPECT_EQ(w.form.SignalRow(), 2);  // closing the list alone commits nothing
  list->setCurrentIndex(4);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(w.b.view.Sequence[1].signal, 4);
  EXPECT_EQ(w.b.view.Sequence[1].event, 1);

  // Row 3 by leaving the list for another control.
  w.DoubleClick(3, kSeqColSignal);
  list->hidePopup();
  list->setCurrentIndex(4);
  QTest::mouseClick(w.grid(), Qt::LeftButton, {}, w.Centre(5, kSeqColMinTime));
  EXPECT_EQ(w.form.SignalRow(), 0);
  EXPECT_EQ(w.b.view.Sequence[2].signal, 4);
  // Event: double click flips it, Enter flips it back.
  w.DoubleClick(3, kSeqColEvent);
  EXPECT_EQ(w.b.view.Sequence[2].event, 0);
  QTest::keyClick(w.grid(), Qt::Key_Return);
  EXPECT_EQ(w.b.view.Sequence[2].event, 1);
  w.DoubleClick(3, kSeqColEvent);

  // "Door" is used by rows 2 and 3; its first row decides.
  EXPECT_EQ(w.form.lState0()->Caption(), "\\1Call \\1Door ");
  EXPECT_EQ(w.b.data.DataModified.load(), 0);
  EXPECT_GT(w.host.passes, shown + 5);
  EXPECT_EQ(w.host.stripMode, 1);

  w.form.close();
  EXPECT_EQ(w.host.stripMode, 0);
}

TEST(SequenceForm, TimesAreTypedInPlaceAndKeepTheirLow16Bits) {
  Window w;
  w.TypeTime(4, kSeqColMaxTime, "-1");
  EXPECT_EQ(w.b.view.Sequence[3].maxTime, 65535);
  // Typing into a selected time cell starts the edit; Escape takes it back.
  w.grid()->SetCurrent(4, kSeqColMinTime);
  w.grid()->setFocus();
  QTest::keyClicks(w.grid(), QStringLiteral("2"));
  ASSERT_TRUE(w.grid()->Editing());
  QTest::keyClicks(w.grid()->InPlaceEdit(), QStringLiteral("5"));
  EXPECT_EQ(w.b.view.Sequence[3].minTime, 25);
  QTest::keyClick(w.grid()->InPlaceEdit(), Qt::Key_Escape);
  EXPECT_EQ(w.b.view.Sequence[3].minTime, 0);
  // Only the time columns take text.
  w.DoubleClick(4, kSeqColState);
  EXPECT_FALSE(w.grid()->Editing());
  w.DoubleClick(0, kSeqColMinTime);
  EXPECT_FALSE(w.grid()->Editing());
  // A time edit leaves State 0 alone but still redraws the strip.
  const int passes = w.host.passes;
  w.TypeTime(4, kSeqColMinTime, "3");
  EXPECT_GT(w.host.passes, passes);
}

TEST(SequenceForm, RowDraggedByItsNumberCarriesItsTimes) {
  Window w;
  w.b.Row(1, 3, 1, 2, 5).Row(2, 4, 0, 0, 7).Row(3, 5, 1, 1, 1);
  const int passes = w.host.passes;
  QTest::mousePress(w.grid(), Qt::LeftButton, {}, w.Centre(1, kSeqColState));
  QTest::mouseMove(w.grid(), w.Centre(2, kSeqColState));
  QTest::mouseRelease(w.grid(), Qt::LeftButton, {}, w.Centre(3, kSeqColState));
  EXPECT_EQ(w.b.view.Sequence[0].signal, 4);
  EXPECT_EQ(w.b.view.Sequence[0].maxTime, 7);
  EXPECT_EQ(w.b.view.Sequence[1].signal, 5);
  EXPECT_EQ(w.b.view.Sequence[2].signal, 3);
  EXPECT_EQ(w.b.view.Sequence[2].minTime, 2);
  EXPECT_EQ(w.b.view.Sequence[2].maxTime, 5);
  EXPECT_EQ(w.host.passes, passes + 1);
  EXPECT_EQ(w.form.lState0()->Caption(), "\\9Door \\1#5 \\1Call ");
}

TEST(SequenceForm, DestroyedWithTheListOpenTellsTheHostNothing) {
  CaptureBuilder b;
  LoggerSettings settings;
  FakeHost host;
  auto form = std::make_unique<TSequenceForm>(b.data, b.view, settings);
  host.Wire(*form);
  form->show();
  form->OpenSignalList(2);
  form->cbSignals()->hidePopup();
  const int passes = host.passes;
  form.reset();
  EXPECT_EQ(host.passes, passes);
  EXPECT_EQ(b.view.Sequence[1].signal, 0);
}

TEST(SequenceForm, HeaderAndCellsAreDrawn) {
  Window w;
  w.b.Row(1, 3, 1, 0, 5);
  const QImage image = w.grid()->grab().toImage();
  // The header row stands as tall as the bold title is wide.
  QFont bold = w.grid()->font();
  bold.setBold(true);
  EXPECT_EQ(w.grid()->HeaderHeight(), QFontMetrics(bold).horizontalAdvance(QStringLiteral("Max Time")) + 4);
  auto inked = [&](int row, int column) {
    const QRect r = w.grid()->CellRect(row, column).adjusted(2, 2, -2, -2);
    const QRgb paper = image.pixel(r.topLeft());
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (image.pixel(x, y) != paper) return true;
    return false;
  };
  for (int c = 0; c < kSequenceGridColumns; ++c) EXPECT_TRUE(inked(0, c)) << c;
  for (int c = 0; c < kSequenceGridColumns; ++c) EXPECT_TRUE(inked(1, c)) << c;
  EXPECT_TRUE(inked(2, kSeqColState));
  for (int c = 1; c < kSequenceGridColumns; ++c) EXPECT_FALSE(inked(2, c)) << c;
  // The title reads upwards: taller than wide.
  const QRect title = w.grid()->CellRect(0, kSeqColMaxTime);
  int top = title.bottom(), left = title.right(), right = title.left();
  for (int y = title.top(); y <= title.bottom(); ++y)
    for (int x = title.left(); x <= title.right(); ++x)
      if (qGray(image.pixel(x, y)) < 64) {
        top = std::min(top, y);
        left = std::min(left, x);
        right = std::max(right, x);
      }
  EXPECT_GT(title.bottom() - top, 3 * (right - left));
}

// On a screen too short for it (twice the scale on a small one) the window
// is made shorter: the grid scrolls, with room for its scroll bar beside
// it, and the Violations button stays in the window.
TEST(SequenceForm, ShorterThanTheGridItScrollsAndKeepsItsButton) {
  Window w;
  const int full = w.form.height();
  QWidget* violations = w.form.findChild<QWidget*>(QStringLiteral("bViolations"));
  ASSERT_NE(violations, nullptr);
  for (const int height : {full, full - 40, full / 2}) {
    w.form.resize(w.form.width(), height);
    QApplication::processEvents();
    ASSERT_EQ(w.form.height(), height);
    const QRect button(violations->mapTo(&w.form, QPoint(0, 0)), violations->size());
    EXPECT_TRUE(w.form.rect().contains(button)) << height;
    auto* scroll = qobject_cast<QScrollArea*>(w.grid()->parentWidget()->parentWidget());
    ASSERT_NE(scroll, nullptr);
    const bool cut = height < full;
    EXPECT_EQ(scroll->verticalScrollBar()->isVisible(), cut) << height;
    EXPECT_GE(scroll->viewport()->width(), w.grid()->width()) << height;  // no column hidden under the bar
  }
}

}  // namespace
}  // namespace korvalog
