// The levelling report of "資料轉檔", line by line and for a whole download.

#include <gtest/gtest.h>

#include <QFile>

#include "common/failure.h"
#include "convert/level/level_report.h"
#include "dl100c_data.h"

using namespace korvane::convert::level;
using namespace korvane::testing::dl100c;

namespace {

QString report(const QString& text) { return levelReport(text, Scaling{10}); }
QString reportOf(const QString& record) { return report(kHeader + record + kEnd); }
QString blanks(int count) { return QString(count, u' '); }

const QString kHeadings = QStringLiteral(
    "\r\n點  號     距   離          標   尺   讀   數        高  程\r\n"
    "\r\n        後 視   前 視     後 視   間 視   前 視\r\n\r\n");

}  // namespace

TEST(LevelReportLines, BacksightExampleBM1) {
  EXPECT_EQ(reportOf(sight("g", "BM1", "+00123456", "+0012345")), "BM1" + blanks(4) + "12.345" + blanks(12) + "1.23456\r\n");
}

TEST(LevelReportLines, ForesightEndsWithFiveBlanks) {
  EXPECT_EQ(reportOf(sight("j", "TP1", "+00132100", "+0024980")),
            "TP1" + blanks(14) + "24.980" + blanks(19) + "1.32100" + blanks(5) + "\r\n");
}

TEST(LevelReportLines, LineStartBWithStatusF8) {
  EXPECT_EQ(reportOf(lineStart("JOB1", "BM1", "+01000000", "F8")),
            "  JOB:JOB1     起始點:BM1               已知高程:10.00000\r\n" + kHeadings + "Operation Error\r\n");
}

TEST(LevelReportLines, LineStartCNamesBM12And1029) {
  EXPECT_EQ(reportOf(lineStart("JOB2", "    BM12", "+02444555", "00", "c")),
            "  JOB:JOB2     起始點:BM12               已知高程:24.44555\r\n" + kHeadings);
  EXPECT_EQ(reportOf(lineStart("J2", "1029", "+02444555", "00", "c")),
            "  JOB:J2     起始點:1029               已知高程:24.44555\r\n" + kHeadings);
}

TEST(LevelReportLines, HeaderAAndAUGiveNothingTAnEmptyLineZerosAndRounding) {
  EXPECT_EQ(report(record("A", "F8", {"Z"}) + record("a", "00", {"1"}) + record("u", "00", {}) + record("Q", "00", {}) + kEnd), "");
  EXPECT_EQ(reportOf(record("t", "00", {"08:30"})), "\r\n");
  EXPECT_EQ(reportOf(sight("g", "P0", "+0000000.5", "+0012345.5")), "P0" + blanks(4) + "12.346" + blanks(12) + "0.00001\r\n");
  EXPECT_EQ(reportOf(sight("g", "P0", "", "-0000000")), "P0" + blanks(4) + "0.000" + blanks(12) + "0.00000\r\n");
}

TEST(LevelReport, FullDownloadMatchesTheHandWrittenReport) {
  const QString text = kHeader + twoSectionLine() + record("t", "00", {}) + lineStart("JOB2", "    1029", "+02444555", "00", "c") +
                       sight("h", "1029", "+00112233", "+0020000", "+02444555", "F8") + record("a", "00", {}) +
                       sight("i", "P-12", "+00100000", "+0020000", "+02456788", "I7") + record("u", "00", {}) +
                       sectionEnd("w", "P-12", "+00012233", "+0040000", "+0040000", "+02456788", "=7") +
                       record("x", "E7", {}) + kEnd + QStringLiteral("g,00,after the end,\r\n");
  QFile golden(QStringLiteral(LEVEL_GOLDEN_DIR "/full_download_report.txt"));
  ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
  // Stored with LF line ends; the report's are CR LF.
  EXPECT_EQ(report(text), QString::fromUtf8(golden.readAll()).replace(u'\n', QStringLiteral("\r\n")));
}

TEST(LevelReport, EndOfDataLineAloneGivesNothingAndMissingItFails) {
  EXPECT_EQ(report("  " + kEnd + "  "), "");
  EXPECT_EQ(report(record("t", "00", {"Z", "&"}) + kEnd + record("t", "00", {})), "\r\n");
  EXPECT_THROW(report(record("t", "00", {}) + QStringLiteral("Z,&,")), korvane::Failure);
  EXPECT_THROW(report(record("t", "00", {}) + QStringLiteral(" Z,&,\r\n")), korvane::Failure);
}
