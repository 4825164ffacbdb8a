// Removing the block break of a GTS-200 transfer from a record or a field.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "convert/total_station/block_break.h"
#include "gts200_download.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;

namespace {

const QString kBreak = korvane::testing::blockBreak(QStringLiteral("any block"), 3);

QString aligned(QString text) { return StripBlockBreakAligned(text); }
QString plain(QString text) { return StripBlockBreak(text); }

TEST(BlockBreak, TextWithoutBreakIsAlignedUntrimmedNeverCut) {
  EXPECT_EQ(aligned(QString()), QString(10, u' '));
  EXPECT_EQ(plain(QString()), QString());
  EXPECT_EQ(aligned(QStringLiteral("P1234")), QStringLiteral("     P1234"));
  EXPECT_EQ(aligned(QStringLiteral(" A ")), QStringLiteral("        A "));
  EXPECT_EQ(aligned(QStringLiteral("ABCDEFGHIJKL")), QStringLiteral("ABCDEFGHIJKL"));
  EXPECT_EQ(plain(QStringLiteral("<0900000_ ")), QStringLiteral("<0900000_ "));
}

TEST(BlockBreak, SplitTextIsJoinedInTheCallersVariable) {
  QString text = QStringLiteral("P1") + kBreak + QStringLiteral("02");
  EXPECT_EQ(StripBlockBreakAligned(text), QStringLiteral("      P102"));
  EXPECT_EQ(text, QStringLiteral("P102"));
  text = QStringLiteral("P1") + kBreak + QStringLiteral("02");
  EXPECT_EQ(StripBlockBreak(text), QStringLiteral("P102 "));
  EXPECT_EQ(text, QStringLiteral("P102 "));
  // Spaces next to the break go; a break alone leaves one space.
  EXPECT_EQ(aligned(QStringLiteral("AB ") + kBreak + QStringLiteral(" CD")), QStringLiteral("      ABCD"));
  EXPECT_EQ(plain(kBreak), QStringLiteral(" "));
  // Far into a long text too.
  EXPECT_EQ(plain(QString(40000, u'A') + kBreak + u'B'), QString(40000, u'A') + QStringLiteral("B "));
}

TEST(BlockBreak, OnlyTheFirstBreakIsRemoved) {
  const QString second = korvane::testing::blockBreak(QStringLiteral("next"), 4);
  EXPECT_EQ(plain(QStringLiteral("AB") + kBreak + QStringLiteral("CD") + second + QStringLiteral("EF")),
            QStringLiteral("ABCD") + second + QStringLiteral("EF "));
}

TEST(BlockBreak, MarkerWithinTheFirstFourCharactersFailsAndLeavesTheText) {
  const QString original = QStringLiteral("12") + korvane::testing::kEtx + QStringLiteral("\r\nXP1");
  QString text = original;
  EXPECT_THROW(StripBlockBreakAligned(text), korvane::Failure);
  EXPECT_THROW(StripBlockBreak(text), korvane::Failure);
  EXPECT_EQ(text, original);
}

}  // namespace
