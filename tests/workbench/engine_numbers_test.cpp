// Number texts of the engine input file and of the grids.

#include <gtest/gtest.h>

#include "workbench/engine_numbers.h"

using namespace korvane::workbench;

namespace {

std::string engine(double value) { return engineNumberText(value).toStdString(); }
std::string fitted(double value) { return fittedEngineNumberText(value).toStdString(); }

}  // namespace

TEST(EngineNumberText, BlankOrMinusAndNoZeroBeforeThePoint) {
  EXPECT_EQ(engine(0.5), " .5");
  EXPECT_EQ(engine(-0.25), "-.25");
  EXPECT_EQ(engine(0), " 0");
  EXPECT_EQ(engine(25), " 25");
  EXPECT_EQ(engine(-1.2345), "-1.2345");
  EXPECT_EQ(engine(0.0001), " .0001");
  EXPECT_EQ(engine(1e-05), " 1E-05");
  EXPECT_EQ(engine(-0.0000123), "-1.23E-05");
  EXPECT_EQ(engine(123456789012345.0), " 123456789012345");
  EXPECT_EQ(engine(1e15), " 1E+15");
}

TEST(EngineNumberText, FifteenSignificantDigitsWithoutTrailingZeros) {
  EXPECT_EQ(engine(1.23456789012345678), " 1.23456789012346");
  EXPECT_EQ(engine(0.1 + 0.2), " .3");  // 0.30000000000000004 shows its 15 digits only
  EXPECT_EQ(engine(2.50), " 2.5");
}

TEST(EngineNumberText, ReducedToFitTenColumns) {
  EXPECT_EQ(fitted(1.23456789012345), " 1.2345679");
  EXPECT_EQ(fitted(-1.23456789012345), "-1.2345679");
  EXPECT_EQ(fitted(0.123456789), " .12345679");
  EXPECT_EQ(fitted(-0.00123456789), "-.00123457");
  EXPECT_EQ(fitted(9.99999999999), " 10");  // rounding carries into a new digit
  EXPECT_EQ(fitted(1.5e-05), " 1.5E-05");
  EXPECT_EQ(fitted(1.23456789e-07), " 1.235E-07");
  EXPECT_EQ(fitted(123456789), " 123456789");
  EXPECT_EQ(fitted(12345678901.0), " 1.235E+10");  // too many integer digits for plain form
  EXPECT_EQ(fitted(-1234567890.0), "-1.235E+09");
  EXPECT_EQ(fitted(0.05), " .05");
  for (double value : {1.0 / 3, -2.0 / 3, 123.456789012, 1e-300, -7.7e250, 98765.4321012}) {
    EXPECT_LE(fittedEngineNumberText(value).size(), 10) << value;
  }
}

TEST(StandardNumberText, AsTheGridsShowNumbers) {
  EXPECT_EQ(standardNumberText(-0.00123).toStdString(), "-0.00123");
  EXPECT_EQ(standardNumberText(25).toStdString(), "25");
  EXPECT_EQ(standardNumberText(0.5).toStdString(), "0.5");
  EXPECT_EQ(standardNumberText(1e-05).toStdString(), "1E-05");
}

TEST(ParseNumberText, NumbersOnly) {
  EXPECT_EQ(parseNumberText(u".5"), 0.5);
  EXPECT_EQ(parseNumberText(u"-.25"), -0.25);
  EXPECT_EQ(parseNumberText(u"+3"), 3.0);
  EXPECT_EQ(parseNumberText(u"1E-05"), 1e-05);
  EXPECT_EQ(parseNumberText(u"2.5e+3"), 2500.0);
  EXPECT_EQ(parseNumberText(u"7."), 7.0);
  for (const char16_t* text : {u"", u"-", u".", u"abc", u"1.2.3", u"1E", u"12m", u"1 2", u"inf", u"nan", u"1e999"}) {
    EXPECT_FALSE(parseNumberText(text).has_value()) << QString::fromUtf16(text).toStdString();
  }
}
