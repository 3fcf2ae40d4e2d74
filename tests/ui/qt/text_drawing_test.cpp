#include "ui/qt/text_drawing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "base/time_text.h"
#include "kit_test_support.h"

namespace korvalog {
namespace {

using test::InkBounds;

class TextDrawing : public ::testing::Test {
 protected:
  QImage image = test::Canvas(300, 120);
  QPainter painter{&image};
  QFont font = test::SharpFont(14);
  QFontMetrics metrics{font};

  TextDrawing() {
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));
  }
  QImage Done() {
    painter.end();
    return image;
  }
  int Width(const std::string& text) const { return metrics.horizontalAdvance(KitText(text)); }
};

TEST_F(TextDrawing, RightAlignedEndsAtX) {
  TextOutRight(painter, 200, 10, "Wall");
  const QRect ink = InkBounds(Done());
  EXPECT_LE(ink.right(), 199);
  EXPECT_GE(ink.right(), 200 - 3);
  EXPECT_GE(ink.left(), 200 - Width("Wall"));
  EXPECT_GE(ink.top(), 10);
}

TEST_F(TextDrawing, DeltaTriangleSitsBeforeTheText) {
  TextOutDelta(painter, 20, 30, "1.50");
  const QImage done = Done();
  const int d = (2 * metrics.height()) / 3;
  const QColor windowText = SystemColourOf(SystemColour::WindowText, QGuiApplication::palette());
  // Apex, and the base line from the left corner.
  EXPECT_EQ(done.pixelColor(20 + d / 2, 30 + d / 3), windowText);
  for (int x = 20; x < 20 + d; ++x) EXPECT_EQ(done.pixelColor(x, 30 + d / 3 + d), windowText) << x;
  // The text starts one and a half triangles to the right.
  EXPECT_EQ(InkBounds(done).left(), 20);
  EXPECT_GE(InkBounds(done).right(), 20 + (3 * d) / 2 + Width("1.50") - 3);
}

TEST_F(TextDrawing, DeltaCentredCentresTheTextOnly) {
  TextOutDeltaCentred(painter, 150, 30, "1.50");
  const int d = (2 * metrics.height()) / 3;
  const int x = 150 - Width("1.50") / 2;
  EXPECT_EQ(InkBounds(Done()).left(), x);
  EXPECT_EQ(image.pixelColor(x + d / 2, 30 + d / 3),
            SystemColourOf(SystemColour::WindowText, QGuiApplication::palette()));
}

TEST_F(TextDrawing, VerticalTextReadsUpwardFromTheBaseCorner) {
  TextOutVertical(painter, 50, 100, "Door open");
  const QRect ink = InkBounds(Done());
  // Turned anticlockwise: as wide as a line is high, as high as the text is
  // wide, its first character at the bottom.
  EXPECT_GE(ink.left(), 50);
  EXPECT_LE(ink.right(), 50 + metrics.height() - 1);
  EXPECT_LE(ink.bottom(), 100);
  EXPECT_GE(ink.top(), 100 - Width("Door open") + 1);
  EXPECT_GT(ink.height(), 3 * ink.width());
  // Smoothing shades become the solid pen colour.
  for (int y = ink.top(); y <= ink.bottom(); ++y)
    for (int x = ink.left(); x <= ink.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      EXPECT_TRUE(c == QColor(Qt::white) || c == QColor(0, 0, 128)) << x << "," << y;
    }
}

TEST_F(TextDrawing, VerticalTextMatchesTheTurnedFlatText) {
  const QImage flatOnly = [&] {
    QImage flat = test::Canvas(Width("Ab"), metrics.height());
    QPainter p(&flat);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(0, metrics.ascent(), QStringLiteral("Ab"));
    return flat;
  }();
  TextOutVertical(painter, 10, 60, "Ab");
  const QImage done = Done();
  // Turned glyphs are rasterised turned: a one-pixel stroke may land on the
  // neighbouring pixel, so each ink pixel of either must have ink of the
  // other within one pixel.
  const auto doneInk = [&](int x, int y) { return done.pixelColor(x, y) == QColor(0, 0, 128); };
  const auto flatInk = [&](int j, int i) {
    return j >= 0 && i >= 0 && j < flatOnly.width() && i < flatOnly.height() &&
           flatOnly.pixelColor(j, i) != QColor(Qt::white);
  };
  const auto near = [](auto&& inkAt, int a, int b) {
    for (int da = -1; da <= 1; ++da)
      for (int db = -1; db <= 1; ++db)
        if (inkAt(a + da, b + db)) return true;
    return false;
  };
  int ink = 0;
  for (int i = 0; i < flatOnly.height(); ++i)
    for (int j = 0; j < flatOnly.width(); ++j) {
      if (!flatInk(j, i)) continue;
      ++ink;
      EXPECT_TRUE(near(doneInk, 10 + i, 60 - j)) << j << "," << i;
    }
  EXPECT_GT(ink, 20);
  for (int y = 0; y < done.height(); ++y)
    for (int x = 0; x < done.width(); ++x)
      if (doneInk(x, y)) {
        EXPECT_TRUE(near(flatInk, 60 - y, x - 10)) << x << "," << y;
      }
}

TEST_F(TextDrawing, EmptyTextsDrawNothing) {
  TextOutVertical(painter, 50, 100, "");
  TextOutRight(painter, 50, 10, "");
  EXPECT_TRUE(InkBounds(Done()).isNull());
}

TEST_F(TextDrawing, TimeSpanLabelsBothEndsAndTheDuration) {
  const double start = 46362.35733;
  const double end = start + 75.5 / 86400.0;
  painter.end();
  image = test::Canvas(500, 120);
  painter.begin(&image);
  painter.setFont(font);
  painter.setPen(QColor(0, 0, 128));
  DrawTimeSpan(painter, 4, 496, 10, start, end);
  painter.end();
  QImage expected = test::Canvas(500, 120);
  {
    QPainter p(&expected);
    p.setFont(font);
    p.setPen(QColor(0, 0, 128));
    p.drawText(4, 10 + metrics.ascent(), KitText(FormatTimeStamp(start)));
    TextOutRight(p, 496, 10, FormatTimeStamp(end));
    TextOutDeltaCentred(p, 250, 10, "1:15.50");
  }
  EXPECT_EQ(image, expected);
}

TEST_F(TextDrawing, NarrowTimeSpanLeavesOutWhatWouldOverlap) {
  const double start = 46362.35733;
  const double end = start + 75.5 / 86400.0;
  const int stamp = Width(FormatTimeStamp(start));
  struct Case {
    int width;
    bool end, duration;
  } cases[] = {{2 * stamp + 40, true, false}, {stamp + 20, false, false}};
  for (const Case& c : cases) {
    QImage drawn = test::Canvas(600, 40), expected = test::Canvas(600, 40);
    {
      QPainter p(&drawn);
      p.setFont(font);
      p.setPen(QColor(0, 0, 128));
      DrawTimeSpan(p, 4, 4 + c.width, 10, start, end);
    }
    {
      QPainter p(&expected);
      p.setFont(font);
      p.setPen(QColor(0, 0, 128));
      TextOutAt(p, 4, 10, FormatTimeStamp(start));
      if (c.end) TextOutRight(p, 4 + c.width, 10, FormatTimeStamp(end));
    }
    EXPECT_EQ(drawn, expected) << c.width;
  }
}

}  // namespace
}  // namespace korvalog
