// Removing the block break of a GTS-200 transfer from a record or a field.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "convert/total_station/block_break.h"
#include "gts200_download.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;
using korvane::testing::blockBreak;

namespace {

const QString kBreak = blockBreak(QStringLiteral("any block"), 3);

TEST(BlockBreak, EmptyTextGivesTenSpacesAlignedAndNothingPlain) {
  QString aligned;
  EXPECT_EQ(StripBlockBreakAligned(aligned), QString(10, u' '));
  EXPECT_EQ(aligned, QString());
  QString plain;
  EXPECT_EQ(StripBlockBreak(plain), QString());
}

TEST(BlockBreak, TextWithoutBreakIsAlignedUntrimmedAndNeverCut) {
  QString point = QStringLiteral("P1234");
  EXPECT_EQ(StripBlockBreakAligned(point), QStringLiteral("     P1234"));
  QString spaced = QStringLiteral(" A ");
  EXPECT_EQ(StripBlockBreakAligned(spaced), QStringLiteral("        A "));
  QString twelve = QStringLiteral("ABCDEFGHIJKL");
  EXPECT_EQ(StripBlockBreakAligned(twelve), QStringLiteral("ABCDEFGHIJKL"));
  QString record = QStringLiteral("<0900000_ ");
  EXPECT_EQ(StripBlockBreak(record), QStringLiteral("<0900000_ "));
}

TEST(BlockBreak, PointNumberSplitAfterTwoCharactersIsJoined) {
  QString aligned = QStringLiteral("P1") + kBreak + QStringLiteral("02");
  EXPECT_EQ(StripBlockBreakAligned(aligned), QStringLiteral("      P102"));
  EXPECT_EQ(aligned, QStringLiteral("P102"));

  QString plain = QStringLiteral("P1") + kBreak + QStringLiteral("02");
  EXPECT_EQ(StripBlockBreak(plain), QStringLiteral("P102 "));
  EXPECT_EQ(plain, QStringLiteral("P102 "));
}

TEST(BlockBreak, SpacesNextToTheBreakAreLost) {
  QString text = QStringLiteral("AB ") + kBreak + QStringLiteral(" CD");
  EXPECT_EQ(StripBlockBreakAligned(text), QStringLiteral("      ABCD"));
}

TEST(BlockBreak, OnlyTheFirstBreakIsRemoved) {
  const QString second = blockBreak(QStringLiteral("next"), 4);
  QString text = QStringLiteral("AB") + kBreak + QStringLiteral("CD") + second + QStringLiteral("EF");
  StripBlockBreak(text);
  EXPECT_EQ(text, QStringLiteral("ABCD") + second + QStringLiteral("EF "));
}

TEST(BlockBreak, BreakAtTheVeryStartLeavesTheRest) {
  QString text = kBreak + QStringLiteral("?0001_ ");
  EXPECT_EQ(StripBlockBreak(text), QStringLiteral("?0001_ "));
  QString alone = kBreak;
  EXPECT_EQ(StripBlockBreak(alone), QStringLiteral(" "));
}

TEST(BlockBreak, MarkerWithinTheFirstFourCharactersFailsAndLeavesTheText) {
  const QString original = QStringLiteral("12") + korvane::testing::kEtx + QStringLiteral("\r\nXP1");
  QString aligned = original;
  EXPECT_THROW(StripBlockBreakAligned(aligned), korvane::Failure);
  EXPECT_EQ(aligned, original);
  QString plain = original;
  EXPECT_THROW(StripBlockBreak(plain), korvane::Failure);
  EXPECT_EQ(plain, original);
}

TEST(BlockBreak, BreakFarIntoALongTextIsRemovedToo) {
  QString text = QString(40000, u'A') + kBreak + QStringLiteral("B");
  StripBlockBreak(text);
  EXPECT_EQ(text, QString(40000, u'A') + QStringLiteral("B "));
}

}  // namespace
