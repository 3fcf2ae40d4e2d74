#include <QFontMetrics>
#include <QTest>
#include <gtest/gtest.h>

#include "kit_test_support.h"
#include "ui/qt/box.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/container.h"
#include "ui/qt/nice_label.h"

namespace korvalog {
namespace {

using test::CountColour;
using test::InkBounds;

// A paper colour no theme colour has.
const QColor kPaper(200, 220, 240);

// Controls on a plain parent, so that what they paint stands out.
class Controls : public ::testing::Test {
 protected:
  Controls() {
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, kPaper);
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    parent.setFont(test::SharpFont());
    parent.resize(300, 200);
  }
  QImage Grab(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }
  QColor Colour(SystemColour c) { return SystemColourOf(c, parent.palette()); }

  QWidget parent;
};

TEST_F(Controls, LabelAutoSizeWithEmptyCaption) {
  TNiceLabel label(&parent);
  label.SetAutoSize(true);
  label.SetCaption("");
  EXPECT_EQ(label.width(), 4);
  EXPECT_EQ(label.height(), QFontMetrics(label.font()).height() + 1);
}

TEST_F(Controls, LabelAutoSizeFollowsCaptionGapAndFont) {
  TNiceLabel label(&parent);
  label.SetCaption("Door open");
  label.resize(10, 10);
  EXPECT_EQ(label.size(), QSize(10, 10)) << "no fitting while AutoSize is off";
  label.SetAutoSize(true);
  const QFontMetrics metrics(label.font());
  EXPECT_EQ(label.size(), QSize(metrics.horizontalAdvance(QStringLiteral("Door open")),
                                metrics.height() + 1));
  label.SetGap(5);
  EXPECT_EQ(label.size(), QSize(metrics.horizontalAdvance(QStringLiteral("Door open")) + 10,
                                metrics.height() + 11));
  label.setFont(test::SharpFont(20));
  EXPECT_EQ(label.height(), QFontMetrics(test::SharpFont(20)).height() + 11);
}

TEST_F(Controls, LabelStoresLineBreaksAsCodes) {
  TNiceLabel label(&parent);
  label.SetCaption("A\r\nB");
  EXPECT_EQ(label.Caption(), "A\\nB");
  label.SetAutoSize(true);
  EXPECT_EQ(label.height(), 2 * (QFontMetrics(label.font()).height() + 1));
  // A bare line feed breaks the line too, keeping the character before it.
  label.SetCaption("AB\nC");
  EXPECT_EQ(label.Caption(), "AB\\nC");
  label.SetCaption("\nA");
  EXPECT_EQ(label.Caption(), "\\nA");
  EXPECT_EQ(label.property("Caption").toString(), QStringLiteral("\\nA"));
}

TEST_F(Controls, LabelAlignmentPlacesTheTextAndItsFrame) {
  TNiceLabel label(&parent);
  label.setGeometry(0, 0, 200, 30);
  label.SetCaption("\\bW");
  label.SetBorder(bLowered);
  QFont bold = label.font();
  bold.setBold(true);
  const int w = QFontMetrics(bold).horizontalAdvance(QStringLiteral("W"));
  const QColor shadow = Colour(SystemColour::ButtonShadow);

  QImage image = Grab(label);
  EXPECT_EQ(image.pixelColor(0, 5), shadow) << "frame's left edge at the text";
  EXPECT_LT(InkBounds(image, kPaper).right(), w);

  label.SetAlignment(Qt::AlignRight);
  image = Grab(label);
  EXPECT_EQ(image.pixelColor(200 - w, 5), shadow);
  EXPECT_GE(InkBounds(image, kPaper).left(), 200 - w);

  label.SetAlignment(Qt::AlignHCenter);
  image = Grab(label);
  EXPECT_EQ(image.pixelColor((200 - w) / 2, 5), shadow);
}

TEST_F(Controls, LabelPaintHookRunsFirst) {
  TNiceLabel label(&parent);
  label.setGeometry(0, 0, 60, 20);
  label.SetCaption("W");
  QObject::connect(&label, &TNiceLabel::Painting,
                   [](QPainter* painter) { painter->fillRect(0, 0, 60, 20, Qt::yellow); });
  const QImage image = Grab(label);
  EXPECT_EQ(image.pixelColor(59, 19), QColor(Qt::yellow));
  EXPECT_GT(CountColour(image, Qt::black), 0) << "the caption draws over the hook's painting";
}

TEST_F(Controls, BoxDrawsEtchedLinesOnItsSides) {
  TBox box(&parent);
  box.setGeometry(0, 0, 40, 30);
  const QColor shadow = Colour(SystemColour::ButtonShadow);
  const QColor light = Colour(SystemColour::ButtonHighlight);
  box.SetLineBottom(false);
  box.SetLineLeft(false);
  box.SetLineRight(false);
  QImage image = Grab(box);
  EXPECT_EQ(image.pixelColor(0, 0), shadow);
  EXPECT_EQ(image.pixelColor(37, 0), shadow);
  EXPECT_EQ(image.pixelColor(1, 1), light);
  EXPECT_EQ(image.pixelColor(38, 1), light);
  EXPECT_EQ(InkBounds(image, kPaper), QRect(0, 0, 39, 2));

  box.SetLineTop(false);
  EXPECT_TRUE(InkBounds(Grab(box), kPaper).isNull()) << "all lines off paints nothing";

  box.SetLineLeft(true);
  box.SetLineRight(true);
  image = Grab(box);
  EXPECT_EQ(image.pixelColor(0, 10), shadow);
  EXPECT_EQ(image.pixelColor(1, 10), light);
  EXPECT_EQ(image.pixelColor(38, 10), shadow);
  EXPECT_EQ(image.pixelColor(39, 10), light);
}

class Buttons : public Controls {
 protected:
  TBtnTransparent* Add(int group) {
    auto* button = new TBtnTransparent(&parent);
    button->setGeometry(10 + 90 * static_cast<int>(buttons.size()), 10, 80, 26);
    button->SetGroupIndex(group);
    buttons.push_back(button);
    return button;
  }
  void Press(TBtnTransparent* b) { QTest::mousePress(b, Qt::LeftButton, {}, QPoint(40, 13)); }
  void Release(TBtnTransparent* b) { QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(40, 13)); }
  void Click(TBtnTransparent* b) { Press(b); Release(b); }
  std::vector<TBtnTransparent*> buttons;
};

TEST_F(Buttons, OutsideAGroupDownOnlyWhileHeld) {
  TBtnTransparent* b = Add(0);
  int clicks = 0;
  QObject::connect(b, &TBtnTransparent::Clicked, [&] { ++clicks; });
  Press(b);
  EXPECT_TRUE(b->Down());
  Release(b);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(b, Qt::RightButton, {}, QPoint(40, 13));
  EXPECT_EQ(clicks, 1) << "only the left button clicks";
  EXPECT_FALSE(b->Down());
}

TEST_F(Buttons, GroupsLatchAndReleaseEachOther) {
  TBtnTransparent* first = Add(1);
  TBtnTransparent* second = Add(1);
  TBtnTransparent* other = Add(2);
  Click(first);
  Click(other);
  EXPECT_TRUE(first->Down());
  EXPECT_TRUE(other->Down()) << "another group is not touched";
  Click(second);
  EXPECT_FALSE(first->Down());
  EXPECT_TRUE(second->Down());
  Press(second);
  EXPECT_TRUE(second->Down());
  Release(second);
  EXPECT_FALSE(second->Down()) << "pressing a latched button releases it";
  EXPECT_FALSE(first->Down());
  EXPECT_TRUE(other->Down());
}

TEST_F(Buttons, BevelRingsAndTheirColours) {
  TBtnTransparent* b = Add(0);
  const QColor light = Colour(SystemColour::ButtonHighlight);
  const QColor shadow = Colour(SystemColour::ButtonShadow);
  const QColor frame = Colour(SystemColour::WindowFrame);
  b->SetBevel(3);
  QImage image = Grab(*b);
  EXPECT_EQ(image.pixelColor(0, 13), light);
  EXPECT_EQ(image.pixelColor(79, 13), frame);
  EXPECT_EQ(image.pixelColor(40, 25), frame);
  EXPECT_EQ(image.pixelColor(78, 13), shadow);
  EXPECT_EQ(image.pixelColor(77, 13), shadow);
  EXPECT_EQ(image.pixelColor(76, 13), kPaper) << "only three rings";
  // Lines leave out their end points: the bottom-left corners belong to the
  // left edges, the top-right ones to the right edges.
  const int bottom = image.height() - 1;
  EXPECT_EQ(image.pixelColor(0, bottom), light);
  EXPECT_EQ(image.pixelColor(2, bottom - 2), light);
  EXPECT_EQ(image.pixelColor(79, 0), frame);
  EXPECT_EQ(image.pixelColor(77, 2), shadow);
  b->SetDown(true);
  image = Grab(*b);
  EXPECT_EQ(image.pixelColor(0, 13), frame);
  EXPECT_EQ(image.pixelColor(1, 13), shadow);
  EXPECT_EQ(image.pixelColor(79, 13), light);
  b->SetBevel(0);
  EXPECT_TRUE(InkBounds(Grab(*b), kPaper).isNull());
}

TEST_F(Buttons, GlyphAloneIsCentredAndItsLowerLeftColourHidden) {
  TBtnTransparent* b = Add(0);
  b->SetBevel(0);
  QImage glyph(16, 16, QImage::Format_RGB32);
  glyph.fill(QColor(255, 0, 255));
  glyph.setPixelColor(8, 8, QColor(0, 0, 200));
  b->SetGlyph(glyph);
  glyph.fill(Qt::green);  // the button keeps its own copy
  const QImage image = Grab(*b);
  EXPECT_EQ(CountColour(image, QColor(255, 0, 255)), 0);
  EXPECT_EQ(InkBounds(image, kPaper), QRect((80 - 16) / 2 + 8, (26 - 16) / 2 + 8, 1, 1));
}

TEST_F(Buttons, CaptionAloneIsCentredAndGreyWhenDisabled) {
  TBtnTransparent* b = Add(0);
  b->SetBevel(0);
  b->SetCaption(QStringLiteral("OK"));
  const QFontMetrics metrics(b->font());
  const int tw = metrics.horizontalAdvance(QStringLiteral("OK"));
  QImage image = Grab(*b);
  const QRect ink = InkBounds(image, kPaper);
  EXPECT_GE(ink.left(), (80 - tw) / 2);
  EXPECT_LE(ink.right(), (80 - tw) / 2 + tw);
  EXPECT_GT(CountColour(image, Qt::black), 0);
  b->setEnabled(false);
  image = Grab(*b);
  EXPECT_EQ(CountColour(image, Qt::black), 0);
  EXPECT_GT(CountColour(image, QColor(128, 128, 128)), 0);
}

TEST_F(Buttons, GlyphAndCaptionLayouts) {
  TBtnTransparent* b = Add(0);
  b->setGeometry(0, 0, 80, 60);
  b->SetBevel(0);
  b->SetCaption(QStringLiteral("W"));
  QImage glyph(16, 16, QImage::Format_RGB32);
  glyph.fill(QColor(0, 0, 200));
  glyph.setPixelColor(0, 15, QColor(255, 0, 255));
  b->SetGlyph(glyph);
  const QFontMetrics metrics(b->font());
  const int tw = metrics.horizontalAdvance(QStringLiteral("W"));
  const int th = metrics.height();
  const auto glyphBounds = [&] {
    const QImage image = Grab(*b);
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == QColor(0, 0, 200)) bounds |= QRect(x, y, 1, 1);
    return bounds;
  };
  const int mxSide = (80 - (4 + tw + 16)) / 2;
  EXPECT_EQ(glyphBounds().topLeft(), QPoint(mxSide, (60 - 16) / 2));
  b->SetLayout(blGlyphRight);
  EXPECT_EQ(glyphBounds().topLeft(), QPoint(80 - mxSide - 16, (60 - 16) / 2));
  const int my = (60 - (4 + th + 16)) / 2;
  b->SetLayout(blGlyphTop);
  EXPECT_EQ(glyphBounds().topLeft(), QPoint((80 - 16) / 2, my));
  b->SetLayout(blGlyphBottom);
  EXPECT_EQ(glyphBounds().topLeft(), QPoint((80 - 16) / 2, 60 - my - 16));
}

TEST_F(Controls, ContainerPaintsNothingAndFollowsTheParentFont) {
  TContainer container(&parent);
  container.setGeometry(0, 0, 50, 50);
  EXPECT_TRUE(InkBounds(Grab(container), kPaper).isNull());
  EXPECT_TRUE(container.ParentFont());
  container.SetParentFont(false);
  parent.setFont(test::SharpFont(30));
  EXPECT_NE(container.font().pixelSize(), 30);
  container.SetParentFont(true);
  EXPECT_EQ(container.font().pixelSize(), 30);
}

}  // namespace
}  // namespace korvalog
