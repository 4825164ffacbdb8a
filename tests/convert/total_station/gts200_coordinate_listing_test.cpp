// "座標(點號Y,X,Z)" (cCoord) and "座標(點號X,Y,Z)" (cCoord1): GTS-200 series coordinate listings.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "convert/total_station/gts200_coordinate_listing.h"
#include "gts200_download.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;
using korvane::testing::blockBreak;
using korvane::testing::gts200Download;

namespace {

// A coordinate record as the instrument sends it: "+", the name right-aligned in ten
// characters, then "_ x", "_ y", "_ z" each with ten characters of millimetres, and "_".
QString point(const QString& name, const QString& x, const QString& y, const QString& z) {
  return u'+' + name.rightJustified(10) + QStringLiteral("_ x") + x + QStringLiteral("_ y") + y + QStringLiteral("_ z") + z +
         u'_';
}

const QString kPoints = point(QStringLiteral("P01"), QStringLiteral("0002501234"), QStringLiteral("0001876543"),
                              QStringLiteral("0000012345")) +
                        point(QStringLiteral("BM-100"), QStringLiteral("0002500000"), QStringLiteral("0001880000"),
                              QStringLiteral("-000001500")) +
                        point(QStringLiteral("TRAV-00017"), QStringLiteral("0000000500"), QStringLiteral("-000000500"),
                              QStringLiteral("0000000000")) +
                        point(QStringLiteral("A1234"), QStringLiteral("0123456789"), QStringLiteral("0098765432"),
                              QStringLiteral("0000100000")) +
                        point(QStringLiteral("K7"), QStringLiteral("0000012340"), QStringLiteral("0000056780"),
                              QStringLiteral("0000000012")) +
                        point(QStringLiteral("P02"), QStringLiteral("0002501300"), QStringLiteral("0001876600"),
                              QStringLiteral("0000012400"));

TEST(CoordinateListing200, DownloadWithBlockBreaksAnywhereGivesBothListings) {
  const QString xyz = QStringLiteral(
      "P01,2501.234,1876.543,12.345\r\n"
      "BM-100,2500.000,1880.000,-1.500\r\n"
      "TRAV-00017,0.500,-0.500,0.000\r\n"
      "A1234,123456.789,98765.432,100.000\r\n"
      "K7,12.340,56.780,0.012\r\n"
      "P02,2501.300,1876.600,12.400");
  const QString yxz = QStringLiteral(
      "P01,1876.543,2501.234,12.345\r\n"
      "BM-100,1880.000,2500.000,-1.500\r\n"
      "TRAV-00017,-0.500,0.500,0.000\r\n"
      "A1234,98765.432,123456.789,100.000\r\n"
      "K7,56.780,12.340,0.012\r\n"
      "P02,1876.600,2501.300,12.400");
  for (int shift = 0; shift < korvane::testing::kBlockData; ++shift) {
    const QString workspace = gts200Download(QString(shift, u'.') + u'_' + kPoints);
    ASSERT_EQ(cCoord(workspace), xyz) << "preamble of " << shift;
    ASSERT_EQ(cCoord1(workspace), yxz) << "preamble of " << shift;
  }
}

TEST(CoordinateListing200, TextWithoutPlusSignGivesAnEmptyListing) {
  EXPECT_EQ(cCoord(QString()), QString());
  EXPECT_EQ(cCoord(QStringLiteral("_ x0001_ y0002_ z0003_")), QString());
}

TEST(CoordinateListing200, SinglePointHasNoLineBreak) {
  EXPECT_EQ(cCoord(QStringLiteral("+P1_ x1000_ y2000_ z3000_")), QStringLiteral("P1,1.000,2.000,3.000"));
}

TEST(CoordinateListing200, SignsAndEmptyValues) {
  EXPECT_EQ(cCoord(QStringLiteral("+P1_ x+500_ y-500_ z_")), QStringLiteral("P1,0.500,-0.500,0.000"));
}

TEST(CoordinateListing200, MissingTagReadsFromWhereTheLastItemEnded) {
  EXPECT_EQ(cCoord(QStringLiteral("+P1_ 1000_ y2000_ z3000_")), QStringLiteral("P1,1.000,2.000,3.000"));
}

TEST(CoordinateListing200, BreakEndingTheTextStays) {
  EXPECT_EQ(cCoord(QStringLiteral("+P1_ x1000_ y2000_ z3000_") + blockBreak().chopped(1)), QStringLiteral("P1,1.000,2.000,3.000"));
}

TEST(CoordinateListing200, BreaksRemovedOneAfterAnotherMayFormANewMarker) {
  // Removing the first break joins an ETX and a CR LF into a second marker, which goes too,
  // with the four characters before it and the one after it.
  const QString data = QStringLiteral("+P1_ x10") + korvane::testing::kEtx + blockBreak() + QStringLiteral("\r\nZ00_ y2_ z3_");
  EXPECT_EQ(removeBlockBreaks(data), QStringLiteral("+P1_00_ y2_ z3_"));
}

TEST(CoordinateListing200, DataEndingInsideARecordFails) {
  EXPECT_THROW(cCoord(QStringLiteral("+P1_ x1000_ y2000_ z3000_+P2_ x1000_ y20")), korvane::Failure);
  EXPECT_THROW(cCoord1(QStringLiteral("+P1_ x1000_ y2000_ z3000_+P2")), korvane::Failure);
}

TEST(CoordinateListing200, BreakWithoutItsLeadingCharactersFails) {
  // The marker at the fourth character: three characters of the text before it.
  EXPECT_THROW(cCoord(QStringLiteral("+P") + blockBreak().mid(3) + QStringLiteral("1_ x1_ y2_ z3_")), korvane::Failure);
  // At the fifth character the break takes the four before it, and the listing goes on.
  EXPECT_EQ(cCoord(QStringLiteral("..+P") + blockBreak().mid(3) + QStringLiteral("+P1_ x1_ y2_ z3_")), QStringLiteral("P1,0.001,0.002,0.003"));
}

}  // namespace
