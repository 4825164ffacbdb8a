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

TEST(NextFieldSpan, UpToAndIncludingTheCommaElseTheWholeLineLengthPlusOne) {
  const QString line = QStringLiteral("b,00,JOB1,BM1");  // 13 characters, f2 at the end
  EXPECT_EQ(nextFieldSpan(line, 6), 5);    // "JOB1,"
  EXPECT_EQ(nextFieldSpan(line, 10), 1);   // the comma itself: an empty field
  EXPECT_EQ(nextFieldSpan(line, 11), 14);  // not 4: compared with the whole line
  EXPECT_EQ(nextFieldSpan(line, 40), 14);  // beyond the end
  EXPECT_EQ(nextFieldSpan(QString(), 6), 1);
}

TEST(FieldWalk, FieldAtTheEndOfTheLineMissingFieldsAndEmptyOnes) {
  EXPECT_EQ(walk(u"v,00,1,TP1,2,+00013130", 5), (QStringList{"1", "TP1", "2", "+00013130", ""}));
  EXPECT_EQ(walk(u"g,00,+1,,+3,,,  BM 1 ,", 7), (QStringList{"+1", "", "+3", "", "", "  BM 1 ", ""}));
  EXPECT_EQ(walk(u"t,00", 2), (QStringList{"", ""}));  // shorter than position 6
  FieldWalk fields(u"b,00,JOB1,BM1");
  fields.next();
  EXPECT_EQ(fields.spanCount(), 5);
  fields.next();
  EXPECT_EQ(fields.spanCount(), 14);
}

TEST(FieldWalk, LineWithoutCommasIsOneFieldFromPositionSix) {
  EXPECT_EQ(walk(u"xyzuvJOB 1 NO COMMA", 3), (QStringList{"JOB 1 NO COMMA", "", ""}));
  EXPECT_EQ(walk(u"Q-F8-BM 7", 2), (QStringList{"BM 7", ""}));
}
