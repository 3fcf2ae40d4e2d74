#include "base/byte_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvalog {
namespace {

TEST(Search, FindTextAndChar) {
  EXPECT_EQ(FindTextFrom(1, ".kv", "DATA.KV"), 5);
  EXPECT_EQ(FindTextFrom(1, "x", "abc"), 0);
  EXPECT_EQ(FindTextFrom(6, ".kv", "DATA.KV"), 0);
  EXPECT_EQ(FindTextFrom(9, "", "abc"), 9);  // empty needle: the start, even past the end
  EXPECT_EQ(FindCharFrom(1, ',', "Yes,No"), 4);
  EXPECT_EQ(FindCharFrom(5, ',', "Yes,No"), 0);
  EXPECT_EQ(FindCharFrom(1, 'n', "Yes,No"), 0);  // case-sensitive
}

TEST(Search, FindPattern) {
  EXPECT_EQ(FindPatternFrom(1, "YES", "Yes,No"), 1);
  EXPECT_EQ(FindPatternFrom(1, "NO", "Yes,No"), 5);
  EXPECT_EQ(FindPatternFrom(3, "", "Yes"), 3);
  EXPECT_EQ(FindPatternFrom(1, "#", "ab3"), 3);
  EXPECT_EQ(FindPatternFrom(1, "a?c", "a\tcabc"), 4);  // '?' never matches a tab
  EXPECT_EQ(FindPatternFrom(1, "##", "1a23"), 3);
  EXPECT_EQ(FindPatternFrom(1, "x", ""), 0);
}

TEST(Format, DigitsAndHex) {
  EXPECT_EQ(TwoDigitText(7), "07");
  EXPECT_EQ(TwoDigitText(42), "42");
  EXPECT_EQ(HexDigitChar(10), 'A');
  EXPECT_EQ(HexDigitChar(31), 'F');
  EXPECT_EQ(ByteToHex(0), "00");
  EXPECT_EQ(ByteToHex(10), "0A");
  EXPECT_EQ(ByteToHex(255), "FF");
  EXPECT_EQ(WordToHex(27437), "6B2D");
  EXPECT_EQ(WordToHex(65280), "FF00");
  EXPECT_EQ(TextIf(false, ", AC signals"), "");
  EXPECT_EQ(TextIf(true, "x"), "x");
}

TEST(Format, Integers) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(1048576), "1048576");
  EXPECT_EQ(IntToText(-45), "-45");
  EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
  EXPECT_EQ(Int64ToText(10000000000), "10000000000");
  EXPECT_EQ(Int64ToText(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(UIntToText(4294967295u), "4294967295");
  EXPECT_EQ(IntToBase(255, 16), "FF");
  EXPECT_EQ(IntToBase(0, 2), "0");
  EXPECT_EQ(IntToBase(0, 10), "0");
  EXPECT_EQ(IntToBase(35, 36), "Z");
  EXPECT_EQ(Int64ToTextPadded(3, 7), "007");
  EXPECT_EQ(Int64ToTextPadded(-4, 42), "  42");
  EXPECT_EQ(Int64ToTextPadded(2, 1234), "1234");
  EXPECT_EQ(Int64ToTextPadded(3, -5), "-5");
}

TEST(Format, FloatToFixed) {
  EXPECT_EQ(FloatToFixed(2, 3.14159), "3.14");
  EXPECT_EQ(FloatToFixed(0, 2.5), "3");
  EXPECT_EQ(FloatToFixed(0, -2.5), "-3");
  EXPECT_EQ(FloatToFixed(2, -0.001), "-0.00");
  EXPECT_EQ(FloatToFixed(0, 0.49), "0");
  EXPECT_EQ(FloatToFixed(2, 0.125), "0.13");
  EXPECT_EQ(FloatToFixed(2, 0.05), "0.05");
  EXPECT_EQ(FloatToFixed(2, 1e300), "Invalid");
  EXPECT_EQ(FloatToFixed(2, std::nan("")), "Invalid");
  EXPECT_EQ(FloatToFixed(0, -1.0 / 0.0), "Invalid");
  EXPECT_EQ(FloatToFixed(19, 1.0), "Invalid");  // the scale no longer fits 64 bits
}

TEST(Parse, FixedFieldReaders) {
  EXPECT_EQ(ParseTwoDigits("230615", 3), 6);
  EXPECT_EQ(ParseTwoDigits("2x", 1), 20);
  EXPECT_EQ(ParseTwoDigits("23", 2), 0);  // shorter than position + 1
  EXPECT_EQ(ParseHexByte("1A2B", 3), 43);
  EXPECT_EQ(ParseHexByte("1a2b", 1), 26);
  EXPECT_EQ(ParseHexByte("F", 1), 240);  // past the end counts 0
  EXPECT_EQ(ParseHexByte("G1", 1), 1);
}

TEST(Parse, CursorReaders) {
  int c = 1;
  SkipSeparators(" , 7", c);
  EXPECT_EQ(c, 4);
  c = 1;
  EXPECT_EQ(ParseUnsigned("12, 34", c), 12u);
  EXPECT_EQ(c, 5);
  c = 1;
  EXPECT_EQ(ParseUnsigned("1, 2, 3", c), 1u);
  EXPECT_EQ(ParseUnsigned("1, 2, 3", c), 2u);
  EXPECT_EQ(ParseUnsigned("1, 2, 3", c), 3u);
  c = 1;
  EXPECT_EQ(ParseSigned("-45", c), -45);
  c = 9;
  EXPECT_EQ(ParseSigned("-45", c), 0);
  c = 1;
  EXPECT_EQ(ParseHex("1f ", c), 31u);
  EXPECT_EQ(c, 4);
}

TEST(Parse, TextToInt) {
  EXPECT_EQ(TextToInt(" 42,"), 42);
  EXPECT_EQ(TextToInt("+5"), 5);
  EXPECT_EQ(TextToInt("12abc"), 12);
  EXPECT_EQ(TextToInt(""), 0);
  EXPECT_EQ(TextToInt("abc"), 0);
  EXPECT_EQ(TextToInt("  -0012 "), -12);
  EXPECT_EQ(TextToInt("-"), 0);
  EXPECT_EQ(TextToInt("4294967296"), 0);           // wraps modulo 2^32
  EXPECT_EQ(TextToInt("4294967295"), -1);
  EXPECT_EQ(TextToInt("2147483648"), INT32_MIN);
  EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
}

}  // namespace
}  // namespace korvalog
