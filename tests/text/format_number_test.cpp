#include "text/number_text.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

using korvane::text::formatNumber;

namespace {

struct Case {
    double value;
    const char16_t *pattern;
    const char *expected;
};

void expectFormats(std::initializer_list<Case> cases)
{
    for (const Case &c : cases) {
        EXPECT_EQ(formatNumber(c.value, c.pattern), QLatin1String(c.expected))
                << c.value << " with " << QString::fromUtf16(c.pattern).toStdString();
    }
}

std::string printfForm(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", value);
    return text;
}

} // namespace

TEST(FormatNumber, DecimalPatterns)
{
    expectFormats({
        {12.3456, u"#0.000", "12.346"},    {12345678.9, u"####0.000", "12345678.900"},
        {0.5, u"0.000", "0.500"},          {-12.3456, u"#######0.000", "-12.346"},
        {0, u"#0.000", "0.000"},           {-0.0, u"#0.000", "0.000"},
        {1.23456789, u"##0.0000", "1.2346"}, {-1.23456789, u"###0.00000", "-1.23457"},
    });
}

TEST(FormatNumber, RoundsTheReadDecimalHalfAwayFromZero)
{
    expectFormats({
        {12345.6785, u"#0.000", "12345.679"}, {0.0135, u"#0.000", "0.014"},
        {1.0005, u"#0.000", "1.001"},         {-1.0005, u"#0.000", "-1.001"},
        {2543210.1235, u"#0.000", "2543210.124"},
        {2543210.1245, u"#0.000", "2543210.125"},
        {0.0004, u"#0.000", "0.000"},         {0.0005, u"#0.000", "0.001"},
        {9.9995, u"#0.000", "10.000"},        {999999.9995, u"#0.000", "1000000.000"},
    });
    // The cases above only test the rule if the doubles lie below the ties
    // while their 15-digit forms sit exactly on them.
    EXPECT_EQ(printfForm(2543210.1245), "2.54321012450000e+06");
    EXPECT_EQ(printfForm(1.0005), "1.00050000000000e+00");
    char plain[32];
    std::snprintf(plain, sizeof plain, "%.3f", 2543210.1245);
    EXPECT_STREQ(plain, "2543210.124");
}

TEST(FormatNumber, BelowZeroKeepsItsSignWhenRoundedToZero)
{
    expectFormats({
        {-0.0004, u"#0.000", "-0.000"},
        {-0.0004, u"#.000", "-.000"},
        {-0.0004, u"000000000", "-000000000"},
    });
}

TEST(FormatNumber, NoLeadingZeroPattern)
{
    expectFormats({
        {0.5, u"#.000", ".500"},    {0, u"#.000", ".000"},
        {-0.25, u"#.000", "-.250"}, {12.3456, u"#.000", "12.346"},
        {0.9996, u"#.000", "1.000"},
    });
}

TEST(FormatNumber, WholeNumberPatterns)
{
    expectFormats({
        {2.5, u"0000000000", "0000000003"},
        {-2.5, u"000000000", "-000000003"},
        {-2.5, u"0000000000", "-0000000003"},
        {-5, u"000000000", "-000000005"},
        {12345678901, u"000000000", "12345678901"},
        {1e20, u"0", "100000000000000000000"},
        {1e20, u"#0.000", "100000000000000000000.000"},
    });
}

TEST(FormatNumber, UploadValueInMillimetres)
{
    EXPECT_EQ(formatNumber(1234.5678 * 1000, u"0000000000"), u"0001234568");
    EXPECT_EQ(u'-' + formatNumber(12.3 * 1000, u"000000000"), u"-000012300");
    EXPECT_EQ(formatNumber(0.0 * 1000, u"0000000000"), u"0000000000");
    EXPECT_EQ(formatNumber(0.0004 * 1000, u"0000000000"), u"0000000000");
}

TEST(FormatNumber, NonFiniteValuesAreNamed)
{
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatNumber(std::nan(""), u"#0.000"), u"NaN");
    EXPECT_EQ(formatNumber(infinity, u"#0.000"), u"Infinity");
    EXPECT_EQ(formatNumber(-infinity, u"0000000000"), u"-Infinity");
}
