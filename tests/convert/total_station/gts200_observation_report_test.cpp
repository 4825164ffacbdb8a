// "觀測資料" (cMeas): the labelled observation report of GTS-200 series data.

#include <gtest/gtest.h>

#include "convert/total_station/gts200_observation_report.h"
#include "fakes/recording_messages.h"
#include "golden.h"
#include "qstring_printer.h"
#include "gts200_download.h"
#include "gts200_sample.h"

using namespace korvane::convert::total_station;
using korvane::testing::blockBreak;
using korvane::testing::golden;
using korvane::testing::gts200Download;
using korvane::testing::gts200Records;
using korvane::testing::RecordingMessages;

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kBreak = blockBreak(QStringLiteral("block"), 1);

QString report(const QString& workspace) {
  RecordingMessages messages;
  const QString text = cMeas(workspace, messages);
  EXPECT_TRUE(messages.shown.empty()) << messages.texts().join(u'|').toStdString();
  return text;
}

// The report lines of the single station "'S1_(ID_)1.5_+B1_ ".
const QString kStation = QStringLiteral("   測站:        S1  儀器高:1.500  ID:        ID\r\n 後視點:        B1");

TEST(ObservationReport, DownloadWithBlockBreaksAnywhereGivesTheReport) {
  // The preamble moves every block boundary one character further each time, so the breaks fall
  // in turn into every point number, number field, separator and record gap of the data.
  const QString expected = golden("observation_report.txt");
  for (int shift = 0; shift < korvane::testing::kBlockData; ++shift) {
    const QString workspace = gts200Download(gts200Records(QString(shift, u'.')));
    ASSERT_EQ(report(workspace), expected) << "preamble of " << shift << " characters";
  }
}

TEST(ObservationReport, EmptyWorkspaceGivesAnEmptyReport) {
  EXPECT_EQ(report(QString()), QString());
  EXPECT_EQ(report(QStringLiteral("   ")), QString());
}

TEST(ObservationReport, DataWithoutAnyUnderscoreIsReadFromTheFirstCharacter) {
  // No preamble to drop; the angle record without its tail takes its target height from the
  // second to the third-last character.
  EXPECT_EQ(report(QStringLiteral("_<0900000d0000000dK123 ")),
            QStringLiteral("  覘標高:900000.000  Pcode:            水平角:  0.0000  天頂距: 90.0000"));
}

TEST(ObservationReport, PreambleRunsUpToTheFirstUnderscore) {
  EXPECT_EQ(report(QStringLiteral("TOPCON 'X_'S1_(ID_)1.5_+B1_ ")), kStation);
  // A text whose first underscore lies in its first record loses that record's start.
  EXPECT_EQ(report(QStringLiteral("'S1_(ID_)1.5_+B1_ ")), QString());
}

TEST(ObservationReport, LastRecordWithoutItsSpaceIsLost) {
  EXPECT_EQ(report(QStringLiteral("_'S1_(ID_)1.5_+B1_ <0900000d0000000dK123_*BS_,1.5_+P1_")), kStation);
}

TEST(ObservationReport, LastRecordFollowedOnlyBySpacesIsKept) {
  // Its closing space is not taken for a space around the text.
  EXPECT_EQ(report(QStringLiteral("  _'S1_(ID_)1.5_+B1_   ")), kStation);
}

TEST(ObservationReport, TwoSpacesInARowDoNotEndTheConversion) {
  const QString data = QStringLiteral("_'S1_(ID_)1.5_+B1_  <0900000d0000000dK123_*BS_,1.5_+P1_ ");
  EXPECT_EQ(report(data), kStation + QStringLiteral("  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000") +
                              kCrLf + QStringLiteral("SS 點號:        P1"));
}

TEST(ObservationReport, BreakDirectlyBeforeAStationRecordAddsNothing) {
  const QString data = QStringLiteral("_<0900000d0000000dK123_*BS_,1.5_ ") + kBreak + QStringLiteral("'S1_(ID_)1.5_+B1_ ");
  EXPECT_EQ(report(data), QStringLiteral("  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000") + kCrLf + kStation);
}

TEST(ObservationReport, StationGluedToThePreviousRecordIsStillAStation) {
  // The records before the station lack their closing space; they keep their next point and
  // target height all the same.
  const QString data = QStringLiteral("_'S0_(ID_)1.5_+B0_ <0900000d0000000dK123_*BS_,1.5_+P1_'S1_(ID_)1.5_+B1_ "
                                      "?000010000m0900000d0000000dm00010000_*C_,1.234_'S2_(X_)1_+B2_ ");
  EXPECT_EQ(report(data),
            QStringLiteral("   測站:        S0  儀器高:1.500  ID:        ID\r\n 後視點:        B0"
                           "  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000\r\n"
                           "SS 點號:        P1\r\n") +
                kStation +
                QStringLiteral("  覘標高:1.234  Pcode:         C  水平角:  0.0000  天頂距: 90.0000  斜距:10.000平距:10.000\r\n"
                               "   測站:        S2  儀器高:1.000  ID:         X\r\n 後視點:        B2"));
}

TEST(ObservationReport, SecondBreakInATokenIsRemovedOnlyInsideAMendedField) {
  // One token holding two breaks: the first (inside the slope distance) is removed with the
  // token, the second inside the point code when the point code is mended.
  const QString inCode = QStringLiteral("_?0000") + kBreak + QStringLiteral("10000m0900000d0000000dm00010000_*TR") + kBreak +
                         QStringLiteral("EE_,1.5_ ");
  EXPECT_EQ(report(inCode),
            QStringLiteral("  覘標高:1.500  Pcode:      TREE  水平角:  0.0000  天頂距: 90.0000  斜距:10.000平距:10.000"));
  // A second break in the fixed part stays there: the characters after it are shifted.
  const QString inFixedPart = QStringLiteral("_?0000") + kBreak + QStringLiteral("10000m0900") + kBreak +
                              QStringLiteral("000d0000000dm00010000_*C_,1.5_ ");
  EXPECT_NE(report(inFixedPart).indexOf(QStringLiteral("天頂距: 90.0")), -1) << "zenith read up to the break";
  EXPECT_EQ(report(inFixedPart).indexOf(QStringLiteral("平距:10.000")), -1);
}

TEST(ObservationReport, ObservationWithoutNextPointLeavesItsLineOpen) {
  const QString data = QStringLiteral("_'S1_(ID_)1.5_+B1_ <0900000d0000000dK123_*BS_,1.5_ <1000000d0100000dK123_*X_,2_+P9_ "
                                      "'S2_(ID_)1.5_+B1_ ");
  EXPECT_EQ(report(data), kStation +
                              QStringLiteral("  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000"
                                             "  覘標高:2.000  Pcode:         X  水平角: 10.0000  天頂距:100.0000\r\n"
                                             "SS 點號:        P9\r\n") +
                              QString(kStation).replace(QStringLiteral("S1"), QStringLiteral("S2")));
}

TEST(ObservationReport, RecordsWithoutNextPointStillShowTheirTargetHeight) {
  EXPECT_EQ(report(QStringLiteral("_?000010000m0900000d0000000dm00010000_*C_,1.62_ ")),
            QStringLiteral("  覘標高:1.620  Pcode:         C  水平角:  0.0000  天頂距: 90.0000  斜距:10.000平距:10.000"));
  EXPECT_EQ(report(QStringLiteral("_U+00000001+00000002+00000003ZZCODE123_*C_,1.62_ ")),
            QStringLiteral("  覘標高:1.620  Pcode:         C  N:       1.000  E:       2.000  Z:       3.000"));
  EXPECT_EQ(report(QStringLiteral("_W+000100000d+9000000d+0000000m+0000010000+0000020000+0000030000_*C_,1.62_ ")),
            QStringLiteral("  覘標高:1.620  Pcode:         C  N:       1.000  E:       2.000  Z:       3.000"
                           "  水平角:  0.0000  天頂距: 90.0000  斜距:      10.000"));
}

TEST(ObservationReport, AngleRecordPrintsItsTargetHeightText) {
  // With a next point the text is formatted when it is a number and passes unchanged otherwise;
  // without one its numeric value is printed.
  EXPECT_TRUE(report(QStringLiteral("_<0900000d0000000dK123_*BS_,1.5_+P1_ ")).startsWith(QStringLiteral("  覘標高:1.500  Pcode:")));
  EXPECT_TRUE(report(QStringLiteral("_<0900000d0000000dK123_*BS_,1.5m_+P1_ ")).startsWith(QStringLiteral("  覘標高:1.5m  Pcode:")));
  EXPECT_TRUE(report(QStringLiteral("_<0900000d0000000dK123_*BS_,_+P1_ ")).startsWith(QStringLiteral("  覘標高:  Pcode:")));
  EXPECT_TRUE(report(QStringLiteral("_<0900000d0000000dK123_*BS_,1.5m_ ")).startsWith(QStringLiteral("  覘標高:1.500  Pcode:")));
}

TEST(ObservationReport, BreakInsideATargetHeightNeverAddsTheBlockDigits) {
  // The token's first break lies in the fixed part; the second one splits the target height.
  const QString second = blockBreak(QStringLiteral("x"), 7);
  for (const QString& tail : {QStringLiteral("_+P1_ "), QStringLiteral("_ ")}) {
    const QString token = QStringLiteral("_<09000") + kBreak + QStringLiteral("00d0000000dK123_*BS_,1.5") + second +
                          QStringLiteral("20") + tail;
    EXPECT_TRUE(report(token).startsWith(QStringLiteral("  覘標高:1.520  Pcode:"))) << report(token).toStdString();
  }
  const QString slope = QStringLiteral("_?0000") + kBreak + QStringLiteral("10000m0900000d0000000dm00010000_*C_,1.5") +
                        second + QStringLiteral("20_ ");
  EXPECT_TRUE(report(slope).startsWith(QStringLiteral("  覘標高:1.520  Pcode:")));
}

TEST(ObservationReport, FineCoordinateFieldThatIsNoNumberPrintsBlank) {
  EXPECT_EQ(report(QStringLiteral("_W+000100000d+90000x0d+0000000m+0000010000+00000200y0+0000030000_*C_,1.62_ ")),
            QStringLiteral("  覘標高:1.620  Pcode:         C  N:       1.000  E:              Z:       3.000"
                           "  水平角:  0.0000  天頂距:          斜距:      10.000"));
}

TEST(ObservationReport, RecordOfAnyOtherKindAddsNothing) {
  const QString data = QStringLiteral("_'S1_(ID_)1.5_+B1_ 7ABC_*X_,1_+Q_ >+000000d+0000000_ <0900000d0000000dK123_*BS_,1.5_+P1_ ");
  EXPECT_EQ(report(data), kStation + QStringLiteral("  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000") +
                              kCrLf + QStringLiteral("SS 點號:        P1"));
}

TEST(ObservationReport, MissingSeparatorsGiveEmptyFieldsNeverAnAbort) {
  // No "_(" and no "_)": station and identifier are empty, the instrument height runs from the
  // second character to "_+" and is no number.
  EXPECT_EQ(report(QStringLiteral("_'S1_+B1_ ")),
            QStringLiteral("   測站:            儀器高:S1  ID:          \r\n 後視點:        B1"));
  // No "_*": the point code runs from the second character.
  EXPECT_EQ(report(QStringLiteral("_<0900000d0000000dK1_,1.5_ ")),
            QStringLiteral("  覘標高:1.500  Pcode:0900000d0000000dK1  水平角:  0.0000  天頂距: 90.0000"));
}

TEST(ObservationReport, AfterEotEveryTokenIsShownInAPlainBox) {
  RecordingMessages messages;
  const QString eotCode = QStringLiteral("A") + korvane::testing::kEot;
  const QString data = QStringLiteral("_<0900000d0000000dK123_*BS_,1.5_+P1_ <0900000d0000000dK123_*") + eotCode +
                       QStringLiteral("_,1.5_ 'S1_(ID_)1.5_+B1_ ?ZZ_ ");
  const QString text = cMeas(data, messages);
  ASSERT_EQ(messages.shown.size(), 3u);
  for (const auto& shown : messages.shown) {
    EXPECT_EQ(shown.kind, QStringLiteral("plain"));
    EXPECT_EQ(shown.title, korvane::kTitleApplication);
  }
  EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("'S1_(ID_)1.5_+B1_ "), QStringLiteral("?ZZ_ "), QString()}));
  EXPECT_TRUE(text.endsWith(kStation + QStringLiteral("  覘標高:0.000  Pcode:            水平角:  0.0000  天頂距:  0.0000  斜距:0.000平距:0.000")))
      << text.toStdString();
}

}  // namespace
