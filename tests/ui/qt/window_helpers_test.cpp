#include "ui/qt/window_helpers.h"

#include <QApplication>
#include <QLineEdit>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

#include "kit_test_support.h"
#include "support/qt/painted_area.h"

namespace korvalog {
namespace {

QImage Gradient(int height, QColor top, QColor bottom) {
  QImage image = test::Canvas(4, 40, QColor(1, 2, 3));
  QPainter painter(&image);
  GradientFill(painter, QRect(0, 5, 4, height), top, bottom);
  return image;
}

TEST(GradientFill, BandsTakeTheColourOfTheRowThatEndsThem) {
  // Four rows from 0 to 40 in one component: row y has 40 * y / 4 rounded,
  // i.e. 0, 10, 20, 30 and (the bottom edge) 40. The band ending at row y is
  // painted in row y's colour, so rows 5..8 show 10, 20, 30, 40.
  const QImage image = Gradient(4, QColor(0, 0, 0), QColor(40, 0, 0));
  EXPECT_EQ(image.pixelColor(0, 4), QColor(1, 2, 3));
  EXPECT_EQ(image.pixelColor(0, 5).red(), 10);
  EXPECT_EQ(image.pixelColor(3, 6).red(), 20);
  EXPECT_EQ(image.pixelColor(0, 7).red(), 30);
  EXPECT_EQ(image.pixelColor(0, 8).red(), 40);
  EXPECT_EQ(image.pixelColor(0, 9), QColor(1, 2, 3)) << "the bottom edge is exclusive";
}

TEST(GradientFill, RoundsHalfwayAndMakesWideBands) {
  // Two levels over ten rows: row k has 100 + (2k + 5) / 10, so 101 from
  // row 3 and 102 from row 8. The first band (rows 0-2) ends at row 3 and
  // takes 101; the second (rows 3-7) ends at row 8 and takes 102.
  const QImage image = Gradient(10, QColor(100, 100, 100), QColor(102, 100, 100));
  for (int y = 5; y < 8; ++y) EXPECT_EQ(image.pixelColor(0, y).red(), 101) << y;
  for (int y = 8; y < 15; ++y) EXPECT_EQ(image.pixelColor(0, y).red(), 102) << y;
}

TEST(GradientFill, FallingColoursTruncateTowardZero) {
  // 100 down to 90 over four rows: the bottom edge's colour is
  // 100 + (-10 * 4 + 2) / 4 = 100 - 9, so the last band shows 91, not 90.
  const QImage image = Gradient(4, QColor(100, 0, 0), QColor(90, 0, 0));
  EXPECT_EQ(image.pixelColor(0, 8).red(), 91);
}

TEST(GradientFill, EmptyAndFlatRectangles) {
  EXPECT_TRUE(test::InkBounds(Gradient(0, Qt::black, Qt::white), QColor(1, 2, 3)).isNull());
  EXPECT_TRUE(test::InkBounds(Gradient(-3, Qt::black, Qt::white), QColor(1, 2, 3)).isNull());
  const QImage flat = Gradient(6, QColor(9, 9, 9), QColor(9, 9, 9));
  EXPECT_EQ(test::CountColour(flat, QColor(9, 9, 9)), 4 * 6);
}

TEST(PlaceAtCursor, PullsTheWindowBackOntoTheScreen) {
  const QRect screen(0, 0, 1024, 768);
  EXPECT_EQ(PlacementAtCursor({100, 200}, {300, 100}, screen), QPoint(100, 200));
  // Bottom-right corner: right edge on the screen's right edge, bottom edge
  // 32 pixels above the screen's bottom.
  EXPECT_EQ(PlacementAtCursor({1023, 767}, {300, 100}, screen), QPoint(724, 636));
  // A second screen to the right of the first.
  EXPECT_EQ(PlacementAtCursor({2000, 10}, {300, 100}, QRect(1024, 0, 1024, 768)), QPoint(1748, 10));
  // Wider than the screen: the left edge, where the buttons are, stays on it.
  EXPECT_EQ(PlacementAtCursor({500, 10}, {2000, 100}, screen), QPoint(0, 10));
}

TEST(PlaceAtCursor, UsesTheCursorOfTheRunningSystem) {
  QWidget form;
  form.resize(200, 100);
  QCursor::setPos(40, 50);
  if (QCursor::pos() != QPoint(40, 50)) GTEST_SKIP() << "this platform cannot move the cursor";
  PlaceAtCursor(form);
  EXPECT_EQ(form.pos(), QPoint(40, 50));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  QCursor::setPos(screen.right(), screen.bottom());
  PlaceAtCursor(form);
  EXPECT_EQ(form.pos(), PlacementAtCursor(QCursor::pos(), form.frameGeometry().size(), screen));
}

TEST(FitOnScreen, ShrinksThenPullsTheFramedWindowIntoTheArea) {
  const QRect area(0, 0, 1600, 960);  // a 1600x1000 screen above a task bar
  const QMargins frame(2, 20, 2, 2);
  struct Case {
    QRect client, fitted;
  };
  const Case cases[] = {
      {{100, 100, 560, 360}, {100, 100, 560, 360}},    // fits: left as it is
      {{1300, 700, 560, 360}, {1038, 598, 560, 360}},  // off the corner: pulled in
      {{100, 100, 1800, 1360}, {2, 20, 1596, 938}},    // too big: shrunk, then placed
      {{-500, -30, 400, 300}, {2, 20, 400, 300}},      // above and left of the screen
  };
  for (const Case& c : cases) EXPECT_EQ(FitClientInto(c.client, frame, area), c.fitted) << c.client.x();
  // On a second screen to the right.
  EXPECT_EQ(FitClientInto({3000, 100, 300, 200}, frame, QRect(1600, 0, 1280, 1024)), QRect(2578, 100, 300, 200));
}

TEST(FileVersionText, FourNumbersFromTheBuild) {
  const std::string text = FileVersionText();
  EXPECT_EQ(text, VersionTextOf(KORVALOG_VERSION_TEXT));
  EXPECT_EQ(std::count(text.begin(), text.end(), '.'), 3);
}

TEST(FileVersionText, VersionTextOf) {
  EXPECT_EQ(VersionTextOf("1.8.0.0"), "1.8.0.0");
  EXPECT_EQ(VersionTextOf("1.8"), "1.8.0.0");
  EXPECT_EQ(VersionTextOf("2"), "2.0.0.0");
  EXPECT_EQ(VersionTextOf("01.65535.0.7"), "1.65535.0.7");
  EXPECT_EQ(VersionTextOf(""), "");
  EXPECT_EQ(VersionTextOf("1.2.3.4.5"), "");
  EXPECT_EQ(VersionTextOf("1..2"), "");
  EXPECT_EQ(VersionTextOf("1.65536"), "");
  EXPECT_EQ(VersionTextOf("1.2-beta"), "");
}

}  // namespace
}  // namespace korvalog

namespace korvalog {
namespace {

// What a dialog's answer changed is painted before the keys are asked back
// from the window system, whose reply the painting would otherwise wait for.
TEST(FocusBack, PaintsWhatChangedBeforeGivingTheKeysBack) {
  QWidget window;
  auto* chart = new QLineEdit(&window);
  window.show();
  chart->setFocus();
  QApplication::processEvents();
  test::PaintedArea painted;
  chart->installEventFilter(&painted);
  {
    const FocusBack back;
    chart->setText(QStringLiteral("12:00:00"));  // the dialog's answer
  }
  EXPECT_FALSE(painted.area.isEmpty());  // no event loop ran in between
  chart->removeEventFilter(&painted);
}

}  // namespace
}  // namespace korvalog
