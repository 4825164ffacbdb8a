// The DL-100C records as the reader hands them out: kinds, status lines, scalings, the start
// point of a "c" record, the End-of-data line and the failures.

#include <gtest/gtest.h>

#include <vector>

#include "common/failure.h"
#include "convert/level/dl100c_records.h"
#include "dl100c_data.h"

using namespace korvane::convert::level;
using namespace korvane::testing::dl100c;
using korvane::Failure;

namespace {

std::vector<Record> readAll(QStringView text, int unitDivisor = 10) {
  RecordReader reader(text, Scaling{unitDivisor});
  std::vector<Record> records;
  while (std::optional<Record> record = reader.next()) records.push_back(*record);
  return records;
}

// The start point of the one "c" record in `line` + End-of-data.
QString startPointOf(const QString& line) {
  const QString text = line + kEnd;
  const std::vector<Record> records = readAll(text);
  EXPECT_EQ(records.size(), 1u);
  return records.empty() ? QString() : records.front().lineStart.startPoint.toString();
}

QString failureOf(const QString& text) {
  try {
    readAll(text);
  } catch (const Failure& failure) {
    return failure.description();
  }
  ADD_FAILURE() << "no failure for " << text.toStdString();
  return {};
}

}  // namespace

// --- Typed values and scalings ----------------------------------------------------------------

TEST(RecordReader, TwoSectionLineInRecordOrderWithScaledValues) {
  const QString text = kHeader + twoSectionLine() + kEnd;
  const std::vector<Record> records = readAll(text);
  ASSERT_EQ(records.size(), 9u);
  QString kinds;
  for (const Record& record : records) kinds += QChar(record.kind);
  EXPECT_EQ(kinds, "Abgjvgkiw");

  EXPECT_EQ(records[1].lineStart.job, u"JOB1");
  EXPECT_EQ(records[1].lineStart.startPoint, u"BM1");
  EXPECT_DOUBLE_EQ(records[1].lineStart.knownHeight, 25.4321);

  const Sight& back = records[2].sight;
  EXPECT_EQ(back.pointName, u"BM1");
  EXPECT_DOUBLE_EQ(back.reading, 1.4523);
  EXPECT_DOUBLE_EQ(back.distance, 25.34);

  const Sight& foreWithHeight = records[7].sight;
  EXPECT_EQ(foreWithHeight.pointName, u"BM2");
  EXPECT_DOUBLE_EQ(foreWithHeight.height, 24.44555);

  const SectionEnd& end = records[8].sectionEnd;
  EXPECT_TRUE(records[8].isSectionEnd());
  EXPECT_EQ(end.pointName, u"BM2");
  EXPECT_DOUBLE_EQ(end.heightDifference, -1.11785);
  EXPECT_DOUBLE_EQ(end.sectionDistance, 59.99);
  EXPECT_DOUBLE_EQ(end.accumulatedDistance, 110.31);
  EXPECT_DOUBLE_EQ(end.height, 24.44555);
  // The raw fields stay available to commands that scale on their own.
  EXPECT_EQ(records[8].fields[3], u"-00111785");
  EXPECT_EQ(records[8].fields[5], u"+0059990");
  EXPECT_EQ(records[8].lineNumber, 9);
}

TEST(RecordReader, UnitDivisorScalesReadingsAndDistances) {
  const QString text = sight("g", "BM1", "+00145230", "+0025340") + kEnd;
  const Record record = readAll(text, 1).front();
  EXPECT_DOUBLE_EQ(record.sight.reading, 14.523);
  EXPECT_DOUBLE_EQ(record.sight.distance, 253.4);
}

TEST(RecordReader, NumbersWithoutDigitsAreZeroAndMissingFieldsEmpty) {
  const Record record = readAll(QStringLiteral("v,00,1,TP9,\r\n") + kEnd).front();
  EXPECT_EQ(record.sectionEnd.pointName, u"TP9");
  EXPECT_EQ(record.sectionEnd.heightDifference, 0.0);
  EXPECT_EQ(record.sectionEnd.height, 0.0);
  EXPECT_TRUE(record.fields[7].isEmpty());
}

// --- Status codes -----------------------------------------------------------------------------

TEST(RecordReader, StatusCodesAndTheirLines) {
  EXPECT_EQ(statusLineOf(u"F8"), u"Operation Error");
  EXPECT_EQ(statusLineOf(u"E7"), u"Operation Error");
  EXPECT_EQ(statusLineOf(u"57"), u"Operation Error");
  EXPECT_EQ(statusLineOf(u"I7"), u"Evaluation Error");
  EXPECT_EQ(statusLineOf(u"=7"), u"Read Error");
  for (const char16_t* other : {u"00", u"f8", u"F", u"7", u" F8", u"E8", u""}) EXPECT_TRUE(statusLineOf(other).isEmpty());
}

TEST(RecordReader, HeaderRecordHasNoStatusWhateverItsPositionsHold) {
  const std::vector<Record> records = readAll(QStringLiteral("A,F8,Z,\r\nu,=7,\r\n") + kEnd);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_FALSE(records[0].hasStatusLine());
  EXPECT_EQ(records[1].statusLine, u"Read Error");
}

// --- The start point of a "c" record ------------------------------------------------------------

TEST(CompactLineStart, FourBlanksThenBM12) {
  EXPECT_EQ(startPointOf(compactLineStart("JOB2", "    BM12", "+02444555")), "BM12");
}

TEST(CompactLineStart, NumberedBenchmarkKeepsEveryDigit) {
  EXPECT_EQ(startPointOf(compactLineStart("JOB2", "    1029", "+02444555")), "1029");
  EXPECT_EQ(startPointOf(compactLineStart("JOB2", "12345678", "+02444555")), "12345678");
  EXPECT_EQ(startPointOf(compactLineStart("JOB2", "  0.8-01", "+02444555")), "0.8-01");
}

TEST(CompactLineStart, ShortNameFieldAfterTheJobsComma) {
  // "c,00,J2,BM3,+..." : the eight characters "0,J2,BM3" hold the job's comma.
  EXPECT_EQ(startPointOf(compactLineStart("J2", "BM3", "+02444555")), "BM3");
  EXPECT_EQ(startPointOf(compactLineStart("JOB12", "7", "+02444555")), "7");
  EXPECT_EQ(startPointOf(compactLineStart("JOB12", "", "+02444555")), "");
}

TEST(CompactLineStart, TrailingBlanksStayAndTheCharacterBeforeThePlusIsNeverPart) {
  // The ninth character, just before "+", is the separator; here a blank instead of a comma.
  EXPECT_EQ(startPointOf(QStringLiteral("c,00,JOB2,  BM 5  X+02444555,\r\n")), "BM 5  ");
}

TEST(CompactLineStart, KnownHeightAndJobFromTheLine) {
  // The number runs from just after the "+" to the next comma; the job is f1.
  const Record record = readAll(QStringLiteral("c,00,JOB2,    BM12,+00012345 m,+9,\r\n") + kEnd).front();
  EXPECT_EQ(record.lineStart.job, u"JOB2");
  EXPECT_DOUBLE_EQ(record.lineStart.knownHeight, 0.12345);
  const Record plus = readAll(compactLineStart("JOB2", "    BM12", "+01000000") + kEnd).front();
  EXPECT_DOUBLE_EQ(plus.lineStart.knownHeight, 10.0);
  EXPECT_TRUE(plus.isLineStart());
}

TEST(CompactLineStart, FailsWithoutPlusTooEarlyAPlusOrNoCommaAfterIt) {
  EXPECT_TRUE(failureOf(QStringLiteral("c,00,JOB2,    BM12,02444555,\r\n") + kEnd).contains(u"+"));
  EXPECT_TRUE(failureOf(QStringLiteral("c,00,J,+02444555,\r\n") + kEnd).contains(u"第 1 行"));   // "+" at 8
  EXPECT_TRUE(failureOf(QStringLiteral("c,00,JOB2,    BM12,+02444555\r\n") + kEnd).contains(u"逗號"));
  // "+" at position 10 is the first that leaves room for the name.
  EXPECT_EQ(startPointOf(QStringLiteral("c,00,J,B,+02444555,\r\n")), "B");
}

// --- Lines and the End-of-data line ----------------------------------------------------------

TEST(RecordReader, EndOfDataLineOnlyAtALineStartWithCrLf) {
  // "Z,&," inside a line, or without CR LF, is not the end.
  const QString text = QStringLiteral("t,00,Z,&,\r\nZ,&,x\r\nZ,&,\r\nt,00,\r\n");
  const std::vector<Record> records = readAll(text);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].line, u"Z,&,x");
  EXPECT_TRUE(failureOf(QStringLiteral("t,00,\r\nZ,&,")).contains(u"第 2 行"));
  EXPECT_TRUE(failureOf(QStringLiteral("t,00,\r\nZ,&,\n")).contains(u"Z,&,"));
}

TEST(RecordReader, NothingAfterTheEndOfDataLineIsRead) {
  RecordReader reader(QStringLiteral("Z,&,\r\nc,00,no plus here\r\n"), Scaling{});
  EXPECT_FALSE(reader.next());
  EXPECT_FALSE(reader.next());
}

TEST(RecordReader, LeadingAndTrailingBlanksOfTheTextAreNotRead) {
  const std::vector<Record> records = readAll(QStringLiteral("   A,01,Z,\r\nZ,&,\r\n   "));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].kind, u'A');
  EXPECT_TRUE(readAll(QStringLiteral("  Z,&,\r\n")).empty());
}

TEST(RecordReader, FailsWhenTheTextRunsOutBeforeTheEnd) {
  EXPECT_FALSE(failureOf(QString()).isEmpty());
  EXPECT_FALSE(failureOf(QStringLiteral("   ")).isEmpty());
  EXPECT_TRUE(failureOf(kHeader + twoSectionLine()).contains(u"第 10 行"));
  // Bare LF line ends are one long line without CR LF.
  EXPECT_FALSE(failureOf(QStringLiteral("A,01,Z,\nZ,&,\n")).isEmpty());
}

TEST(RecordReader, EmptyAndShortLinesAreRecordsOfNoKind) {
  const std::vector<Record> records = readAll(QStringLiteral("\r\ng\r\n") + kEnd);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].kind, 0);
  EXPECT_EQ(records[1].kind, u'g');
  EXPECT_TRUE(records[1].sight.pointName.isEmpty());
}

TEST(RecordReader, RecordsBeforeAFailureAreHandedOutFirst) {
  RecordReader reader(kHeader + lineStart("JOB1", "BM1", "+02543210") + QStringLiteral("c,00,bad\r\n") + kEnd, Scaling{});
  EXPECT_EQ(reader.next()->kind, u'A');
  EXPECT_EQ(reader.next()->kind, u'b');
  EXPECT_THROW(reader.next(), Failure);
}
