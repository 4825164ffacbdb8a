// Number texts of the engine input file.

#include <gtest/gtest.h>

#include "workbench/engine_numbers.h"

using namespace korvane::workbench;

TEST(EngineNumberText, BlankOrMinusNoLeadingZeroFifteenDigitsExponentWhenSmall) {
  const std::pair<double, const char*> cases[] = {
      {0.5, " .5"}, {-0.25, "-.25"}, {0, " 0"}, {25, " 25"}, {0.0001, " .0001"}, {1e-05, " 1E-05"},
      {1.23456789012345678, " 1.23456789012346"}, {0.1 + 0.2, " .3"}, {123456789012345.0, " 123456789012345"},
      {1e15, " 1E+15"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(engineNumberText(value).toStdString(), text) << value;
}

TEST(EngineNumberText, ReducedToFitTenColumns) {
  const std::pair<double, const char*> cases[] = {
      {1.23456789012345, " 1.2345679"}, {-0.00123456789, "-.00123457"}, {9.99999999999, " 10"},
      {1.23456789e-07, " 1.235E-07"}, {123456789, " 123456789"}, {12345678901.0, " 1.235E+10"},
      {-1234567890.0, "-1.235E+09"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(fittedEngineNumberText(value).toStdString(), text) << value;
  for (double value : {1.0 / 3, -2.0 / 3, 1e-300, -7.7e250}) EXPECT_LE(fittedEngineNumberText(value).size(), 10);
}

TEST(ParseNumberText, NumbersOnly) {
  EXPECT_EQ(parseNumberText(u"-.25"), -0.25);
  EXPECT_EQ(parseNumberText(u"+1E-05"), 1e-05);
  for (const char16_t* text : {u"", u".", u"1.2.3", u"1E", u"12m", u"1 2", u"inf", u"1e999"}) {
    EXPECT_FALSE(parseNumberText(text).has_value()) << QString::fromUtf16(text).toStdString();
  }
}
