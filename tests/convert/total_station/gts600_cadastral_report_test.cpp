// "地政觀測資料" of the GTS-600 series (mnuMeas600): the cadastral observation report.

#include <gtest/gtest.h>

#include <QStringList>

#include "convert/total_station/gts600_cadastral_report.h"
#include "gts600_printout.h"
#include "qstring_printer.h"

using namespace korvane::convert::total_station;

namespace {

QString sight(const char* mark, const char* point, const char* angle, const char* distance) {
  return korvane::testing::sightLine(QString::fromLatin1(mark), QString::fromLatin1(point), QString::fromLatin1(angle),
                                     QString::fromLatin1(distance));
}

QString report(const QStringList& lines) { return gts600CadastralReport(lines.join(QStringLiteral("\r\n"))); }

TEST(CadastralReport600, PrintoutGivesTheReportOfItsLastJob) {
  // A second job line discards what the first one started; marks other than SS and FS add
  // nothing; blank distance columns read 0.
  EXPECT_EQ(report({QStringLiteral("Job: LOT-11      Date: 2024-04-30"), QStringLiteral("Occ. Stn: X9       Inst.Ht:  1.400"),
                    QStringLiteral("Backsight Point:  X8        Azimuth:   0.0000"), sight("SS", "Q1", "10.0000", "5.000"),
                    QString(), QStringLiteral("Job: LOT-12      Date: 2024-05-01"),
                    // Column ruler: 12345678901234567890123456789
                    QStringLiteral("Occ. Stn: A01      Inst.Ht:  1.450"),
                    QStringLiteral("Backsight Point:  B02       Azimuth:   0.0000"), sight("SS", "P101", "123.4510", "123.400"),
                    sight("FS", "P102", "270.3005", "87.7"), sight("XS", "P103", "1.0000", "1.000"),
                    sight("ss", "P104", "1.0000", "1.000"), sight("SS", "P105", "45.0000", ""), QStringLiteral("Occ. Stn: A02"),
                    QStringLiteral("Backsight Point:  A01"), sight("SS", "P201", "0.0005", "-1.2345")}),
            QStringLiteral("LS  (LOT-12)\r\nA01 B02\r\nP101 123.4510 123.400\r\nP102 270.3005 87.700\r\nP105  45.0000 0.000\r\n"
                           "A02 A01\r\nP201   0.0005 -1.235"));
}

TEST(CadastralReport600, EmptyWorkspaceGivesAnEmptyReport) { EXPECT_EQ(report({}), QString()); }

TEST(CadastralReport600, StationWithoutBacksightRunsOnIntoTheNextLine) {
  EXPECT_EQ(report({QStringLiteral("Job: J"), QStringLiteral("Occ. Stn: A03"), sight("SS", "P301", "12.5", "3")}),
            QStringLiteral("LS  (J)\r\nA03 P301     12.5 3.000"));
}

TEST(CadastralReport600, OneLineMayBeReadAsSeveralKinds) {
  // The station part (columns 10-18) first, then the sight part, whose angle columns 25-32 hold
  // "Stn:".
  EXPECT_EQ(report({QStringLiteral("  SS      P1       Occ. Stn:")}), QStringLiteral("P1 P1     Stn: 0.000"));
}

}  // namespace
