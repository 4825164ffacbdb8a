// The records as the reader hands them out: scaled values, status lines, the start point of a
// "c" record, the End-of-data line and the failures.

#include <gtest/gtest.h>

#include <vector>

#include "common/failure.h"
#include "convert/level/dl100c_records.h"
#include "dl100c_data.h"

using namespace korvane::convert::level;
using namespace korvane::testing::dl100c;

namespace {

std::vector<Record> readAll(const QString& text, int unitDivisor = 10) {
  RecordReader reader(text, Scaling{unitDivisor});
  std::vector<Record> records;
  while (std::optional<Record> record = reader.next()) records.push_back(*record);
  return records;
}

QString startPointOf(const QString& line) {
  const QString text = line + kEnd;
  return readAll(text).at(0).lineStart.startPoint.toString();
}

QString failureOf(const QString& text) {
  const std::optional<QString> failure = korvane::attempt([&] { readAll(text); });
  EXPECT_TRUE(failure) << text.toStdString();
  return failure.value_or(QString());
}

}  // namespace

TEST(RecordReader, TypedValuesOfALevellingLineAndItsRawFields) {
  const QString text = kHeader + twoSectionLine() + kEnd;
  const std::vector<Record> records = readAll(text);
  ASSERT_EQ(records.size(), 9u);
  EXPECT_EQ(records[1].lineStart.startPoint, u"BM1");
  EXPECT_DOUBLE_EQ(records[1].lineStart.knownHeight, 25.4321);
  EXPECT_EQ(records[2].sight.pointName, u"BM1");
  EXPECT_DOUBLE_EQ(records[2].sight.reading, 1.4523);
  EXPECT_DOUBLE_EQ(records[2].sight.distance, 25.34);
  EXPECT_DOUBLE_EQ(records[7].sight.height, 24.44555);
  const SectionEnd& end = records[8].sectionEnd;
  EXPECT_EQ(end.pointName, u"BM2");
  EXPECT_DOUBLE_EQ(end.heightDifference, -1.11785);
  EXPECT_DOUBLE_EQ(end.sectionDistance, 59.99);
  EXPECT_DOUBLE_EQ(end.accumulatedDistance, 110.31);
  EXPECT_EQ(records[8].fields[5], u"+0059990");
  EXPECT_DOUBLE_EQ(readAll(sight("g", "P", "+00145230", "+0025340") + kEnd, 1)[0].sight.distance, 253.4);
}

TEST(RecordReader, StatusLinesAndTheHeaderThatHasNone) {
  const std::vector<Record> records =
      readAll(record("A", "F8", {"Z"}) + record("u", "E7", {}) + record("u", "57", {}) + record("g", "I7", {}) +
              record("t", "=7", {}) + record("g", "f8", {}) + kEnd);
  QStringList lines;
  for (const Record& r : records) lines << r.statusLine.toString();
  EXPECT_EQ(lines, (QStringList{"", "Operation Error", "Operation Error", "Evaluation Error", "Read Error", ""}));
}

TEST(CompactLineStart, FourBlanksThenBM12) {
  EXPECT_EQ(startPointOf(lineStart("JOB2", "    BM12", "+02444555", "00", "c")), "BM12");
}

TEST(CompactLineStart, NumberedBenchmarksKeepEveryDigit) {
  EXPECT_EQ(startPointOf(lineStart("JOB2", "    1029", "+02444555", "00", "c")), "1029");
  EXPECT_EQ(startPointOf(lineStart("JOB2", "12345678", "+02444555", "00", "c")), "12345678");
}

TEST(CompactLineStart, ShortNameFieldAfterTheJobsCommaAndBlanksInside) {
  EXPECT_EQ(startPointOf(lineStart("J2", "BM3", "+02444555", "00", "c")), "BM3");  // window "0,J2,BM3"
  EXPECT_EQ(startPointOf(lineStart("JOB12", "", "+02444555", "00", "c")), "");
  // The character just before "+" is never part of the name; trailing blanks stay.
  EXPECT_EQ(startPointOf(QStringLiteral("c,00,JOB2,  BM 5  X+02444555,\r\n")), "BM 5  ");
  const Record record = readAll(QStringLiteral("c,00,JOB2,    BM12,+00012345 m,+9,\r\n") + kEnd)[0];
  EXPECT_EQ(record.lineStart.job, u"JOB2");
  EXPECT_DOUBLE_EQ(record.lineStart.knownHeight, 0.12345);
}

TEST(CompactLineStart, FailsWithoutPlusTooEarlyAPlusOrNoCommaAfterIt) {
  EXPECT_TRUE(failureOf(QStringLiteral("c,00,JOB2,    BM12,02444555,\r\n") + kEnd).contains(u"+"));
  EXPECT_TRUE(failureOf(QStringLiteral("c,00,J,+02444555,\r\n") + kEnd).contains(u"第 1 行"));  // "+" at 8
  EXPECT_TRUE(failureOf(QStringLiteral("c,00,JOB2,    BM12,+02444555\r\n") + kEnd).contains(u"逗號"));
  EXPECT_EQ(startPointOf(QStringLiteral("c,00,J,B,+02444555,\r\n")), "B");  // "+" at 10 is enough
}

TEST(RecordReader, EndOfDataLineOnlyAtALineStartWithCrLfAndNothingAfterItRead) {
  const std::vector<Record> records = readAll(QStringLiteral("t,00,Z,&,\r\nZ,&,x\r\n Z,&,\r\nZ,&,\r\nc,00,no plus\r\n"));
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].line, u"Z,&,x");
  EXPECT_TRUE(readAll(QStringLiteral("   Z,&,\r\n   ")).empty());  // blanks around the text are not read
  EXPECT_TRUE(failureOf(QStringLiteral("t,00,\r\nZ,&,")).contains(u"第 2 行"));
  EXPECT_TRUE(failureOf(QStringLiteral("A,01,Z,\nZ,&,\n")).contains(u"第 1 行"));
}

TEST(RecordReader, FailsWhenTheTextRunsOutAfterHandingOutTheRecordsBefore) {
  EXPECT_FALSE(failureOf(QString()).isEmpty());
  const QString text = kHeader + twoSectionLine();
  RecordReader reader(text, Scaling{});
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(reader.next());
  EXPECT_THROW(reader.next(), korvane::Failure);
}
