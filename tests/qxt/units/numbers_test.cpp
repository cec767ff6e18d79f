// Number text, field and replacement helpers, rounding and the snap-mode names.
#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qxt {
namespace {

TEST(Numbers, RealToTextIsShortGeneralFormat) {
  EXPECT_EQ(RealToText(96.0), "96");
  EXPECT_EQ(RealToText(0.5), "0.5");
  EXPECT_EQ(RealToText(-2.25), "-2.25");
  EXPECT_EQ(RealToText(0.1 + 0.2), "0.3");  // 15 significant digits hide the binary noise
  EXPECT_EQ(RealToText(123456789012345.0), "123456789012345");
  EXPECT_EQ(RealToText(1e20), "1e+20");
  EXPECT_EQ(RealToText(0.0001), "0.0001");
}

TEST(Numbers, TextToRealReadsOnlyWholeNumbers) {
  EXPECT_DOUBLE_EQ(TextToReal(".5"), 0.5);
  EXPECT_DOUBLE_EQ(TextToReal("5."), 5.0);
  EXPECT_DOUBLE_EQ(TextToReal("-1.25e2"), -125.0);
  EXPECT_DOUBLE_EQ(TextToReal("+3"), 3.0);
  // Blanks are not part of a number, so a text with blanks around it is not entirely a number.
  for (const char* bad : {"", ".", "-", "1,5", "5.1.0", "12abc", "abc", "1e", "e5", "inf", "nan",
                          "0x10", "--1", "1e999", " 5", "5 ", " 5.10 ", "\t5", "+ 5"}) {
    EXPECT_EQ(TextToReal(bad), 0.0) << bad;
    EXPECT_FALSE(ParseReal(bad).has_value()) << bad;
  }
  // Every shown number reads back as itself.
  for (double x : {96.0, 0.5, 1.0 / 3.0, -7.125, 1e-7, 6.02e23})
    EXPECT_DOUBLE_EQ(TextToReal(RealToText(x)), std::stod(RealToText(x))) << x;
}

TEST(Numbers, ParseInt32TakesOnlyWholeNumbersThatFit) {
  EXPECT_EQ(ParseInt32("42"), 42);
  EXPECT_EQ(ParseInt32(" -7 "), -7);
  EXPECT_EQ(ParseInt32("+3"), 3);
  EXPECT_EQ(ParseInt32("-2147483648"), std::numeric_limits<int32_t>::min());
  for (const char* bad : {"", "-", "+", "+-5", "1.0", "2147483648", "12a", "0x1F"})
    EXPECT_FALSE(ParseInt32(bad).has_value()) << bad;
}

TEST(Numbers, DigitCountOfTheIntegerPart) {
  EXPECT_EQ(DigitCount(0), 1);
  EXPECT_EQ(DigitCount(-500), 1);
  EXPECT_EQ(DigitCount(9.99), 1);
  EXPECT_EQ(DigitCount(10), 2);
  EXPECT_EQ(DigitCount(8000), 4);
  EXPECT_EQ(DigitCount(768000), 6);
  EXPECT_EQ(DigitCount(2147483647), 10);
  EXPECT_EQ(DigitCount(1e15), 16);
}

TEST(Numbers, GetFieldEdges) {
  EXPECT_EQ(GetField(1, "a,b,c", ','), "a");
  EXPECT_EQ(GetField(2, "a,b,c", ','), "b");
  EXPECT_EQ(GetField(3, "a,b,c", ','), "c");
  EXPECT_EQ(GetField(4, "a,b,c", ','), "");
  EXPECT_EQ(GetField(2, "a,,c", ','), "");
  EXPECT_EQ(GetField(3, "a,,c", ','), "c");
  EXPECT_EQ(GetField(2, "a,", ','), "");
  EXPECT_EQ(GetField(1, "", ','), "");
  EXPECT_EQ(GetField(0, "a,b", ','), "");
  EXPECT_EQ(GetField(-1, "a,b", ','), "");
  EXPECT_EQ(GetField(1, "no separator", ','), "no separator");
}

TEST(Numbers, RightPartEdges) {
  EXPECT_EQ(RightPart("", 1), "");
  EXPECT_EQ(RightPart("\\", 1), "\\");
  EXPECT_EQ(RightPart("C:\\WORK\\", 1), "\\");
  EXPECT_EQ(RightPart("abc", 2), "bc");
  EXPECT_EQ(RightPart("abc", 10), "abc");
  EXPECT_EQ(RightPart("abc", 0), "");
}

TEST(Numbers, ReplaceTextGrowsAndDoesNotRescanInsertedText) {
  std::string s = "a\\b\\c";
  ReplaceText(s, "\\", "\\\\");
  EXPECT_EQ(s, "a\\\\b\\\\c");
  std::string grow(300, 'x');
  ReplaceText(grow, "x", "yyyy");
  EXPECT_EQ(grow, std::string(1200, 'y'));
  std::string shrink = "one, two, three";
  ReplaceText(shrink, ", ", ",");
  EXPECT_EQ(shrink, "one,two,three");
  std::string unchanged = "abc";
  ReplaceText(unchanged, "", "z");  // nothing to look for: no endless loop
  EXPECT_EQ(unchanged, "abc");
}

TEST(Numbers, RoundingHalvesToEvenAndSaturates) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(-0.6), -1);
  EXPECT_EQ(RoundToInt32(1e20), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundToInt32(-1e20), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::infinity()),
            std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundToInt32(std::nan("")), 0);
}

TEST(Numbers, SnapModeNamesAndCodes) {
  for (int code = 0; code < kSnapModeCount; ++code)
    EXPECT_EQ(SnapModeCode(SnapModeName(code)), code) << code;
  EXPECT_EQ(SnapModeName(0), "No Snap");
  EXPECT_EQ(SnapModeName(8), "Pie Angle");
  EXPECT_EQ(SnapModeName(15), "Perpendicular");
  EXPECT_EQ(SnapModeName(16), "Undefined");
  EXPECT_EQ(SnapModeName(-1), "Undefined");
  EXPECT_EQ(SnapModeCode("Grid"), 1);
  EXPECT_EQ(SnapModeCode("grid"), 0);  // names are compared exactly
  EXPECT_EQ(SnapModeCode("Grid "), 0);
  EXPECT_EQ(SnapModeCode(""), 0);
}

}  // namespace
}  // namespace qxt
