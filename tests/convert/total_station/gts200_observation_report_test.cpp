// "觀測資料" (cMeas): the labelled observation report of GTS-200 series data.

#include <gtest/gtest.h>

#include "convert/total_station/gts200_observation_report.h"
#include "fakes/recording_messages.h"
#include "golden.h"
#include "gts200_download.h"
#include "gts200_sample.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;
using korvane::testing::blockBreak;

namespace {

const QString kBreak = blockBreak(QStringLiteral("block"), 1);

QString report(const QString& workspace) {
  korvane::testing::RecordingMessages messages;
  const QString text = cMeas(workspace, messages);
  EXPECT_TRUE(messages.shown.empty());
  return text;
}

// The lines of the station "'S1_(ID_)1.5_+B1_ ", of the angle record kAngle (the backsight,
// naming P1 next) and of the slope-distance record kSlope (no next point).
const QString kStation = QStringLiteral("   測站:        S1  儀器高:1.500  ID:        ID\r\n 後視點:        B1");
const QString kAngle = QStringLiteral("<0900000d0000000dK123_*BS_,1.5_+P1_ ");
const QString kAngleLine = QStringLiteral("  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000\r\nSS 點號:        P1");
const QString kSlope = QStringLiteral("?000010000m0900000d1000000dm00020000_*C_,1.62_ ");
const QString kSlopeLine = QStringLiteral("  覘標高:1.620  Pcode:         C  水平角:100.0000  天頂距: 90.0000  斜距:10.000平距:20.000");

TEST(ObservationReport, DownloadWithBlockBreaksAnywhereGivesTheReport) {
  // Each preamble length moves the block boundaries one character on, so that the breaks fall
  // in turn into every point number, number field, separator and gap between records.
  const QString expected = korvane::testing::golden("observation_report.txt");
  for (int shift = 0; shift < korvane::testing::kBlockData; ++shift) {
    const QString workspace = korvane::testing::gts200Download(korvane::testing::gts200Records(QString(shift, u'.')));
    ASSERT_EQ(report(workspace), expected) << "preamble of " << shift << " characters";
  }
}

TEST(ObservationReport, EmptyWorkspaceAndTextWithoutPreamble) {
  EXPECT_EQ(report(QStringLiteral("   ")), QString());
  // Without any underscore the first record is read from the first character.
  EXPECT_EQ(report(QStringLiteral("<0900000d0000000dK123 ")),
            QStringLiteral("  覘標高:900000.000  Pcode:            水平角:  0.0000  天頂距: 90.0000"));
}

TEST(ObservationReport, LastRecordNeedsItsSpace) {
  EXPECT_EQ(report(QStringLiteral("_'S1_(ID_)1.5_+B1_ ") + kAngle.chopped(1)), kStation);
  // Spaces ending the text are not trimmed off the last record.
  EXPECT_EQ(report(QStringLiteral("  _'S1_(ID_)1.5_+B1_   ")), kStation);
}

TEST(ObservationReport, BlankTokensAndRecordsOfOtherKindsAddNothing) {
  // Two spaces in a row; a break alone directly before a station record; kinds 7 and ">".
  const QString data = QStringLiteral("_") + kSlope + u' ' + kBreak + QStringLiteral("'S1_(ID_)1.5_+B1_ 7ABC_*X_,1_+Q_ >+0_ ") + kAngle;
  EXPECT_EQ(report(data), kSlopeLine + QStringLiteral("\r\n") + kStation + kAngleLine);
}

TEST(ObservationReport, StationGluedToThePreviousRecordIsStillAStation) {
  // The records before the stations lack their closing space; they keep their next point and
  // target height all the same.
  const QString data = QStringLiteral("_") + kAngle.chopped(1) + QStringLiteral("'S1_(ID_)1.5_+B1_ ") + kSlope.chopped(1) +
                       QStringLiteral("'S2_(X_)1_+B2_ ");
  EXPECT_EQ(report(data), kAngleLine + QStringLiteral("\r\n") + kStation + kSlopeLine +
                              QStringLiteral("\r\n   測站:        S2  儀器高:1.000  ID:         X\r\n 後視點:        B2"));
}

TEST(ObservationReport, SecondBreakInATokenIsRemovedOnlyInsideAMendedField) {
  const QString second = blockBreak(QStringLiteral("x"), 7);
  // The first break lies in the slope distance, the second in the point code.
  EXPECT_EQ(report(QStringLiteral("_?0000") + kBreak + QStringLiteral("10000m0900000d1000000dm00020000_*") + second +
                   QStringLiteral("C_,1.62_ ")),
            kSlopeLine);
  // The second one splits the target height: never are the block's digits read into it.
  for (const QString& tail : {QStringLiteral("_+P1_ "), QStringLiteral("_ ")}) {
    const QString angle = report(QStringLiteral("_<09000") + kBreak + QStringLiteral("00d0000000dK123_*BS_,1.5") + second + u'2' + tail);
    EXPECT_TRUE(angle.startsWith(QStringLiteral("  覘標高:1.520  Pcode:"))) << angle.toStdString();
  }
  // A second break in the fixed part stays: the horizontal distance is no longer found.
  EXPECT_FALSE(report(QStringLiteral("_?0000") + kBreak + QStringLiteral("10000m0900") + second +
                      QStringLiteral("000d1000000dm00020000_*C_,1.62_ "))
                   .contains(QStringLiteral("平距:20.000")));
}

TEST(ObservationReport, TargetHeightsAndFieldsThatAreNoNumbers) {
  // The angle record with a next point prints its target height text, a number formatted;
  // without one, its numeric value; so do the other records, also without a next point.
  EXPECT_TRUE(report(QStringLiteral("_<0900000d0000000dK123_*BS_,1.5m_+P1_ ")).startsWith(QStringLiteral("  覘標高:1.5m  Pcode:")));
  EXPECT_TRUE(report(QStringLiteral("_<0900000d0000000dK123_*BS_,1.5m_ ")).startsWith(QStringLiteral("  覘標高:1.500  Pcode:")));
  EXPECT_EQ(report(QStringLiteral("_U+00000001+00000002+00000003ZZCODE123_*C_,1.62_ ")),
            QStringLiteral("  覘標高:1.620  Pcode:         C  N:       1.000  E:       2.000  Z:       3.000"));
  // Fine coordinate fields that are no numbers leave their values blank.
  EXPECT_EQ(report(QStringLiteral("_W+000100000d+90000x0d+0000000m+0000010000+00000200y0+0000030000_*C_,1.62_ ")),
            QStringLiteral("  覘標高:1.620  Pcode:         C  N:       1.000  E:              Z:       3.000"
                           "  水平角:  0.0000  天頂距:          斜距:      10.000"));
  // Missing separators give empty fields: no "_(" or "_)", the instrument height runs from the
  // second character to "_+".
  EXPECT_EQ(report(QStringLiteral("_'S1_+B1_ ")), QStringLiteral("   測站:            儀器高:S1  ID:          \r\n 後視點:        B1"));
}

TEST(ObservationReport, AfterEotEveryTokenIsShownInAPlainBox) {
  korvane::testing::RecordingMessages messages;
  const QString data = QStringLiteral("_") + kAngle + QStringLiteral("<0900000d0000000dK123_*A") + korvane::testing::kEot +
                       QStringLiteral("_,1.5_ 'S1_(ID_)1.5_+B1_ ?ZZ_ ");
  const QString text = cMeas(data, messages);
  EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("'S1_(ID_)1.5_+B1_ "), QStringLiteral("?ZZ_ "), QString()}));
  for (const auto& shown : messages.shown) EXPECT_EQ(shown.kind, QStringLiteral("plain"));
  EXPECT_TRUE(text.endsWith(kStation + QStringLiteral("  覘標高:0.000  Pcode:            水平角:  0.0000  天頂距:  0.0000  斜距:0.000平距:0.000")));
}

}  // namespace
