// The levelling report of "資料轉檔", line by line and for a whole download.

#include <gtest/gtest.h>

#include <QFile>

#include "common/failure.h"
#include "convert/level/level_report.h"
#include "dl100c_data.h"

using namespace korvane::convert::level;
using namespace korvane::testing::dl100c;
using korvane::Failure;

namespace {

QString report(const QString& text) { return levelReport(text, Scaling{10}); }

// The report of one record (after the header) as its lines, without the CR LF of the last.
QString reportOf(const QString& record) { return report(kHeader + record + kEnd); }

QString blanks(int count) { return QString(count, u' '); }

const QString kHeadings = QStringLiteral(
    "\r\n"
    "點  號     距   離          標   尺   讀   數        高  程\r\n"
    "\r\n"
    "        後 視   前 視     後 視   間 視   前 視\r\n"
    "\r\n");

QString golden(const QString& name) {
  QFile file(QStringLiteral(LEVEL_GOLDEN_DIR "/") + name);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
  // Stored with LF line ends; the report's are CR LF.
  return QString::fromUtf8(file.readAll()).replace(u'\n', QStringLiteral("\r\n"));
}

}  // namespace

// --- Lines by kind ------------------------------------------------------------------------------

TEST(LevelReportLines, BacksightExampleBM1) {
  EXPECT_EQ(reportOf(sight("g", "BM1", "+00123456", "+0012345")), "BM1" + blanks(4) + "12.345" + blanks(12) + "1.23456\r\n");
}

TEST(LevelReportLines, BacksightWithHeight) {
  EXPECT_EQ(reportOf(sight("h", "BM1", "+00145230", "+0025340", "+02543210")),
            "BM1" + blanks(4) + "25.340" + blanks(12) + "1.45230" + blanks(18) + "25.43210\r\n");
}

TEST(LevelReportLines, ForesightWithHeight) {
  EXPECT_EQ(reportOf(sight("i", "BM2", "+00210550", "+0029870", "+02444555")),
            "BM2" + blanks(14) + "29.870" + blanks(19) + "2.10550" + blanks(5) + "24.44555\r\n");
}

TEST(LevelReportLines, ForesightEndsWithFiveBlanks) {
  EXPECT_EQ(reportOf(sight("j", "TP1", "+00132100", "+0024980")),
            "TP1" + blanks(14) + "24.980" + blanks(19) + "1.32100" + blanks(5) + "\r\n");
}

TEST(LevelReportLines, IntermediateSight) {
  EXPECT_EQ(reportOf(sight("k", "P7", "+00150000", "+0015000")), "P7" + blanks(14) + "15.000" + blanks(12) + "1.50000\r\n");
}

TEST(LevelReportLines, PointNameKeepsItsBlanks) {
  EXPECT_EQ(reportOf(sight("g", " BM 1 ", "+00123456", "+0012345")), " BM 1 " + blanks(4) + "12.345" + blanks(12) + "1.23456\r\n");
}

TEST(LevelReportLines, TurningPoint) {
  EXPECT_EQ(reportOf(sectionEnd("v", "TP1", "+00013130", "+0050320", "+0050320", "+02556340")),
            "\r\n轉點:TP1" + blanks(7) + "區間距離:50.320" + blanks(7) + "累計距離:50.320" + blanks(7) + "高程:25.56340" +
                blanks(7) + "區間高程差:0.13130\r\n");
}

TEST(LevelReportLines, EndPointWithNegativeDifference) {
  EXPECT_EQ(reportOf(sectionEnd("w", "BM2", "-00111785", "+0059990", "+0110310", "-00044555")),
            "\r\n結束點:BM2" + blanks(5) + "區間距離:59.990" + blanks(7) + "累計距離:110.310" + blanks(7) + "高程:-0.44555" +
                blanks(7) + "區間高程差:-1.11785\r\n");
}

TEST(LevelReportLines, ZeroValuesPrintWithAllTheirDecimals) {
  EXPECT_EQ(reportOf(sight("g", "P0", "+00000000", "+0000000")), "P0" + blanks(4) + "0.000" + blanks(12) + "0.00000\r\n");
  // Rounding half away from zero at the last decimal shown.
  EXPECT_EQ(reportOf(sight("g", "P1", "+0000000.5", "+0012345.5")), "P1" + blanks(4) + "12.346" + blanks(12) + "0.00001\r\n");
}

TEST(LevelReportLines, LineStartBWithStatusF8) {
  EXPECT_EQ(reportOf(lineStart("JOB1", "BM1", "+01000000", "F8")),
            "  JOB:JOB1     起始點:BM1               已知高程:10.00000\r\n" + kHeadings + "Operation Error\r\n");
}

TEST(LevelReportLines, LineStartCNames) {
  EXPECT_EQ(reportOf(compactLineStart("JOB2", "    BM12", "+02444555")),
            "  JOB:JOB2     起始點:BM12               已知高程:24.44555\r\n" + kHeadings);
  EXPECT_EQ(reportOf(compactLineStart("JOB2", "    1029", "+02444555")),
            "  JOB:JOB2     起始點:1029               已知高程:24.44555\r\n" + kHeadings);
  EXPECT_EQ(reportOf(compactLineStart("J2", "BM3", "+02444555")),
            "  JOB:J2     起始點:BM3               已知高程:24.44555\r\n" + kHeadings);
}

TEST(LevelReportLines, HeaderAAndAUProduceNothingTAnEmptyLine) {
  EXPECT_EQ(report(QStringLiteral("A,F8,Z,\r\n") + kEnd), "");
  EXPECT_EQ(reportOf(record("a", "00", {"1"})), "");
  EXPECT_EQ(reportOf(record("u", "00", {"2"})), "");
  EXPECT_EQ(reportOf(record("t", "00", {"08:30"})), "\r\n");
  EXPECT_EQ(reportOf(record("Q", "00", {"1", "2"})), "");
}

TEST(LevelReportLines, StatusLinesFollowTheirRecordOfAnyKindButA) {
  EXPECT_EQ(reportOf(record("a", "E7", {})), "Operation Error\r\n");
  EXPECT_EQ(reportOf(record("u", "57", {})), "Operation Error\r\n");
  EXPECT_EQ(reportOf(record("t", "=7", {})), "\r\nRead Error\r\n");
  EXPECT_EQ(reportOf(record("Q", "I7", {})), "Evaluation Error\r\n");
  EXPECT_EQ(reportOf(sight("k", "P7", "+00150000", "+0015000", "+00000000", "I7")),
            "P7" + blanks(14) + "15.000" + blanks(12) + "1.50000\r\nEvaluation Error\r\n");
}

// --- The whole text ---------------------------------------------------------------------------

TEST(LevelReport, FullDownloadMatchesTheHandWrittenReport) {
  const QString text = kHeader + twoSectionLine() + record("t", "00", {}) +
                       compactLineStart("JOB2", "    1029", "+02444555") +
                       sight("h", "1029", "+00112233", "+0020000", "+02444555", "F8") + record("a", "00", {}) +
                       sight("i", "P-12", "+00100000", "+0020000", "+02456788", "I7") + record("u", "00", {}) +
                       sectionEnd("w", "P-12", "+00012233", "+0040000", "+0040000", "+02456788", "=7") +
                       record("x", "E7", {}) + kEnd + QStringLiteral("g,00,after the end,\r\n");
  EXPECT_EQ(report(text), golden("full_download_report.txt"));
}

TEST(LevelReport, OnlyTheEndOfDataLineGivesAnEmptyReport) {
  EXPECT_EQ(report(kEnd), "");
  EXPECT_EQ(report("  " + kEnd + "  "), "");
}

TEST(LevelReport, EndOfDataLineOnlyAtALineStartFollowedByCrLf) {
  EXPECT_EQ(report(record("t", "00", {"Z", "&"}) + kEnd + record("t", "00", {})), "\r\n");
  EXPECT_THROW(report(record("t", "00", {}) + QStringLiteral("Z,&,")), Failure);
  EXPECT_THROW(report(record("t", "00", {}) + QStringLiteral(" Z,&,\r\n")), Failure);
}

TEST(LevelReport, FailuresStopTheWholeReport) {
  EXPECT_THROW(report(QString()), Failure);
  EXPECT_THROW(report(kHeader + twoSectionLine()), Failure);
  EXPECT_THROW(report(kHeader + QStringLiteral("c,00,JOB2,    BM12,02444555,\r\n") + kEnd), Failure);
}
