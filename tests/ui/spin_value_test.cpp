#include "ui/spin_value.h"

#include <gtest/gtest.h>

#include <climits>

namespace korvalog {
namespace {

const SpinRange kDebounce{0, 255, 10, false};

TEST(SpinValue, ClampMinFirstThenMax) {
  EXPECT_EQ(ClampSpinValue(-3, kDebounce), 0);
  EXPECT_EQ(ClampSpinValue(500, kDebounce), 255);
  EXPECT_EQ(ClampSpinValue(12, kDebounce), 12);
  // Crossed limits: Max wins.
  EXPECT_EQ(ClampSpinValue(0, SpinRange{10, 5, 1, false}), 5);
}

TEST(SpinValue, DecimalTextIsValueTimesScale) {
  EXPECT_EQ(SpinText(12, kDebounce, nullptr), "120");
  EXPECT_EQ(SpinText(-7, SpinRange{-10, 10, 1, false}, nullptr), "-7");
  EXPECT_EQ(SpinText(7, SpinRange{}, [](int32_t n) { return n * 3; }), "21");
}

TEST(SpinValue, HexDigitsFollowMax) {
  EXPECT_EQ(SpinText(10, SpinRange{0, 255, 1, true}, nullptr), "0A");
  EXPECT_EQ(SpinText(10, SpinRange{0, 4095, 1, true}, nullptr), "00A");
  EXPECT_EQ(SpinText(0, SpinRange{0, 0, 1, true}, nullptr), "0");
  // Digits above Max's count are cut: 255 x 16 = 0xFF0 shows as "F0".
  EXPECT_EQ(SpinText(255, SpinRange{0, 255, 16, true}, nullptr), "F0");
  // The display conversion does not apply to hexadecimal.
  EXPECT_EQ(SpinText(10, SpinRange{0, 255, 1, true}, [](int32_t) { return 99; }), "0A");
}

TEST(SpinValue, ScaledNumberWrapsOn32Bits) {
  EXPECT_EQ(ScaledSpinNumber(INT_MAX, 2), -2);
  EXPECT_EQ(ScaledSpinNumber(-5, 10), -50);
}

TEST(SpinValue, TypedTextRule) {
  EXPECT_EQ(TypedSpinValue("125", kDebounce, false, 0), 12);
  EXPECT_EQ(TypedSpinValue("5000", kDebounce, false, 0), 500);
  EXPECT_EQ(TypedSpinValue("", kDebounce, false, 77), 0);
  EXPECT_EQ(TypedSpinValue("-19", kDebounce, false, 0), -1);  // truncates toward zero
  EXPECT_EQ(TypedSpinValue("$1F", SpinRange{}, false, 0), 31);
  EXPECT_EQ(TypedSpinValue("1f", SpinRange{0, 255, 1, true}, false, 0), 31);
  EXPECT_EQ(TypedSpinValue(" 42,", SpinRange{}, false, 0), 42);
  // A display conversion cannot be read back: decimal text leaves the value.
  EXPECT_EQ(TypedSpinValue("99", SpinRange{}, true, 5), 5);
  EXPECT_EQ(TypedSpinValue("$10", SpinRange{}, true, 5), 16);
}

TEST(SpinValue, TypedTextNeverTraps) {
  // Scale 0 would divide by zero: the value stays.
  EXPECT_EQ(TypedSpinValue("12", SpinRange{0, 100, 0, false}, false, 3), 3);
  // INT_MIN / -1 overflows a 32-bit division: it wraps instead.
  EXPECT_EQ(TypedSpinValue("-2147483648", SpinRange{INT_MIN, INT_MAX, -1, false}, false, 0),
            INT_MIN);
  EXPECT_EQ(TypedSpinValue("FFFFFFFF", SpinRange{INT_MIN, INT_MAX, 1, true}, false, 0), -1);
}

}  // namespace
}  // namespace korvalog
