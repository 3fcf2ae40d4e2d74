#include "ui/qt/edit_up_down.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace korvalog {
namespace {

// A spin edit in a shown window, next to a second field to move the focus to.
class SpinEdit : public ::testing::Test {
 protected:
  SpinEdit() {
    window.resize(300, 100);
    spin = new TEditUpDown(&window);
    spin->setGeometry(10, 10, 100, 30);
    other = new QLineEdit(&window);
    other->setGeometry(10, 60, 100, 24);
    spin->SetOnChange([this](TEditUpDown&) { ++changes; });
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    spin->Edit()->setFocus();
  }

  QString Text() const { return spin->Edit()->text(); }
  void Type(const char* text) {
    spin->Edit()->selectAll();
    if (*text == 0) {
      QTest::keyClick(spin->Edit(), Qt::Key_Delete);
    } else {
      QTest::keyClicks(spin->Edit(), QString::fromLatin1(text));
    }
  }
  void Leave() {
    other->setFocus();
    QApplication::processEvents();
  }
  void ClickArrow(bool up) {
    TUpDownArrows* arrows = spin->Arrows();
    const QPoint at(arrows->width() / 2, up ? 2 : arrows->height() - 3);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, at);
  }

  QWidget window;
  TEditUpDown* spin;
  QLineEdit* other;
  int changes = 0;
};

TEST_F(SpinEdit, StartsAtZeroWithDefaults) {
  EXPECT_EQ(spin->Min(), 0);
  EXPECT_EQ(spin->Max(), 100);
  EXPECT_EQ(spin->Scale(), 1);
  EXPECT_EQ(spin->Value(), 0);
  EXPECT_FALSE(spin->Hex());
  EXPECT_EQ(Text(), QStringLiteral("0"));
}

TEST_F(SpinEdit, DebounceField) {
  spin->SetMax(255);
  spin->SetScale(10);
  spin->SetValue(12);
  EXPECT_EQ(Text(), QStringLiteral("120"));
  EXPECT_EQ(changes, 0) << "setting from code raises no change";

  Type("125");
  EXPECT_EQ(spin->Value(), 12);
  EXPECT_GT(changes, 0);

  Type("5000");
  EXPECT_EQ(spin->Value(), 500) << "not clamped while typing";
  EXPECT_EQ(Text(), QStringLiteral("5000"));
  const int before = changes;
  Leave();
  EXPECT_EQ(spin->Value(), 255);
  EXPECT_EQ(Text(), QStringLiteral("2550"));
  EXPECT_EQ(changes, before + 1);

  spin->Edit()->setFocus();
  Type("");
  EXPECT_EQ(spin->Value(), 0);
  Leave();
  EXPECT_EQ(Text(), QStringLiteral("0"));
}

TEST_F(SpinEdit, HexAfterDollarAndNegativesClampedOnLeaving) {
  Type("$1F");
  EXPECT_EQ(spin->Value(), 31);
  Type("-7");
  EXPECT_EQ(spin->Value(), -7);
  Leave();
  EXPECT_EQ(spin->Value(), 0);
  EXPECT_EQ(Text(), QStringLiteral("0"));
}

TEST_F(SpinEdit, LeavingWithoutTypingChangesNothing) {
  Leave();
  EXPECT_EQ(changes, 0);
}

TEST_F(SpinEdit, HexDigitCountFollowsMax) {
  spin->SetHex(true);
  spin->SetMax(255);
  spin->SetValue(10);
  EXPECT_EQ(Text(), QStringLiteral("0A"));
  spin->SetMax(4095);
  EXPECT_EQ(Text(), QStringLiteral("00A"));
  spin->SetMax(0);
  EXPECT_EQ(Text(), QStringLiteral("0"));
  spin->SetMax(255);
  spin->SetScale(16);
  spin->SetValue(255);
  EXPECT_EQ(Text(), QStringLiteral("F0"));
  spin->SetScale(1);
  spin->Edit()->setFocus();
  Type("c8");
  EXPECT_EQ(spin->Value(), 200);
}

TEST_F(SpinEdit, ArrowsStepAndRaiseChangeEvenAtTheLimit) {
  ClickArrow(true);
  EXPECT_EQ(spin->Value(), 1);
  EXPECT_EQ(changes, 1);
  spin->SetValue(100);
  ClickArrow(true);
  EXPECT_EQ(spin->Value(), 100);
  EXPECT_EQ(changes, 2);
  ClickArrow(false);
  EXPECT_EQ(spin->Value(), 99);
  EXPECT_EQ(Text(), QStringLiteral("99"));
  EXPECT_TRUE(spin->Edit()->hasFocus());
}

TEST_F(SpinEdit, UpAndDownKeysStep) {
  spin->SetValue(5);
  QTest::keyClick(spin->Edit(), Qt::Key_Up);
  EXPECT_EQ(spin->Value(), 6);
  QTest::keyClick(spin->Edit(), Qt::Key_Down);
  QTest::keyClick(spin->Edit(), Qt::Key_Down);
  EXPECT_EQ(spin->Value(), 4);
  EXPECT_EQ(Text(), QStringLiteral("4"));
  EXPECT_EQ(changes, 3);
}

TEST_F(SpinEdit, WheelStepsWithoutChangeWhileFocused) {
  spin->SetValue(5);
  const auto wheel = [&](int notches) {
    const QPointF at(5, 5);
    QWheelEvent event(at, spin->Edit()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(spin->Edit(), &event);
  };
  wheel(1);
  EXPECT_EQ(spin->Value(), 6);
  wheel(-2);
  EXPECT_EQ(spin->Value(), 4);
  EXPECT_EQ(changes, 0);
  Leave();
  wheel(1);
  EXPECT_EQ(spin->Value(), 4) << "the wheel needs the focus";
}

TEST_F(SpinEdit, WheelOverTheArrowsStepsWhileTheEditHasTheFocus) {
  spin->SetValue(5);
  const auto wheelOver = [&](QWidget* target, int notches) {
    const QPointF at(2, 2);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
  };
  spin->Edit()->setFocus();
  ASSERT_TRUE(spin->Edit()->hasFocus());
  EXPECT_TRUE(wheelOver(spin->Arrows(), 1));
  EXPECT_EQ(spin->Value(), 6);
  EXPECT_TRUE(wheelOver(spin, -3));
  EXPECT_EQ(spin->Value(), 3);
  EXPECT_EQ(changes, 0);
  Leave();
  wheelOver(spin->Arrows(), 1);
  EXPECT_EQ(spin->Value(), 3) << "the wheel needs the focus";
}

TEST_F(SpinEdit, DisplayConversion) {
  spin->SetMax(1000);
  spin->SetOnCalculate([](int32_t n) { return n * 3; });
  spin->SetValue(7);
  EXPECT_EQ(Text(), QStringLiteral("21"));
  Type("50");
  EXPECT_EQ(spin->Value(), 7) << "a converted number cannot be read back";
  Type("$10");
  EXPECT_EQ(spin->Value(), 16);
}

TEST_F(SpinEdit, Layout) {
  spin->setGeometry(10, 10, 120, 40);
  const int e = spin->Edit()->height();
  EXPECT_EQ(spin->Edit()->geometry(), QRect(0, (40 - e) / 2, 120 - TUpDownArrows::kWidth - 1, e));
  EXPECT_EQ(spin->Arrows()->geometry(), QRect(120 - TUpDownArrows::kWidth, 0, TUpDownArrows::kWidth, 40));
}

TEST_F(SpinEdit, PropertiesThroughTheMetaObject) {
  spin->setProperty("Max", 50);
  spin->setProperty("Value", 80);
  EXPECT_EQ(spin->property("Value").toInt(), 50);
  EXPECT_EQ(Text(), QStringLiteral("50"));
}

}  // namespace
}  // namespace korvalog
