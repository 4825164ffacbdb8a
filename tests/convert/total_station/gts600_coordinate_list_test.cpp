// "地政座標(點號Y,X,Z)" of the GTS-600 series (mnuCoord600): the cadastral coordinate list.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "convert/total_station/gts600_coordinate_list.h"
#include "fakes/recording_messages.h"
#include "gts600_printout.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;
using korvane::testing::coordinateLine;

namespace {

const QString kHeading = QStringLiteral("Point          North         East       Elev\r\n============================================");

QString point(const char* name, const char* north, const char* east) {
  return coordinateLine(QString::fromUtf8(name), QString::fromLatin1(north), QString::fromLatin1(east), QStringLiteral("12.345"));
}

TEST(CoordinateList600, PrintoutGivesTheCadastralList) {
  // Points with a zero or unreadable coordinate are left out, blank lines and headings add
  // nothing, the height is not read, and only the first job gives an "LS" line.
  const QStringList printout = {
      QStringLiteral("Job: LOT-12      Date: 2024-05-01"), kHeading,
      // Column ruler: 1234567890123456789012345678901234567890
      QStringLiteral("P1             2543210.123    187654.321     12.345"),
      point("BM-A7", "2543198.456", "187700.012"), point("SMALL", "0.5", "-0.25"),
      point("一號樁", "2543187.789", "187745.703"), point("ZERO-N", "0.000", "187700.000"),
      point("ZERO-E", "2543100.000", "0"), point("NONUM", "-------", "187700.000"), QString(), QStringLiteral("   "),
      QStringLiteral("Job: LOT-13"), kHeading, point("P9", "2543000.0005", "187000.0004"),
      point("LONGNAME12", "1", "2")};
  EXPECT_EQ(gts600CoordinateList(printout.join(QStringLiteral("\r\n"))),
            QStringLiteral("LS  (LOT-12)\r\nP1 2543210.123 187654.321\r\nBM-A7 2543198.456 187700.012\r\n"
                           "SMALL .500 -.250\r\n一號樁 2543187.789 187745.703\r\nP9 2543000.001 187000.000\r\n"
                           "LONGNAME1 1.000 2.000"));
}

TEST(CoordinateList600, EmptyWorkspaceAndJobLineWhereItStands) {
  EXPECT_EQ(gts600CoordinateList(QString()), QString());
  EXPECT_EQ(gts600CoordinateList(point("P0", "10", "20") + QStringLiteral("\r\nJob: FIRST\r\n") + point("P1", "11", "21")),
            QStringLiteral("P0 10.000 20.000\r\nLS  (FIRST)\r\nP1 11.000 21.000"));
}

TEST(CoordinateList600, LinesMayEndInCrLfCrOrLfAndEachYields) {
  const QString expected = QStringLiteral("A 1.000 2.000\r\nB 4.000 5.000");
  int yields = 0;
  EXPECT_EQ(gts600CoordinateList(point("A", "1", "2") + u'\n' + point("B", "4", "5") + u'\n', [&yields] { ++yields; }), expected);
  EXPECT_EQ(yields, 2);
  EXPECT_EQ(gts600CoordinateList(point("A", "1", "2") + u'\r' + point("B", "4", "5")), expected);
}

TEST(CoordinateList600, CommandReplacesTempTxtWithTheWorkspaceInCp950) {
  QTemporaryDir folder;
  QFile old(folder.filePath(QStringLiteral("Temp.txt")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("an older and longer scratch text");
  old.close();
  korvane::testing::RecordingMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, {}, {}};
  const QString line = point("P1", "1", "2");
  EXPECT_EQ(mnuCoord600(QStringLiteral("Job: 一\r\n") + line, environment), QStringLiteral("LS  (一)\r\nP1 1.000 2.000"));
  QFile scratch(folder.filePath(QStringLiteral("Temp.txt")));
  ASSERT_TRUE(scratch.open(QIODevice::ReadOnly));
  EXPECT_EQ(scratch.readAll(), QByteArray("Job: \xA4\x40\r\n") + line.toLatin1());
}

}  // namespace
