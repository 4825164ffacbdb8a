// "地政觀測資料" of the GTS-600 series (mnuMeas600): the cadastral observation report.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/failure.h"
#include "convert/total_station/gts600_cadastral_report.h"
#include "fakes/recording_messages.h"
#include "gts600_printout.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;
using korvane::testing::sightLine;

namespace {

QString lines(const QStringList& list) { return list.join(QStringLiteral("\r\n")); }

TEST(CadastralReport600, PrintoutGivesTheReportOfItsLastJob) {
  const QString printout = lines({
      QStringLiteral("Job: LOT-11      Date: 2024-04-30"),
      QStringLiteral("Occ. Stn: X9       Inst.Ht:  1.400"),
      QStringLiteral("Backsight Point:  X8        Azimuth:   0.0000"),
      sightLine(QStringLiteral("SS"), QStringLiteral("Q1"), QStringLiteral("10.0000"), QStringLiteral("5.000")),
      QString(),
      QStringLiteral("Job: LOT-12      Date: 2024-05-01"),
      // Column ruler: 12345678901234567890123456789
      QStringLiteral("Occ. Stn: A01      Inst.Ht:  1.450"),
      QStringLiteral("Backsight Point:  B02       Azimuth:   0.0000"),
      sightLine(QStringLiteral("SS"), QStringLiteral("P101"), QStringLiteral("123.4510"), QStringLiteral("123.400")),
      sightLine(QStringLiteral("FS"), QStringLiteral("P102"), QStringLiteral("270.3005"), QStringLiteral("87.7")),
      sightLine(QStringLiteral("XS"), QStringLiteral("P103"), QStringLiteral("1.0000"), QStringLiteral("1.000")),
      sightLine(QStringLiteral("ss"), QStringLiteral("P104"), QStringLiteral("1.0000"), QStringLiteral("1.000")),
      sightLine(QStringLiteral("SS"), QStringLiteral("P105"), QStringLiteral("45.0000"), QString()),
      QStringLiteral("Occ. Stn: A02"),
      QStringLiteral("Backsight Point:  A01"),
      sightLine(QStringLiteral("SS"), QStringLiteral("P201"), QStringLiteral("0.0005"), QStringLiteral("-1.2345")),
  });
  EXPECT_EQ(gts600CadastralReport(printout), QStringLiteral("LS  (LOT-12)\r\n"
                                                            "A01 B02\r\n"
                                                            "P101 123.4510 123.400\r\n"
                                                            "P102 270.3005 87.700\r\n"
                                                            "P105  45.0000 0.000\r\n"
                                                            "A02 A01\r\n"
                                                            "P201   0.0005 -1.235"));
}

TEST(CadastralReport600, EmptyWorkspaceGivesAnEmptyReport) { EXPECT_EQ(gts600CadastralReport(QString()), QString()); }

TEST(CadastralReport600, StationWithoutBacksightRunsOnIntoTheNextLine) {
  const QString printout = lines({
      QStringLiteral("Job: J"),
      QStringLiteral("Occ. Stn: A03"),
      sightLine(QStringLiteral("SS"), QStringLiteral("P301"), QStringLiteral("12.5"), QStringLiteral("3")),
  });
  EXPECT_EQ(gts600CadastralReport(printout), QStringLiteral("LS  (J)\r\nA03 P301     12.5 3.000"));
}

TEST(CadastralReport600, OneLineMayBeReadAsSeveralKinds) {
  // A sight line that also holds "Occ. Stn:" gives the station part (columns 10-18) first, then
  // the sight part, whose angle columns 25-32 hold "Stn:".
  const QString both = QStringLiteral("  SS      P1       Occ. Stn:");
  EXPECT_EQ(gts600CadastralReport(both), QStringLiteral("P1 P1     Stn: 0.000"));
}

TEST(CadastralReport600, YieldsToTheWindowBeforeEveryLine) {
  int yields = 0;
  gts600CadastralReport(QStringLiteral("a\nb\nc\n"), [&yields] { ++yields; });
  EXPECT_EQ(yields, 3);
}

TEST(CadastralReport600, TempTxtThatCannotBeWrittenFails) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Temp.txt")));
  korvane::testing::RecordingMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, {}, {}};
  EXPECT_THROW(mnuMeas600(QStringLiteral("Job: A"), environment), korvane::Failure);
}

}  // namespace
