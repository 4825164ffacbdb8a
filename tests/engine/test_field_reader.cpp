// Reading the fixed-column input fields, and the messages for fields that are not numbers.
#include "engine_stop.h"
#include "engine_test_support.h"
#include "field_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using tarnex::parseInteger;
using tarnex::parseReal;

TEST(InputField, DecimalPointIsHonouredAndBlanksIgnored)
{
    EXPECT_DOUBLE_EQ(*parseReal("      12.5", 0), 12.5);
    EXPECT_DOUBLE_EQ(*parseReal("  1 2 . 5 ", 0), 12.5);
    EXPECT_DOUBLE_EQ(*parseReal("      -.25", 0), -0.25);
    EXPECT_DOUBLE_EQ(*parseReal("        5.", 0), 5.0);
    EXPECT_DOUBLE_EQ(*parseReal("1.25      ", 5), 1.25);
}

TEST(InputField, AllBlankIsZero)
{
    EXPECT_EQ(*parseReal("          ", 0), 0.0);
    EXPECT_EQ(*parseReal("", 3), 0.0);
    EXPECT_EQ(*parseInteger("          "), 0);
}

TEST(InputField, WithoutPointTheDigitsAreScaledByTheDecimals)
{
    EXPECT_DOUBLE_EQ(*parseReal("       125", 0), 125.0);
    EXPECT_DOUBLE_EQ(*parseReal("       125", 2), 1.25);
    EXPECT_DOUBLE_EQ(*parseReal("     -3952", 5), -0.03952);
}

TEST(InputField, ExponentMayFollow)
{
    EXPECT_DOUBLE_EQ(*parseReal("1.5E2", 0), 150.0);
    EXPECT_DOUBLE_EQ(*parseReal("1.5e2", 0), 150.0);
    EXPECT_DOUBLE_EQ(*parseReal("1.5D2", 0), 150.0);
    EXPECT_DOUBLE_EQ(*parseReal("1.5+2", 0), 150.0);
    EXPECT_DOUBLE_EQ(*parseReal("  1E-05", 0), 1e-5);
    EXPECT_DOUBLE_EQ(*parseReal("3E-3", 0), 0.003);
    EXPECT_DOUBLE_EQ(*parseReal("15E2", 3), 1.5);  // no point: the digits 15 are .015, times 10^2
}

TEST(InputField, ValuesAreTheCorrectlyRoundedDoubles)
{
    std::mt19937 random(950);
    std::uniform_int_distribution<long long> digits(0, 9999999999LL);
    std::uniform_int_distribution<int> places(0, 10);
    for (int i = 0; i < 20000; ++i) {
        std::string text = std::to_string(digits(random));
        const int decimals = std::min<int>(places(random), static_cast<int>(text.size()));
        text.insert(text.size() - static_cast<std::size_t>(decimals), ".");
        if (i % 2)
            text.insert(0, "-");
        if (i % 7 == 0)
            text += "E-" + std::to_string(i % 30);
        EXPECT_EQ(*parseReal(text, 0), std::strtod(text.c_str(), nullptr)) << text;
    }
    // seventeen significant digits take the long way
    EXPECT_EQ(*parseReal("1.2345678901234567", 0), 1.2345678901234567);
    EXPECT_EQ(*parseReal("0.1", 0), 0.1);
    EXPECT_EQ(*parseReal("-0.000001", 0), -1e-6);
}

TEST(InputField, TextThatIsNotANumberIsRefused)
{
    for (const char* bad : {"Null", "1,5", "1.2.3", "-", ".", "1E", "E5", "--1", "12a", "*****", "1.5E2.0"})
        EXPECT_FALSE(parseReal(bad, 0).has_value()) << bad;
}

TEST(InputField, Integers)
{
    EXPECT_EQ(*parseInteger("       -99"), -99);
    EXPECT_EQ(*parseInteger("  1 0003  "), 10003);
    EXPECT_EQ(*parseInteger("+7"), 7);
    EXPECT_FALSE(parseInteger("1.5").has_value());
    EXPECT_FALSE(parseInteger("**********").has_value());
    EXPECT_FALSE(parseInteger("-").has_value());
}

TEST(InputField, ColumnsPastTheEndOfTheLineAreBlank)
{
    EXPECT_EQ(tarnex::columnsOf("BM1", 1, 10), "BM1       ");
    EXPECT_EQ(tarnex::columnsOf("BM1", 11, 10), "          ");
    EXPECT_EQ(tarnex::columnsOf("0123456789ABCDE", 11, 10), "ABCDE     ");
}

TEST(LineFileTest, LinesEndWithCrLfOrLf)
{
    tarnex_test::TempFolder folder;
    tarnex_test::writeFile(folder / "mixed.dat", "first\r\nsecond\nthird");
    tarnex::LineFile file(folder / "mixed.dat", "mixed.dat");
    ASSERT_TRUE(file.next());
    EXPECT_EQ(file.line(), "first");
    ASSERT_TRUE(file.next());
    EXPECT_EQ(file.line(), "second");
    ASSERT_TRUE(file.next());
    EXPECT_EQ(file.line(), "third");
    EXPECT_EQ(file.lineNumber(), 3);
    EXPECT_FALSE(file.next());
    file.rewind();
    ASSERT_TRUE(file.next());
    EXPECT_EQ(file.line(), "first");
}

TEST(LineFileTest, MalformedFieldNamesFileLineAndField)
{
    tarnex_test::TempFolder folder;
    tarnex_test::writeLines(folder / "job.dat",
                            {"title", tarnex_test::observationLine("A", "B", "1.5", "1,2", ".003")});
    tarnex::LineFile file(folder / "job.dat", "job.dat");
    file.next();
    file.next();
    EXPECT_DOUBLE_EQ(file.real(21, 10, 0, "dh"), 1.5);
    try {
        file.real(31, 10, 0, "dist");
        FAIL() << "a malformed distance was accepted";
    } catch (const tarnex::EngineStop& stop) {
        EXPECT_EQ(stop.message, "job.dat, line 2, field dist (columns 31-40): \"       1,2\" is not a number");
    }
}

TEST(LineFileTest, MissingFileStopsWithItsName)
{
    tarnex_test::TempFolder folder;
    try {
        tarnex::LineFile file(folder / "none.dat", "none.dat");
        FAIL() << "a missing file was read";
    } catch (const tarnex::EngineStop& stop) {
        EXPECT_NE(stop.message.find("none.dat"), std::string::npos);
    }
}
