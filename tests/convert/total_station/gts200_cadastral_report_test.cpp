// "地政觀測資料" of the GTS-200 series (mnuMeas200): the compact cadastral observation report.

#include <gtest/gtest.h>

#include "convert/total_station/gts200_cadastral_report.h"
#include "fakes/recording_messages.h"
#include "gts200_download.h"
#include "gts200_sample.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;
using korvane::testing::blockBreak;
using korvane::testing::gts200Download;
using korvane::testing::gts200Records;
using korvane::testing::RecordingMessages;

namespace {

QString report(const QString& workspace) {
  RecordingMessages messages;
  const QString text = mnuMeas200(workspace, messages);
  EXPECT_TRUE(messages.shown.empty());
  return text;
}

const QString kAngle = QStringLiteral("<0900000d0000000dK123_*BS_,1.5_+P1_ ");

TEST(CadastralReport200, DownloadWithBlockBreaksAnywhereGivesTheReport) {
  // Station, backsight angle, one line per sighted point (its number carried by the record
  // before); coordinate records carry their code (U) or angle (W) and no distance. The second
  // station starts its own line and gets no job line.
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
    ASSERT_EQ(report(gts200Download(gts200Records(QString(shift, u'.')))), expected) << "preamble of " << shift;
  }
}

TEST(CadastralReport200, EmptyWorkspaceGivesAnEmptyReport) { EXPECT_EQ(report(QString()), QString()); }

TEST(CadastralReport200, TwoSpacesInARowDoNotEndTheConversion) {
  EXPECT_EQ(report(QStringLiteral("_'S1_(ID_)1.5_+B1_  ") + kAngle + QStringLiteral(" R000010000m0900000d0000050dm00012345_*X_,1_ ")),
            QStringLiteral("S1 B1\r\nLS  (K123)\r\nP1   0.0050 12.345"));
}

TEST(CadastralReport200, StationAfterAnObservationStartsItsOwnLine) {
  // After an observation that names no next point the line is open; after one that does, the
  // line holds the next point number, which nothing observed.
  const QString data = QStringLiteral("_'S1_(ID_)1.5_+B1_ ") + kAngle +
                       QStringLiteral("?000010000m0900000d1000000dm00010000_*X_,1_ "
                                      "'S2_(ID_)1.5_+S1_ <0900000d0000000dK124_*BS_,1.5_+P7_ "
                                      "?000020000m0900000d2000000dm00020000_*X_,1_+P8_ "
                                      "'S3_(ID_)1.5_+S2_ ");
  EXPECT_EQ(report(data), QStringLiteral("S1 B1\r\nLS  (K123)\r\nP1 100.0000 10.000\r\n"
                                         "S2 S1\r\nP7 200.0000 20.000\r\nP8 \r\nS3 S2\r\n"));
}

TEST(CadastralReport200, AngleRecordWithoutNextPointAddsNothingAfterTheJobLine) {
  EXPECT_EQ(report(QStringLiteral("_'S1_(ID_)1.5_+B1_ <0900000d0000000dK123_*BS_,1.5_ <0900000d0000000dK999_*BS_,1.5_ ")),
            QStringLiteral("S1 B1\r\nLS  (K123)\r\n"));
  EXPECT_EQ(report(QStringLiteral("_<0900000d0000000dJOB9_*BS_,1.5_ ")), QStringLiteral("LS  (JOB9)\r\n"));
}

TEST(CadastralReport200, FineHorizontalDistanceRecordPrintsItsSlopeDistance) {
  EXPECT_EQ(report(QStringLiteral("_*0000456789s09012345d18000050dm000456800_*PEG_,1.650_+P104_ ")),
            QStringLiteral("180.0005 45.680\r\nP104 "));
}

TEST(CadastralReport200, BreaksInsidePointNumbersAreMended) {
  const QString split = blockBreak(QStringLiteral("x"), 5);
  const QString data = QStringLiteral("_'ST") + split + QStringLiteral("1_(ID_)1.5_+B") + QStringLiteral("Z") +
                       QStringLiteral("_ <0900000d0000000dK123_*BS_,1.5_+P") + split + QStringLiteral("12_ ");
  EXPECT_EQ(report(data), QStringLiteral("ST1 BZ\r\nLS  (K123)\r\nP12 "));
}

TEST(CadastralReport200, AfterEotEveryTokenIsShownInAPlainBox) {
  RecordingMessages messages;
  const QString data = QStringLiteral("_<0900000d0000000dK123_*BS_,1.5_+P") + korvane::testing::kEot +
                       QStringLiteral("_ 'S1_(ID_)1.5_+B1_ ");
  const QString text = mnuMeas200(data, messages);
  EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("'S1_(ID_)1.5_+B1_ "), QString()}));
  EXPECT_EQ(text, QStringLiteral("LS  (K123)\r\nP") + korvane::testing::kEot + QStringLiteral(" \r\nS1 B1\r\n"));
}

}  // namespace
