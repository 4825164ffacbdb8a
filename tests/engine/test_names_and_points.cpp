// Name handling of the conversion: DELBAK, the list terminators, the point table and FNUNIT.
#include "engine_test_support.h"
#include "file_units.h"
#include "point_table.h"
#include "startup.h"

#include <gtest/gtest.h>

using tarnex::DELBAK;
using tarnex::isTerminator;
using tarnex::PointTable;

TEST(Delbak, LeadingBlanksMoveOutAndTheFieldIsPaddedToTen)
{
    EXPECT_EQ(DELBAK("   A1     "), "A1        ");
    EXPECT_EQ(DELBAK("A1"), "A1        ");
    EXPECT_EQ(DELBAK("         Z"), "Z         ");
    EXPECT_EQ(DELBAK("  A B     "), "A B       ");
    EXPECT_EQ(DELBAK("          "), "          ");
    EXPECT_EQ(DELBAK(""), "          ");
    EXPECT_EQ(DELBAK("ABCDEFGHIJ"), "ABCDEFGHIJ");
}

TEST(Delbak, ThreeBlanksThenANameIsTheSameName)
{
    EXPECT_EQ(DELBAK("   A1"), DELBAK("A1"));
}

TEST(Terminator, MinusNinetyNineOrNineHundredNinetyNineAnywhereInTheField)
{
    EXPECT_TRUE(isTerminator(DELBAK("-99")));
    EXPECT_TRUE(isTerminator(DELBAK("       -99")));
    EXPECT_TRUE(isTerminator(DELBAK("   -99    ")));
    EXPECT_TRUE(isTerminator(DELBAK("-999")));
    EXPECT_TRUE(isTerminator(DELBAK("      -999")));
}

TEST(Terminator, OtherNamesAreNot)
{
    EXPECT_FALSE(isTerminator(DELBAK("-9")));
    EXPECT_FALSE(isTerminator(DELBAK("-9999")));
    EXPECT_FALSE(isTerminator(DELBAK("99")));
    EXPECT_FALSE(isTerminator(DELBAK("-99A")));
    EXPECT_FALSE(isTerminator(DELBAK("- 99")));
    EXPECT_FALSE(isTerminator(DELBAK("")));
}

TEST(PointTableTest, KnownPointsComeFirstInInputOrder)
{
    PointTable table(1500);
    EXPECT_EQ(table.appendKnown("BM2       "), 1);
    EXPECT_EQ(table.appendKnown("BM1       "), 2);
    EXPECT_EQ(table.findOrAppend("P1        "), 3);
    EXPECT_EQ(table.findOrAppend("BM1       "), 2);
    EXPECT_EQ(table.findOrAppend("P2        "), 4);
    EXPECT_EQ(table.findOrAppend("P1        "), 3);
    EXPECT_EQ(table.size(), 4);
    EXPECT_EQ(table.name(4), "P2        ");
}

TEST(PointTableTest, FirstMatchWinsAmongKnownPointsOfOneName)
{
    PointTable table(1500);
    table.appendKnown("BM        ");
    table.appendKnown("BM        ");
    EXPECT_EQ(table.size(), 2);
    EXPECT_EQ(table.findOrAppend("BM        "), 1);
}

TEST(PointTableTest, AllTenCharactersAreCompared)
{
    PointTable table(1500);
    table.appendKnown("BENCHMK09 ");  // a 9-character known point
    // observation names reach the table cut to 8 characters
    EXPECT_EQ(table.findOrAppend("BENCHMK0  "), 2);
    EXPECT_EQ(table.findOrAppend("BENCHMK09 "), 1);
}

TEST(PointTableTest, FullTableRefusesANewNameButFindsOldOnes)
{
    PointTable table(3);
    table.appendKnown("K");
    EXPECT_EQ(table.findOrAppend("A"), 2);
    EXPECT_EQ(table.findOrAppend("B"), 3);
    EXPECT_EQ(table.findOrAppend("C"), 0);
    EXPECT_EQ(table.findOrAppend("A"), 2);
    EXPECT_EQ(table.size(), 3);
}

TEST(LineCodeTest, FromTimesTenThousandPlusTo)
{
    EXPECT_EQ(tarnex::lineCode(3, 4), 30004);
    EXPECT_EQ(tarnex::lineCode(1500, 1499), 15001499);
    EXPECT_EQ(tarnex::lineCode(7, 7), 70007);
}

TEST(Fnunit, LowestFreeHandleFromTenAndTheProbeIsGone)
{
    tarnex_test::TempFolder folder;
    tarnex::UnitTable units;
    EXPECT_EQ(tarnex::FNUNIT(units, folder.path()), 10);
    units.take(10);
    units.take(11);
    EXPECT_EQ(tarnex::FNUNIT(units, folder.path()), 12);
    units.release(10);
    EXPECT_EQ(tarnex::FNUNIT(units, folder.path()), 10);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(Fnunit, FolderWhereNothingCanBeCreated)
{
    tarnex::UnitTable units;
    EXPECT_EQ(tarnex::FNUNIT(units, "/nonexistent-folder-of-tarnex-tests"), -1);
}
