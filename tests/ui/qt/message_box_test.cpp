#include "ui/qt/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "kit_test_support.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/button_glyphs.h"
#include "ui/qt/markup_text.h"

namespace korvalog {
namespace {

const MarkupStyle kStyle;

// A box shown without blocking, so that keys and clicks can be fed to it.
std::unique_ptr<TMessageBoxForm> Shown(const char* text, const char* buttons, int kind = 2) {
  auto form = std::make_unique<TMessageBoxForm>(kind, text, buttons, kStyle);
  form->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  return form;
}

int AfterKey(Qt::Key key, char text = 0) {
  auto form = Shown("Save?", "Yes,No");
  if (text) {
    QTest::keyClick(form.get(), text);
  } else {
    QTest::keyClick(form.get(), key);
  }
  EXPECT_FALSE(form->isVisible());
  return form->Result();
}

TEST(MessageBox, ClicksGiveTheButtonIndex) {
  auto form = Shown("Save?", "Yes,No");
  ASSERT_EQ(form->Buttons().size(), 2u);
  EXPECT_EQ(form->Result(), -1);
  QTest::mouseClick(form->Buttons()[1], Qt::LeftButton, {}, QPoint(40, 13));
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->Result(), 1);
}

TEST(MessageBox, KeysAnswer) {
  EXPECT_EQ(AfterKey(Qt::Key_Return), 0);
  EXPECT_EQ(AfterKey(Qt::Key_Enter), 0);
  EXPECT_EQ(AfterKey(Qt::Key_Space, ' '), 0);
  EXPECT_EQ(AfterKey(Qt::Key_Escape), -1);
  EXPECT_EQ(AfterKey(Qt::Key_1, '1'), 0);
  EXPECT_EQ(AfterKey(Qt::Key_2, '2'), 1);
  // Digits answer whether or not that many buttons exist.
  EXPECT_EQ(AfterKey(Qt::Key_5, '5'), 4);
  EXPECT_EQ(AfterKey(Qt::Key_9, '9'), 8);
}

TEST(MessageBox, OtherKeysKeepItOpenUndecided) {
  auto form = Shown("Save?", "Yes,No");
  QTest::keyClick(form.get(), 'x');
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->Result(), -2);
  QTest::keyClick(form.get(), '0');
  EXPECT_TRUE(form->isVisible());
  // Keys that type nothing are no answer at all.
  QTest::keyClick(form.get(), Qt::Key_Shift);
  EXPECT_TRUE(form->isVisible());
  // Closed another way after an undeciding key: still undecided.
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->Result(), -2);

  form = Shown("Save?", "Yes,No");
  form->close();
  EXPECT_EQ(form->Result(), -1);
}

TEST(MessageBox, GlyphsByKeyword) {
  auto form = Shown("Pick", "Yes,No,Annotate,Help");
  const auto& buttons = form->Buttons();
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_EQ(buttons[0]->Glyph(), ButtonGlyphImage(kGlyphTick));
  EXPECT_EQ(buttons[1]->Glyph(), ButtonGlyphImage(kGlyphCross));
  EXPECT_EQ(buttons[2]->Glyph(), ButtonGlyphImage(kGlyphCross));
  EXPECT_TRUE(buttons[3]->Glyph().isNull());
  EXPECT_EQ(buttons[2]->Caption(), QStringLiteral("Annotate"));
}

TEST(MessageBox, OneWordLayout) {
  auto form = Shown("Done", "OK", 0);
  EXPECT_EQ(form->ClientSize(), QSize(118, 97));
  EXPECT_EQ(form->StripTop(), 65);
  ASSERT_EQ(form->Buttons().size(), 1u);
  EXPECT_EQ(form->Buttons()[0]->geometry(), QRect(4, 69, 80, 26));
  EXPECT_EQ(form->size(), QSize(118 + 2 * TMessageBoxForm::kFrame, 97 + 2 * TMessageBoxForm::kFrame));
}

TEST(MessageBox, ButtonsWidenAShortMessage) {
  auto form = Shown("Hi", "Save,Discard,Cancel");
  EXPECT_EQ(form->ClientSize().width(), 4 + 3 * 84);
  const auto& buttons = form->Buttons();
  EXPECT_EQ(buttons[2]->geometry(), QRect(4 + 2 * 84, 69, 80, 26));
}

TEST(MessageBox, LongTextWidensAndHeightensTheBox) {
  const std::string text = "A line of text long enough to pass the icon\\nand a second line\\nand a third\\nand a fourth";
  auto form = Shown(text.c_str(), "OK");
  const MarkupExtent extent = MeasureMarkupText(form->font(), form->Client(), 60, 8, 4, text, kStyle);
  EXPECT_EQ(form->ClientSize().width(), extent.right + 8);
  EXPECT_EQ(form->StripTop(), extent.bottom + 8);
  EXPECT_EQ(form->ClientSize().height(), extent.bottom + 40);
}

TEST(MessageBox, EmptyButtonListGivesNoButtons) {
  auto form = Shown("Nothing to press", "");
  EXPECT_TRUE(form->Buttons().empty());
  QTest::keyClick(form.get(), Qt::Key_Escape);
  EXPECT_EQ(form->Result(), -1);
}

TEST(MessageBox, LookOfTheParts) {
  auto form = Shown("\\9\\bWarning", "OK", 0);
  const QImage image = form->Client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QPalette palette = form->palette();
  // The icon: blue panel of the information kind inside the 53 x 53 box.
  EXPECT_EQ(image.pixelColor(10, 40), QColor(0, 0, 255));
  // The sunken frame: shadow on its left edge at x 60, from y 8.
  EXPECT_EQ(image.pixelColor(60, 20), SystemColourOf(SystemColour::ButtonShadow, palette));
  EXPECT_EQ(image.pixelColor(70, 8), SystemColourOf(SystemColour::ButtonShadow, palette));
  // The text in red, inside the frame from (64, 12).
  QRect red;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == QColor(255, 0, 0)) red |= QRect(x, y, 1, 1);
  ASSERT_FALSE(red.isNull());
  EXPECT_GE(red.left(), 64);
  EXPECT_GE(red.top(), 12);
  // The strip: etched line at its top and a gradient towards the scroll-bar colour.
  EXPECT_EQ(image.pixelColor(100, 65), SystemColourOf(SystemColour::ButtonShadow, palette));
  EXPECT_EQ(image.pixelColor(100, 66), SystemColourOf(SystemColour::ButtonHighlight, palette));
  // (Falling colours truncate toward zero, so the last row may stop one short.)
  EXPECT_NEAR(image.pixelColor(100, 96).red(), SystemColourOf(SystemColour::ScrollBar, palette).red(), 1);
  EXPECT_GT(image.pixelColor(100, 67).red(), image.pixelColor(100, 96).red());
  EXPECT_LE(image.pixelColor(100, 67).red(), SystemColourOf(SystemColour::ButtonFace, palette).red());
}

TEST(MessageBox, AlwaysOnTopWithoutTitleBar) {
  TMessageBoxForm form(0, "x", "OK", kStyle);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Message"));
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
  QMouseEvent event(type, local, target->mapToGlobal(local),
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, {});
  QApplication::sendEvent(target, &event);
}

TEST(MessageBox, DraggedByItsBodyNotByTheStrip) {
  auto form = Shown("Drag me", "OK");
  form->move(100, 100);
  QWidget* client = form->Client();
  SendMouse(client, QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton);
  SendMouse(client, QEvent::MouseMove, {80, 50}, Qt::LeftButton);
  SendMouse(client, QEvent::MouseButtonRelease, {80, 50}, Qt::NoButton);
  EXPECT_EQ(form->pos(), QPoint(150, 120));

  const QPoint before = form->pos();
  const int strip = form->StripTop() + 2;
  SendMouse(client, QEvent::MouseButtonPress, {110, strip}, Qt::LeftButton);
  SendMouse(client, QEvent::MouseMove, {160, strip + 10}, Qt::LeftButton);
  SendMouse(client, QEvent::MouseButtonRelease, {160, strip + 10}, Qt::NoButton);
  EXPECT_EQ(form->pos(), before);
}

TEST(MessageBox, OpensAtTheCursor) {
  QCursor::setPos(30, 40);
  if (QCursor::pos() != QPoint(30, 40)) GTEST_SKIP() << "this platform cannot move the cursor";
  auto form = Shown("Here", "OK");
  EXPECT_EQ(form->pos(), QPoint(30, 40));
}

TEST(MessageBox, BlockingCallsReturnTheAnswer) {
  const auto answerWith = [](Qt::Key key) {
    QTimer::singleShot(0, [key] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      QTest::keyClick(modal, key);
    });
  };
  answerWith(Qt::Key_Escape);
  EXPECT_EQ(MessageBoxShow(2, "Continue?", "Yes,No,Cancel", kStyle), -1);
  answerWith(Qt::Key_Return);
  EXPECT_TRUE(MessageQuestion("\\bSave Data before proceeding?", kStyle));
  answerWith(Qt::Key_Escape);
  EXPECT_FALSE(MessageQuestion("\\bSave Data before proceeding?", kStyle));
  answerWith(Qt::Key_Return);
  MessageWarning("High Channel Number: 130", kStyle);
  answerWith(Qt::Key_Space);
  MessageInfo("Done", kStyle);
}

}  // namespace
}  // namespace korvalog
