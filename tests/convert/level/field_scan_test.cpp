// NextFieldSpan and the walk over a record's fields.

#include <gtest/gtest.h>

#include "convert/level/dl100c_fields.h"
#include "dl100c_data.h"

using namespace korvane::convert::level;

namespace {

QStringList walk(QStringView line, int count) {
  FieldWalk fields(line);
  QStringList list;
  for (int i = 0; i < count; ++i) list << fields.next().toString();
  return list;
}

}  // namespace

TEST(NextFieldSpan, CountsUpToAndIncludingTheNextComma) {
  const QString line = QStringLiteral("g,00,+00145230,+0025340,");
  EXPECT_EQ(nextFieldSpan(line, 6), 10);   // "+00145230,"
  EXPECT_EQ(nextFieldSpan(line, 16), 9);   // "+0025340,"
  EXPECT_EQ(nextFieldSpan(line, 15), 1);   // the comma itself: an empty field
  EXPECT_EQ(nextFieldSpan(line, 2), 1);    // a comma at the start position
}

TEST(NextFieldSpan, WithoutACommaFollowingIsTheLineLengthPlusOne) {
  const QString line = QStringLiteral("b,00,JOB1,BM1");  // 13 characters, f2 at the end
  EXPECT_EQ(nextFieldSpan(line, 11), 14);  // not 4: compared with the whole line
  EXPECT_EQ(nextFieldSpan(line, 13), 14);
  EXPECT_EQ(nextFieldSpan(line, 14), 14);  // beyond the end
  EXPECT_EQ(nextFieldSpan(line, 40), 14);
  EXPECT_EQ(nextFieldSpan(QStringLiteral("A"), 6), 2);
  EXPECT_EQ(nextFieldSpan(QString(), 6), 1);
}

TEST(FieldWalk, SpanCountOfEachStep) {
  FieldWalk fields(u"b,00,JOB1,BM1");
  EXPECT_EQ(fields.next(), u"JOB1");
  EXPECT_EQ(fields.spanCount(), 5);
  EXPECT_EQ(fields.next(), u"BM1");
  EXPECT_EQ(fields.spanCount(), 14);
  EXPECT_EQ(fields.next(), u"");
  EXPECT_EQ(fields.spanCount(), 14);
}

TEST(FieldWalk, LastFieldWithoutCommaRunsToTheEndOfTheLine) {
  EXPECT_EQ(walk(u"v,00,1,TP1,2,+00013130", 5), (QStringList{"1", "TP1", "2", "+00013130", ""}));
  // With its trailing comma the same fields.
  EXPECT_EQ(walk(u"v,00,1,TP1,2,+00013130,", 5), (QStringList{"1", "TP1", "2", "+00013130", ""}));
}

TEST(FieldWalk, MissingFieldsAreEmpty) {
  EXPECT_EQ(walk(u"g,00,+00145230,", 8), (QStringList{"+00145230", "", "", "", "", "", "", ""}));
  EXPECT_EQ(walk(u"a,00,", 3), (QStringList{"", "", ""}));
  EXPECT_EQ(walk(u"t,00", 2), (QStringList{"", ""}));  // shorter than position 6
  EXPECT_EQ(walk(u"", 2), (QStringList{"", ""}));
}

TEST(FieldWalk, EmptyFieldsBetweenCommasKeepTheirPlace) {
  EXPECT_EQ(walk(u"g,00,+1,,+3,,,BM1,", 7), (QStringList{"+1", "", "+3", "", "", "BM1", ""}));
}

TEST(FieldWalk, LineWithoutCommasIsOneField) {
  // Positions 2 to 5 are not examined, commas or not.
  EXPECT_EQ(walk(u"xyzuvJOB 1 NO COMMA", 3), (QStringList{"JOB 1 NO COMMA", "", ""}));
  EXPECT_EQ(walk(u"Q-F8-BM 7", 2), (QStringList{"BM 7", ""}));
}

TEST(FieldWalk, BlanksInsideFieldsAreKept) {
  EXPECT_EQ(walk(u"g,00,+1,+2,+3,1,0,  BM 1 ,", 6).last(), "  BM 1 ");
}

TEST(RecordFields, EightFieldsOfAnObservationRecord) {
  const RecordFields fields = scanRecordFields(u"i,I7,+00210550,+0029870,+02444555,1,0,BM2,08:15,,");
  const QStringList expected{"+00210550", "+0029870", "+02444555", "1", "0", "BM2", "08:15", ""};
  for (int i = 0; i < kRecordFieldCount; ++i) EXPECT_EQ(fields[i], expected[i]) << "f" << i + 1;
}
