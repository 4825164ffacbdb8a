#include "text/number_text.h"
#include "text/number_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using korvane::text::numericValue;

namespace {

struct Case {
    const char16_t *text;
    double expected;
};

} // namespace

TEST(NumericValue, ReadsNumbersAsWritten)
{
    const Case cases[] = {
        {u"12.5", 12.5},        {u"-7", -7},           {u"+7", 7},
        {u".5", 0.5},           {u"-.25", -0.25},      {u"5.", 5},
        {u"3E2", 300},          {u"3e-2", 0.03},       {u"3E+2", 300},
        {u"  -0012.50m", -12.5},
    };
    for (const Case &c : cases)
        EXPECT_EQ(numericValue(c.text), c.expected) << QString::fromUtf16(c.text).toStdString();
}

TEST(NumericValue, SkipsBlanksTabsAndLineFeedsAnywhere)
{
    EXPECT_EQ(numericValue(u"1 2.5"), 12.5);
    EXPECT_EQ(numericValue(u"\n 7"), 7);
    EXPECT_EQ(numericValue(u"- 1\t2 . 5 E 1"), -125);
}

TEST(NumericValue, StopsAtTheFirstOtherCharacter)
{
    EXPECT_EQ(numericValue(u"12.5,A7"), 12.5);
    EXPECT_EQ(numericValue(u"1.2.3"), 1.2);
    EXPECT_EQ(numericValue(u"3E"), 3);
    EXPECT_EQ(numericValue(u"3Ex"), 3);
    EXPECT_EQ(numericValue(u"3E-"), 3);
    EXPECT_EQ(numericValue(u"1\r2"), 1);      // CR is not a blank
    EXPECT_EQ(numericValue(u"1+2"), 1);
    EXPECT_EQ(numericValue(u"\u0661\u0662"), 0);   // Arabic-Indic digits are not digits
}

TEST(NumericValue, TextWithoutDigitsIsZero)
{
    for (const char16_t *text : {u"", u"abc", u"-", u"+.", u".", u"E5", u" \n\t"})
        EXPECT_EQ(numericValue(text), 0) << QString::fromUtf16(text).toStdString();
}

TEST(NumericValue, ConvertsToTheNearestDouble)
{
    EXPECT_EQ(numericValue(u"2543210.1235"), 2543210.1235);
    EXPECT_EQ(numericValue(u"123456789012345678901234567890"), 123456789012345678901234567890.0);
    EXPECT_EQ(numericValue(u"1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_EQ(numericValue(u"4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
}

TEST(NumericValue, OutOfRangeSaturates)
{
    EXPECT_EQ(numericValue(u"1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(numericValue(u"-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(numericValue(u"0.01e311"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(numericValue(u"1e-400"), 0);
    EXPECT_TRUE(std::signbit(numericValue(u"-1e-400")));
}

// The one rule for a number a report must show: finite and below 10^15 in magnitude, else a
// failure naming the line and the field, with a long field text cut.
TEST(NumberField, ValuesNoReportCanShowAreRefusedByLineAndField)
{
    const double limit = korvane::text::kReportNumberLimit;
    for (const double usable : {0.0, -1.5, 999999999999999.4, -999999999999999.4})
        EXPECT_TRUE(korvane::text::isUsableNumber(usable)) << usable;
    // 999999999999999.5 and above round to 16 whole digits.
    for (const double unusable : {999999999999999.5, -999999999999999.9, limit, -limit, 1e300, std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(korvane::text::isUsableNumber(unusable)) << unusable;

    const QString huge(400, u'9');
    try {
        korvane::text::usableNumber(numericValue(huge), 7, u"覘標高", huge);
        ADD_FAILURE() << "no failure";
    } catch (const korvane::text::NumberFieldFailure &failure) {
        EXPECT_EQ(failure.description(), QStringLiteral("第 7 行的覘標高「") + QString(30, u'9') +
                                             QStringLiteral("…（共 400 字）」超出數值能表示的範圍"));
    }
    EXPECT_THROW(korvane::text::usableNumber(1e15, 1, u"N", u"1e15"), korvane::text::NumberFieldFailure);
    EXPECT_EQ(korvane::text::formatNumber(999999999999999.4, QStringLiteral("0.000")),
              QStringLiteral("999999999999999.000"));
    EXPECT_EQ(korvane::text::usableNumber(-2.5, 1, u"N", u"-2.5"), -2.5);

    EXPECT_EQ(korvane::text::lineAt(u"ab\ncd\r\nef", 0), 1);
    EXPECT_EQ(korvane::text::lineAt(u"ab\ncd\r\nef", 3), 2);
    EXPECT_EQ(korvane::text::lineAt(u"ab\ncd\r\nef", 7), 3);
    EXPECT_EQ(korvane::text::lineAt(u"ab\ncd\r\nef", 99), 3);
}
