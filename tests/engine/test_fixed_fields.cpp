// The fixed-column formatter every record of the engine goes through.
#include "fixed_fields.h"

#include <gtest/gtest.h>

using tarnex::Record;

namespace {

std::string F(double value, int width, int decimals)
{
    return Record().F(value, width, decimals).text();
}
std::string E(double value, int width, int digits)
{
    return Record().E(value, width, digits).text();
}
std::string D(double value, int width, int digits)
{
    return Record().D(value, width, digits).text();
}

}  // namespace

TEST(FixedField, NoZeroBeforeThePointBelowOne)
{
    EXPECT_EQ(F(0.5, 10, 3), "      .500");
    EXPECT_EQ(F(-0.25, 7, 3), "  -.250");
    EXPECT_EQ(F(0.0, 7, 3), "   .000");
    EXPECT_EQ(F(0.0, 10, 1), "        .0");
    EXPECT_EQ(F(0.5, 4, 3), ".500");
}

TEST(FixedField, ValueRoundingToZeroHasNoSign)
{
    EXPECT_EQ(F(-0.0004, 7, 3), "   .000");
    EXPECT_EQ(F(-0.0, 7, 3), "   .000");
    EXPECT_EQ(F(-0.0005, 7, 3), "  -.001");  // the binary value lies just above the half
}

TEST(FixedField, ExactHalvesGoAwayFromZero)
{
    EXPECT_EQ(F(0.125, 6, 2), "   .13");
    EXPECT_EQ(F(-0.125, 6, 2), "  -.13");
    EXPECT_EQ(F(0.0625, 5, 3), " .063");
    EXPECT_EQ(F(2.5, 4, 0), "  3.");
    EXPECT_EQ(F(1.5, 10, 0), "        2.");
    EXPECT_EQ(F(4.00048828125, 12, 10), "4.0004882813");  // 4 + 2^-11: an exact half at 10 places
}

TEST(FixedField, RoundsTheBinaryValueNotItsDecimalSpelling)
{
    EXPECT_EQ(F(2.675, 6, 2), "  2.67");   // 2.67499999...
    EXPECT_EQ(F(1.2345, 10, 3), "     1.234");
    EXPECT_EQ(F(0.015, 4, 2), " .01");
    EXPECT_EQ(F(1.0005, 8, 3), "   1.000");
    EXPECT_EQ(F(0.123456, 10, 5), "    .12346");
}

TEST(FixedField, WholeNumbersAndCarries)
{
    EXPECT_EQ(F(9.9996, 8, 3), "  10.000");
    EXPECT_EQ(F(-0.99996, 8, 4), " -1.0000");
    EXPECT_EQ(F(3952.12345, 10, 5), "3952.12345");
    EXPECT_EQ(F(1e20, 25, 2), " 100000000000000000000.00");
    EXPECT_EQ(F(123456789.0, 13, 3), "123456789.000");
    EXPECT_EQ(F(123456789.0, 12, 3), "************");
}

TEST(FixedField, TooWideGivesAsterisks)
{
    EXPECT_EQ(F(12345.6, 7, 2), "*******");
    EXPECT_EQ(F(-1000.0, 10, 5), "**********");
    EXPECT_EQ(F(1e12, 12, 3), "************");
    EXPECT_EQ(F(99.9999, 6, 2), "100.00");
    EXPECT_EQ(F(99.9999, 5, 2), "*****");
}

// Numbers far wider than any field: each gives its field's asterisks and writes nothing beyond
// it (1e100 and 1e300 once ran past the end of the field's buffer).
TEST(FixedField, HugeValuesFillTheirFieldWithAsterisks)
{
    struct Case {
        double value;
        int width;
        int decimals;
    };
    for (const Case& c : {Case{1e100, 10, 5}, Case{1e300, 10, 5}, Case{-1e300, 20, 10}, Case{1.7976931348623157e308, 10, 3},
                          Case{1e95, 96, 0}, Case{1e95, 99, 3}, Case{4.5e15, 10, 0}, Case{1.0, 10, 300},
                          Case{0.5, 10, 30}}) {
        SCOPED_TRACE(std::to_string(c.value) + " F" + std::to_string(c.width) + "." + std::to_string(c.decimals));
        EXPECT_EQ(F(c.value, c.width, c.decimals), std::string(static_cast<std::size_t>(c.width), '*'));
    }
    EXPECT_EQ(F(1e20, 30, 5), "   100000000000000000000.00000");
    EXPECT_EQ(F(-1e19, 32, 10), "-10000000000000000000.0000000000");
    EXPECT_EQ(F(-1e19, 31, 10), std::string(31, '*'));
    // Fields wider than any the engine writes still hold what fits them.
    EXPECT_EQ(F(1e95, 102, 3).substr(0, 3), "  1");
    EXPECT_EQ(F(1e95, 100, 3).size(), 100u);
    EXPECT_EQ(F(1e95, 100, 3).back(), '0');
}

TEST(IntegerField, RightAlignedOrAsterisks)
{
    EXPECT_EQ(Record().I(200, 6).text(), "   200");
    EXPECT_EQ(Record().I(-99, 10).text(), "       -99");
    EXPECT_EQ(Record().I(1000, 3).text(), "***");
    EXPECT_EQ(Record().I(-10, 2).text(), "**");
    EXPECT_EQ(Record().I(0, 1).text(), "0");
}

TEST(ExponentField, PointThenDigitsThenExponent)
{
    EXPECT_EQ(E(12.3, 12, 5), "  .12300E+02");
    EXPECT_EQ(E(0.0, 12, 5), "  .00000E+00");
    EXPECT_EQ(E(-0.000123456, 12, 5), " -.12346E-03");
    EXPECT_EQ(E(1.0, 12, 5), "  .10000E+01");
    EXPECT_EQ(E(0.1, 12, 5), "  .10000E+00");
    EXPECT_EQ(E(9.999996, 12, 5), "  .10000E+02");
    EXPECT_EQ(E(0.125, 10, 2), "   .13E+00");
    EXPECT_EQ(E(-0.125, 10, 2), "  -.13E+00");
}

TEST(ExponentField, DFormAndThreeDigitExponents)
{
    EXPECT_EQ(D(12.3, 12, 5), "  .12300D+02");
    EXPECT_EQ(D(12345.6, 9, 4), ".1235D+05");
    EXPECT_EQ(D(0.0, 9, 4), ".0000D+00");
    EXPECT_EQ(E(1.5e120, 12, 5), "  .15000+121");
    EXPECT_EQ(E(1e-150, 12, 5), "  .10000-149");
    EXPECT_EQ(E(-12.3, 10, 5), "**********");
    // More digits than the field has columns: asterisks, not a cut conversion.
    EXPECT_EQ(E(1.0, 12, 60), "************");
    EXPECT_EQ(E(1e300, 70, 60).size(), 70u);
    EXPECT_EQ(E(1e300, 70, 60).substr(0, 9), "     .100");
}

TEST(TextField, CutOrPaddedOnTheRight)
{
    EXPECT_EQ(Record().A("ABCDEFGHIJ", 8).text(), "ABCDEFGH");
    EXPECT_EQ(Record().A("AB", 5).text(), "AB   ");
    EXPECT_EQ(Record().A("", 3).text(), "   ");
    EXPECT_EQ(Record().A("whole text").text(), "whole text");
}

TEST(RecordBuilder, FieldsFollowOneAnother)
{
    EXPECT_EQ(Record().X(2).I(5, 3).A("x").X(1).F(0.5, 5, 2).text(), "    5x   .50");
    EXPECT_EQ(Record().A("ab").T(6).A("c").text(), "ab   c");
}
