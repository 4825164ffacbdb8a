// "地政座標(點號Y,X,Z)" of the GTS-600 series (mnuCoord600): the cadastral coordinate list.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/failure.h"
#include "convert/total_station/gts600_coordinate_list.h"
#include "fakes/recording_messages.h"
#include "gts600_printout.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;
using korvane::testing::coordinateLine;

namespace {

const QString kHeading = QStringLiteral("Point          North         East       Elev");
const QString kRule = QStringLiteral("============================================");

QString lines(const QStringList& list) { return list.join(QStringLiteral("\r\n")); }

TEST(CoordinateList600, PrintoutGivesTheCadastralList) {
  const QString printout = lines({
      QStringLiteral("Job: LOT-12      Date: 2024-05-01"),
      kHeading,
      kRule,
      // Column ruler: 1234567890123456789012345678901234567890
      QStringLiteral("P1             2543210.123    187654.321     12.345"),
      coordinateLine(QStringLiteral("BM-A7"), QStringLiteral("2543198.456"), QStringLiteral("187700.012"), QStringLiteral("13.210")),
      coordinateLine(QStringLiteral("SMALL"), QStringLiteral("0.5"), QStringLiteral("-0.25"), QStringLiteral("0.000")),
      coordinateLine(QStringLiteral("一號樁"), QStringLiteral("2543187.789"), QStringLiteral("187745.703"), QStringLiteral("11.876")),
      QString(),
      QStringLiteral("   "),
      QStringLiteral("Job: LOT-13"),
      kHeading,
      kRule,
      coordinateLine(QStringLiteral("P9"), QStringLiteral("2543000.0005"), QStringLiteral("187000.0004"), QStringLiteral("1")),
      coordinateLine(QStringLiteral("LONGNAME12"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")),
  });
  EXPECT_EQ(gts600CoordinateList(printout), QStringLiteral("LS  (LOT-12)\r\n"
                                                           "P1 2543210.123 187654.321\r\n"
                                                           "BM-A7 2543198.456 187700.012\r\n"
                                                           "SMALL .500 -.250\r\n"
                                                           "一號樁 2543187.789 187745.703\r\n"
                                                           "P9 2543000.001 187000.000\r\n"
                                                           "LONGNAME1 1.000 2.000"));
}

TEST(CoordinateList600, EmptyWorkspaceGivesAnEmptyList) { EXPECT_EQ(gts600CoordinateList(QString()), QString()); }

TEST(CoordinateList600, PointsWithAZeroOrUnreadableCoordinateAreLeftOut) {
  const QString printout = lines({
      coordinateLine(QStringLiteral("ZERO-N"), QStringLiteral("0.000"), QStringLiteral("187700.000"), QStringLiteral("1")),
      coordinateLine(QStringLiteral("ZERO-E"), QStringLiteral("2543100.000"), QStringLiteral("0"), QStringLiteral("1")),
      coordinateLine(QStringLiteral("NONUM"), QStringLiteral("-------"), QStringLiteral("187700.000"), QStringLiteral("1")),
      QStringLiteral("Short line"),
      coordinateLine(QStringLiteral("KEPT"), QStringLiteral("-1"), QStringLiteral("0.001"), QStringLiteral("0")),
  });
  EXPECT_EQ(gts600CoordinateList(printout), QStringLiteral("KEPT -1.000 .001"));
}

TEST(CoordinateList600, OnlyTheFirstJobLineGivesAnLsLineWhereItStands) {
  const QString printout = lines({
      coordinateLine(QStringLiteral("P0"), QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("1")),
      QStringLiteral("Job: FIRST"),
      coordinateLine(QStringLiteral("P1"), QStringLiteral("11"), QStringLiteral("21"), QStringLiteral("1")),
      QStringLiteral("Job: SECOND"),
      coordinateLine(QStringLiteral("P2"), QStringLiteral("12"), QStringLiteral("22"), QStringLiteral("1")),
  });
  EXPECT_EQ(gts600CoordinateList(printout), QStringLiteral("P0 10.000 20.000\r\nLS  (FIRST)\r\nP1 11.000 21.000\r\nP2 12.000 22.000"));
}

TEST(CoordinateList600, LinesMayEndInCrLfCrOrLf) {
  const QString a = coordinateLine(QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"));
  const QString b = coordinateLine(QStringLiteral("B"), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"));
  const QString expected = QStringLiteral("A 1.000 2.000\r\nB 4.000 5.000");
  EXPECT_EQ(gts600CoordinateList(a + u'\n' + b + u'\n'), expected);
  EXPECT_EQ(gts600CoordinateList(a + u'\r' + b), expected);
  EXPECT_EQ(gts600CoordinateList(a + QStringLiteral("\r\n") + b + QStringLiteral("\r\n")), expected);
}

TEST(CoordinateList600, YieldsToTheWindowBeforeEveryLine) {
  int yields = 0;
  gts600CoordinateList(QStringLiteral("Job: A\r\n\r\nx\r\ny"), [&yields] { ++yields; });
  EXPECT_EQ(yields, 4);
}

TEST(CoordinateList600, CommandWritesTheWorkspaceToTempTxtInCp950) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile old(folder.filePath(QStringLiteral("Temp.txt")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("an older and longer scratch text");
  old.close();
  korvane::testing::RecordingMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, {}, {}};
  const QString workspace = QStringLiteral("Job: 一\r\n") +
                            coordinateLine(QStringLiteral("P1"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"));
  EXPECT_EQ(mnuCoord600(workspace, environment), QStringLiteral("LS  (一)\r\nP1 1.000 2.000"));
  QFile scratch(folder.filePath(QStringLiteral("Temp.txt")));
  ASSERT_TRUE(scratch.open(QIODevice::ReadOnly));
  EXPECT_EQ(scratch.readAll(), QByteArray("Job: \xA4\x40\r\n") + workspace.mid(8).toLatin1());
}

TEST(CoordinateList600, TempTxtThatCannotBeWrittenFailsNamingTheFile) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Temp.txt")));
  korvane::testing::RecordingMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, {}, {}};
  try {
    mnuCoord600(QStringLiteral("Job: A"), environment);
    FAIL() << "no failure";
  } catch (const korvane::Failure& failure) {
    EXPECT_TRUE(failure.description().contains(QStringLiteral("Temp.txt"))) << failure.description().toStdString();
  }
}

}  // namespace
