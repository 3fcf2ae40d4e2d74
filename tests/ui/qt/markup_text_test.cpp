#include "ui/qt/markup_text.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <string>

#include "kit_test_support.h"

namespace korvalog {
namespace {

using test::CountColour;
using test::InkBounds;
using test::SharpFont;

class MarkupText : public ::testing::Test {
 protected:
  QFont font = SharpFont();
  QFontMetrics metrics{font};
  int base = metrics.height() + 1;  // base line height
  MarkupStyle style;

  int Width(const char* text, const QFont& f) const { return QFontMetrics(f).horizontalAdvance(QLatin1String(text)); }
  int Width(const char* text) const { return Width(text, font); }

  MarkupExtent Measure(const std::string& text, int x = 0, int y = 0, int margin = 0) const {
    return MeasureMarkupText(font, nullptr, x, y, margin, text, style);
  }

  // Draws on a white canvas with a black pen and gives the canvas.
  QImage Draw(const std::string& text, MarkupExtent* extent = nullptr, int w = 200, int h = 60) {
    QImage image = test::Canvas(w, h);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const MarkupExtent drawn = DrawMarkupText(painter, 0, 0, 0, text, style);
    if (extent) *extent = drawn;
    return image;
  }
};

TEST_F(MarkupText, PlainTextExtents) {
  MarkupExtent e = Measure("Abc");
  EXPECT_EQ(e.right, Width("Abc"));
  EXPECT_EQ(e.bottom, base);
  // The margin counts on every side, in absolute canvas coordinates.
  e = Measure("Abc", 10, 20, 3);
  EXPECT_EQ(e.right, 10 + 3 + Width("Abc") + 3);
  EXPECT_EQ(e.bottom, 20 + 3 + base + 3);
}

TEST_F(MarkupText, EmptyTextIsOneBaseLineHighAndNoWidth) {
  const MarkupExtent e = Measure("");
  EXPECT_EQ(e.right, 0);
  EXPECT_EQ(e.bottom, base);
}

TEST_F(MarkupText, BoldAndSizedExtents) {
  QFont bold = font;
  bold.setBold(true);
  EXPECT_EQ(Measure("\\bAbc").right, Width("Abc", bold));
  EXPECT_EQ(Measure("\\BAbc").right, Width("Abc", bold)) << "letter codes ignore case";

  QFont big = font;
  big.setPixelSize(2 * font.pixelSize());
  const MarkupExtent e = Measure("\\]Big");
  EXPECT_EQ(e.right, Width("Big", big));
  EXPECT_EQ(e.bottom, std::max(base, QFontMetrics(big).height()));

  QFont small = font;
  small.setPixelSize((2 * font.pixelSize()) / 3);
  EXPECT_EQ(Measure("\\^ab").right, Width("ab", small));
  QFont half = font;
  half.setPixelSize((3 * font.pixelSize()) / 2);
  EXPECT_EQ(Measure("\\|ab\\[cd").right, Width("ab", half) + Width("cd"));
}

TEST_F(MarkupText, LinesStackByTheTallestRun) {
  MarkupExtent e = Measure("One\\nLonger line");
  EXPECT_EQ(e.right, Width("Longer line"));
  EXPECT_EQ(e.bottom, 2 * base);

  QFont big = font;
  big.setPixelSize(2 * font.pixelSize());
  e = Measure("\\]Big\\[\\n\\nEnd");
  EXPECT_EQ(e.bottom, QFontMetrics(big).height() + 2 * base);
}

TEST_F(MarkupText, LineWithOnlyASizeChangeAdvancesByTheBaseHeight) {
  EXPECT_EQ(Measure("\\]\\n\\[A").bottom, 2 * base);
  QFont big = font;
  big.setPixelSize(2 * font.pixelSize());
  EXPECT_EQ(Measure("\\]X\\n\\[A").bottom, QFontMetrics(big).height() + base);
}

TEST_F(MarkupText, BackslashesDrawNothingAndUnknownCodesAreSkipped) {
  MarkupExtent e;
  EXPECT_TRUE(InkBounds(Draw("\\\\", &e)).isNull());
  EXPECT_EQ(e.right, 0);
  EXPECT_TRUE(InkBounds(Draw("\\")).isNull());

  // A lone trailing backslash: everything before it is drawn, nothing more.
  EXPECT_EQ(Draw("Ab\\"), Draw("Ab"));
  EXPECT_EQ(Measure("Ab\\").right, Width("Ab"));

  // "\x" is no code: neither it nor the x is drawn.
  const QImage skipped = Draw("A\\xB", &e);
  EXPECT_EQ(e.right, Width("A") + Width("B"));
  QImage separate = test::Canvas(200, 60);
  {
    QPainter painter(&separate);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(0, metrics.ascent(), QStringLiteral("A"));
    painter.drawText(Width("A"), metrics.ascent(), QStringLiteral("B"));
  }
  EXPECT_EQ(skipped, separate);
}

TEST_F(MarkupText, TabColumnsCountFromTheLeftEvenBackwards) {
  style.tabWidth = 1;
  const int step = Width("A");
  const int longRun = Width("WWWWWWWW");
  ASSERT_GT(longRun, step + Width("A"));
  EXPECT_EQ(Measure("WWWWWWWW\\tA").right, longRun);
  EXPECT_EQ(Measure("\\t\\tA").right, 2 * step + Width("A"));
  // The tab count starts again on each line.
  EXPECT_EQ(Measure("\\t\\tA\\n\\tA").right, 2 * step + Width("A"));
  style.tabWidth = 16;
  EXPECT_EQ(Measure("x\\tA").right, 16 * step + Width("A"));
}

TEST_F(MarkupText, PenMovesOfTheLastCodeAreNotCounted) {
  style.tabWidth = 8;
  EXPECT_EQ(Measure("A\\t").right, Width("A"));
  // The delta sign moves the pen by two sides of its triangle plus one.
  const int s = (3 * base) / 8;
  EXPECT_EQ(Measure("\\DA").right, 2 * s + 1 + Width("A"));
}

TEST_F(MarkupText, DeltaTakesTheCanvasPenNotTheTextColour) {
  // Green text, then the delta sign: the sign keeps the canvas's black pen.
  const QImage image = Draw("\\2A\\D");
  const int x = Width("A");
  const QImage sign = image.copy(x, 0, image.width() - x, image.height());
  EXPECT_EQ(sign.pixelColor(0, (4 * base) / 5), QColor(Qt::black));
  EXPECT_GT(CountColour(sign, QColor(Qt::black)), (3 * base) / 8 * 4);
  EXPECT_EQ(CountColour(sign, QColor(0, 128, 0)), 0);
  EXPECT_GT(CountColour(image, QColor(0, 128, 0)), 0) << "the text itself is green";
}

TEST_F(MarkupText, MeasuringGivesTheDrawnExtents) {
  const char* texts[] = {"", "Plain", "\\bBold\\b and \\iitalic", "\\]Big\\[\\nsmall\\^tiny",
                         "Name\\tValue\\nx\\t\\D1.50", "\\1\\b\\|Capture in progress.\\b\\[\\n\\nEnd",
                         "\\hinverse\\h\\u under", "trailing\\"};
  for (const char* text : texts) {
    MarkupExtent drawn;
    Draw(text, &drawn, 400, 120);
    const MarkupExtent measured = Measure(text);
    EXPECT_EQ(measured.right, drawn.right) << text;
    EXPECT_EQ(measured.bottom, drawn.bottom) << text;
  }
}

TEST_F(MarkupText, ColourCodesColourTheRuns) {
  font = SharpFont(16);
  font.setBold(true);
  const QImage image = Draw("\\9\\bWWW", nullptr, 200, 40);
  EXPECT_GT(CountColour(image, QColor(255, 0, 0)), 20);
  EXPECT_EQ(CountColour(image, Qt::black), 0);
  // "\0" brings back the base colour for the runs after it.
  const QImage mixed = Draw("\\9W\\0W", nullptr, 200, 40);
  const int split = QFontMetrics(font).horizontalAdvance(QStringLiteral("W"));
  EXPECT_GT(CountColour(mixed, QColor(255, 0, 0), QRect(0, 0, split, 40)), 0);
  EXPECT_GT(CountColour(mixed, Qt::black, QRect(split, 0, split, 40)), 0);
  EXPECT_EQ(CountColour(mixed, QColor(255, 0, 0), QRect(split, 0, split, 40)), 0);
}

TEST_F(MarkupText, InverseVideoSwapsPaperAndInk) {
  const QImage image = Draw("\\hWW", nullptr, 100, 40);
  const int w = Width("WW");
  const int h = metrics.height();
  // The run's cell is filled with the text colour and the glyphs show paper.
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(w - 1, h - 1), QColor(Qt::black));
  EXPECT_GT(CountColour(image, Qt::white, QRect(0, 0, w, h)), 10);
  EXPECT_EQ(InkBounds(image), QRect(0, 0, w, h));
}

TEST_F(MarkupText, PainterSizeAndColourComeBackStyleStays) {
  QImage image = test::Canvas(200, 60);
  QPainter painter(&image);
  QFont entry = font;
  entry.setBold(true);
  painter.setFont(entry);
  painter.setPen(QColor(0, 0, 128));
  // The style is reset to plain on entry: a bold font measures plain.
  EXPECT_EQ(DrawMarkupText(painter, 0, 0, 0, "Abc", style).right, Width("Abc"));
  DrawMarkupText(painter, 0, 0, 0, "\\]\\9\\iBig", style);
  EXPECT_EQ(painter.font().pixelSize(), font.pixelSize());
  EXPECT_EQ(painter.pen().color(), QColor(0, 0, 128));
  EXPECT_TRUE(painter.font().italic());
  EXPECT_FALSE(painter.font().bold());
}

TEST_F(MarkupText, PointSizedFontsComeBackExactly) {
  QImage image = test::Canvas(200, 60);
  QPainter painter(&image);
  QFont points(QString::fromLatin1(kKitSansFamily));
  points.setPointSizeF(10.5);
  painter.setFont(points);
  const MarkupExtent drawn = DrawMarkupText(painter, 0, 0, 2, "\\]Big\\[small\\|x", style);
  EXPECT_DOUBLE_EQ(painter.font().pointSizeF(), 10.5);
  const MarkupExtent measured =
      MeasureMarkupText(points, &image, 0, 0, 2, "\\]Big\\[small\\|x", style);
  EXPECT_EQ(drawn.right, measured.right);
  EXPECT_EQ(drawn.bottom, measured.bottom);
}

TEST_F(MarkupText, ColourTable) {
  EXPECT_EQ(*MarkupCodeColour('1'), QColor(128, 0, 0));
  EXPECT_EQ(*MarkupCodeColour('9'), QColor(255, 0, 0));
  EXPECT_EQ(*MarkupCodeColour(':'), QColor(0, 255, 0));
  EXPECT_EQ(*MarkupCodeColour('?'), QColor(255, 255, 255));
  EXPECT_FALSE(MarkupCodeColour('0').has_value());
  EXPECT_FALSE(MarkupCodeColour('@').has_value());
}

TEST(BevelFrame, LoweredAndRaisedColours) {
  const QPalette palette = QGuiApplication::palette();
  const QColor shadow = SystemColourOf(SystemColour::ButtonShadow, palette);
  const QColor window = SystemColourOf(SystemColour::Window, palette);
  for (TBorder border : {bLowered, bRaised}) {
    QImage image = test::Canvas(20, 20, QColor(1, 2, 3));
    QPainter painter(&image);
    DrawBevelFrame(painter, 2, 3, border, 15, 16, palette);
    painter.end();
    const QColor first = border == bLowered ? shadow : window;
    const QColor second = border == bLowered ? window : shadow;
    EXPECT_EQ(image.pixelColor(2, 9), first);
    EXPECT_EQ(image.pixelColor(9, 3), first);
    EXPECT_EQ(image.pixelColor(16, 9), second);
    EXPECT_EQ(image.pixelColor(9, 15), second);
    // Each line leaves out its end point: a corner belongs to the line that
    // starts there.
    EXPECT_EQ(image.pixelColor(2, 15), first);
    EXPECT_EQ(image.pixelColor(2, 3), first);
    EXPECT_EQ(image.pixelColor(16, 3), second);
    EXPECT_EQ(image.pixelColor(16, 15), second);
    EXPECT_EQ(InkBounds(image, QColor(1, 2, 3)), QRect(QPoint(2, 3), QPoint(16, 15)));
  }
  QImage none = test::Canvas(20, 20);
  QPainter painter(&none);
  DrawBevelFrame(painter, 2, 3, bNone, 15, 16, palette);
  painter.end();
  EXPECT_TRUE(InkBounds(none).isNull());
}

}  // namespace
}  // namespace korvalog
