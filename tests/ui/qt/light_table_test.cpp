#include "ui/qt/light_table.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "support/qt/painted_area.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

struct Figures {
  QTableWidget table{3, 2};
  explicit Figures(bool light) {
    table.setFont(KitFont());
    const char* cells[3][2] = {{"12.5 s", "door open"}, {"", "a text far too long for its column"}, {"7", "x"}};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 2; ++c) table.setItem(r, c, new QTableWidgetItem(QString::fromLatin1(cells[r][c])));
    table.setColumnWidth(1, 90);
    table.item(2, 0)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table.setCurrentCell(2, 1);
    if (light) MakeTableLight(table);
    table.resize(260, 140);
  }
  // The box around the dark pixels of a cell, in the cell's own coordinates.
  QRect Ink(int row, int column) {
    const QRect cell = table.visualItemRect(table.item(row, column));
    const QImage image = table.viewport()->grab(cell).toImage();
    QRect box;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128 && qGray(image.pixel(x, y)) != qGray(table.palette().color(QPalette::Highlight).rgb()))
          box |= QRect(x, y, 1, 1);
    return box;
  }
};

// The same text in the same place as the style's own drawing of the cells.
TEST(LightTable, CellTextWhereTheStyleDrawsIt) {
  Figures style(false), light(true);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 2; ++c) {
      if (r == 2 && c == 1) continue;  // the current cell: selected, drawn on the highlight
      const QRect a = style.Ink(r, c), b = light.Ink(r, c);
      ASSERT_EQ(a.isEmpty(), b.isEmpty()) << r << "," << c;
      if (a.isEmpty()) continue;
      EXPECT_NEAR(a.left(), b.left(), 1) << r << "," << c;
      // Cut short where it does not fit, inside the cell's margin.
      if (r == 1 && c == 1) {
        EXPECT_LE(b.right(), 90 - 3);
      } else {
        EXPECT_NEAR(a.right(), b.right(), 2) << r << "," << c;
      }
      EXPECT_NEAR(a.center().y(), b.center().y(), 1) << r << "," << c;
    }
  }
}

using test::PaintedArea;

// The keys coming or going repaint the current cell; the window gaining or
// losing the focus, with the same colours either way, repaints nothing.
TEST(LightTable, FocusAndActivationRepaintNoMoreThanTheCurrentCell) {
  Figures f(true);
  SameLookWhenInactive(f.table);
  f.table.show();
  QApplication::processEvents();
  const QRect current = f.table.visualRect(f.table.currentIndex());
  const struct {
    QEvent::Type type;
    bool paintsCell;
  } cases[] = {{QEvent::FocusIn, true}, {QEvent::FocusOut, true}, {QEvent::WindowActivate, false},
               {QEvent::WindowDeactivate, false}};
  for (const auto& c : cases) {
    PaintedArea cells, header;
    f.table.viewport()->installEventFilter(&cells);
    f.table.horizontalHeader()->viewport()->installEventFilter(&header);
    if (c.type == QEvent::FocusIn || c.type == QEvent::FocusOut) {
      QFocusEvent focus(c.type, Qt::ActiveWindowFocusReason);
      QApplication::sendEvent(&f.table, &focus);
    } else {
      for (QWidget* w : {f.table.viewport(), f.table.horizontalHeader()->viewport()}) {
        QEvent activation(c.type);
        QApplication::sendEvent(w, &activation);
      }
    }
    QApplication::processEvents();
    f.table.viewport()->removeEventFilter(&cells);
    f.table.horizontalHeader()->viewport()->removeEventFilter(&header);
    EXPECT_EQ(!cells.area.isEmpty(), c.paintsCell) << c.type;
    if (c.paintsCell) {
      EXPECT_TRUE(current.contains(cells.area.boundingRect())) << c.type;
    }
    EXPECT_TRUE(header.area.isEmpty()) << c.type;
  }
}

}  // namespace
}  // namespace korvalog
