// "座標(點號Y,X,Z)" (cCoord) and "座標(點號X,Y,Z)" (cCoord1): GTS-200 series coordinate listings.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "convert/total_station/gts200_coordinate_listing.h"
#include "gts200_download.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;
using korvane::testing::blockBreak;

namespace {

// A coordinate record as the instrument sends it: "+", the name right-aligned in ten
// characters, then "_ x", "_ y", "_ z", each with ten characters of millimetres, and "_".
QString point(const char* name, const char* x, const char* y, const char* z) {
  return QStringLiteral("+%1_ x%2_ y%3_ z%4_").arg(QString::fromUtf8(name), 10).arg(x, y, z);
}

TEST(CoordinateListing200, DownloadWithBlockBreaksAnywhereGivesBothListings) {
  const QString points = point("P01", "0002501234", "0001876543", "0000012345") +
                         point("BM-100", "0002500000", "0001880000", "-000001500") +
                         point("TRAV-00017", "0000000500", "-000000500", "0000000000") +
                         point("A1234", "0123456789", "0098765432", "0000100000") +
                         point("K7", "0000012340", "0000056780", "0000000012") +
                         point("P02", "0002501300", "0001876600", "0000012400");
  const QString xyz = QStringLiteral(
      "P01,2501.234,1876.543,12.345\r\nBM-100,2500.000,1880.000,-1.500\r\nTRAV-00017,0.500,-0.500,0.000\r\n"
      "A1234,123456.789,98765.432,100.000\r\nK7,12.340,56.780,0.012\r\nP02,2501.300,1876.600,12.400");
  const QString yxz = QStringLiteral(
      "P01,1876.543,2501.234,12.345\r\nBM-100,1880.000,2500.000,-1.500\r\nTRAV-00017,-0.500,0.500,0.000\r\n"
      "A1234,98765.432,123456.789,100.000\r\nK7,56.780,12.340,0.012\r\nP02,1876.600,2501.300,12.400");
  for (int shift = 0; shift < korvane::testing::kBlockData; ++shift) {
    const QString workspace = korvane::testing::gts200Download(QString(shift, u'.') + u'_' + points);
    ASSERT_EQ(cCoord(workspace), xyz) << "preamble of " << shift;
    ASSERT_EQ(cCoord1(workspace), yxz) << "preamble of " << shift;
  }
}

TEST(CoordinateListing200, ValuesAndShapesOfTheListing) {
  EXPECT_EQ(cCoord(QStringLiteral("_ x0001_ y0002_ z0003_")), QString());
  EXPECT_EQ(cCoord(QStringLiteral("+P1_ x+500_ y-500_ z_")), QStringLiteral("P1,0.500,-0.500,0.000"));
  // A missing tag letter: the value is read from where the last item ended.
  EXPECT_EQ(cCoord(QStringLiteral("+P1_ 1000_ y2000_ z3000_")), QStringLiteral("P1,1.000,2.000,3.000"));
  // A break that ends the text stays in it.
  EXPECT_EQ(cCoord(QStringLiteral("+P1_ x1_ y2_ z3_") + blockBreak().chopped(1)), QStringLiteral("P1,0.001,0.002,0.003"));
}

TEST(CoordinateListing200, BreaksAreRemovedOneAfterAnother) {
  // Removing the first break joins an ETX and a CR LF into a new marker, which goes too, with
  // the four characters before it and the one after it.
  const QString data = QStringLiteral("+P1_ x10") + korvane::testing::kEtx + blockBreak() + QStringLiteral("\r\nZ00_ y2_ z3_");
  EXPECT_EQ(removeBlockBreaks(data), QStringLiteral("+P1_00_ y2_ z3_"));
  // A marker at the fifth character takes the four before it.
  EXPECT_EQ(cCoord(QStringLiteral("..+P") + blockBreak().mid(3) + QStringLiteral("+P1_ x1_ y2_ z3_")), QStringLiteral("P1,0.001,0.002,0.003"));
}

TEST(CoordinateListing200, DataEndingInsideARecordOrAMisplacedBreakFails) {
  EXPECT_THROW(cCoord(QStringLiteral("+P1_ x1000_ y2000_ z3000_+P2_ x1000_ y20")), korvane::Failure);
  EXPECT_THROW(cCoord1(QStringLiteral("+P1_ x1000_ y2000_ z3000_+P2")), korvane::Failure);
  EXPECT_THROW(cCoord(QStringLiteral("+P") + blockBreak().mid(3) + QStringLiteral("1_ x1_ y2_ z3_")), korvane::Failure);
}

}  // namespace
