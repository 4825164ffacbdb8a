// "地政觀測資料" of the GTS-200 series (mnuMeas200): the compact cadastral observation report.

#include <gtest/gtest.h>

#include "convert/total_station/gts200_cadastral_report.h"
#include "fakes/recording_messages.h"
#include "gts200_download.h"
#include "gts200_sample.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;

namespace {

QString report(const QString& workspace) {
  korvane::testing::RecordingMessages messages;
  const QString text = mnuMeas200(workspace, messages);
  EXPECT_TRUE(messages.shown.empty());
  return text;
}

const QString kStation = QStringLiteral("'S1_(ID_)1.5_+B1_ ");
const QString kAngle = QStringLiteral("<0900000d0000000dK123_*BS_,1.5_+P1_ ");

TEST(CadastralReport200, DownloadWithBlockBreaksAnywhereGivesTheReport) {
  // Station and backsight, the job line, then per sighted point its number (carried by the
  // record before), angle and distance; coordinate records carry their code (U) or angle (W)
  // and no distance. The second station starts its own line and gets no job line.
  const QString expected = QStringLiteral(
      "A01 B02\r\n"
      "LS  (K123)\r\n"
      "P101 123.4510 123.400\r\n"
      "P102 270.3005 87.700\r\n"
      "P103 180.0005 45.680\r\n"
      "P104  C0DE123 0.000\r\n"
      "P105  45.1235 0.000\r\n"
      "A02 A01\r\n"
      "P201  45.0000 50.500");
  for (int shift = 0; shift < korvane::testing::kBlockData; ++shift) {
    const QString workspace = korvane::testing::gts200Download(korvane::testing::gts200Records(QString(shift, u'.')));
    ASSERT_EQ(report(workspace), expected) << "preamble of " << shift;
  }
}

TEST(CadastralReport200, EmptyWorkspaceAndTwoSpacesInARow) {
  EXPECT_EQ(report(QString()), QString());
  EXPECT_EQ(report(u'_' + kStation + u' ' + kAngle + QStringLiteral(" R000010000m0900000d0000050dm00012345_*X_,1_ ")),
            QStringLiteral("S1 B1\r\nLS  (K123)\r\nP1   0.0050 12.345"));
}

TEST(CadastralReport200, StationAfterAnObservationStartsItsOwnLine) {
  // After an observation without next point the line is open; after one with a next point it
  // holds that point number, which no observation follows.
  const QString data = u'_' + kStation + kAngle +
                       QStringLiteral("?000010000m0900000d1000000dm00010000_*X_,1_ "
                                      "'S2_(ID_)1.5_+S1_ <0900000d0000000dK124_*BS_,1.5_+P7_ "
                                      "?000020000m0900000d2000000dm00020000_*X_,1_+P8_ "
                                      "'S3_(ID_)1.5_+S2_ ");
  EXPECT_EQ(report(data), QStringLiteral("S1 B1\r\nLS  (K123)\r\nP1 100.0000 10.000\r\n"
                                         "S2 S1\r\nP7 200.0000 20.000\r\nP8 \r\nS3 S2\r\n"));
}

TEST(CadastralReport200, AngleRecordWithoutNextPointAddsNothingAfterTheJobLine) {
  EXPECT_EQ(report(u'_' + kStation + QStringLiteral("<0900000d0000000dK123_*BS_,1.5_ <0900000d0000000dK999_*BS_,1.5_ ")),
            QStringLiteral("S1 B1\r\nLS  (K123)\r\n"));
}

TEST(CadastralReport200, AfterEotEveryTokenIsShownInAPlainBox) {
  korvane::testing::RecordingMessages messages;
  const QString data = QStringLiteral("_<0900000d0000000dK123_*BS_,1.5_+P") + korvane::testing::kEot + QStringLiteral("_ ") + kStation;
  EXPECT_EQ(mnuMeas200(data, messages), QStringLiteral("LS  (K123)\r\nP") + korvane::testing::kEot + QStringLiteral(" \r\nS1 B1\r\n"));
  EXPECT_EQ(messages.texts(), QStringList({kStation, QString()}));
}

}  // namespace
