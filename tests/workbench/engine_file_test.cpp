// "平差檔建立" and "資料讀入": the engine input file written from the tables and read back.

#include <gtest/gtest.h>

#include <QFileInfo>

#include "common/failure.h"
#include "text/cp950.h"
#include "workbench/engine_file.h"
#include "workbench_test_support.h"

using namespace korvane::workbench;
using namespace korvane::testing::workbench;

namespace {

QByteArray cp950(const QString& text) { return korvane::text::encodeCp950(text).bytes; }

// The failure's description, or "<none>".
QString failureOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const korvane::Failure& failure) {
    return failure.description();
  }
  return QStringLiteral("<none>");
}

void fill(Database& db) {
  db.observations.addNew({"BM1", "TP1", 1.2345, 0.5, 0.0});
  db.observations.addNew({"TP1", "BM2", -0.25, 0.062, 0.003});
  db.knownPoints.addNew({"BM1", 25.4321, 0.0});
  db.knownPoints.addNew({"BM2", 26.4, 0.001});
}

}  // namespace

TEST(EngineFile, WrittenInFixedColumnsAndReadBackIntoEmptiedTablesAsTheSameRows) {
  Database db;
  fill(db);
  db.observations.addNew({"P7", QVariant(), 100.0, QVariant(), 0.0});  // empty values
  const QString path = db.file("job.dat");
  writeEngineFile(path, "新竹 JOB", db.observations, db.knownPoints);
  EXPECT_EQ(fileBytes(path), cp950("新竹 JOB\r\n"
                                   "BM1       TP1        1.2345    .5        0\r\n"
                                   "TP1       BM2       -.25       .062      .003\r\n"
                                   "P7        Null       100      Null       0\r\n"
                                   "-99\r\n"
                                   "BM1        25.4321   0\r\n"
                                   "BM2        26.4      .001\r\n"
                                   "-99\r\n"));
  const QStringList dat = db.dat();
  const QStringList cood = db.cood();
  db.connection->execute(kDeleteObservations);
  db.connection->execute(kDeleteKnownPoints);
  db.reopen();
  QString project;
  readEngineFile(path, project, db.observations, db.knownPoints);
  EXPECT_EQ(project, "新竹 JOB");
  EXPECT_EQ(db.dat(), dat);
  EXPECT_EQ(db.cood(), cood);
  EXPECT_EQ(recordsetRows(db.observations).size(), 3);  // the grids see the new rows at once
}

TEST(EngineFile, EmptyTablesFailTheirStepKeepingWhatWasWritten) {
  Database db;
  const QString path = db.file("job.dat");
  writeBytes(path, "old content");
  EXPECT_EQ(failureOf([&] { writeEngineFile(path, "T", db.observations, db.knownPoints); }), "平差資料錯誤");
  EXPECT_EQ(fileBytes(path), QByteArray());

  db.observations.addNew({"A", "B", 1.0, 1.0, 0.0});
  EXPECT_EQ(failureOf([&] { writeEngineFile(path, "T", db.observations, db.knownPoints); }), "已知點資料錯誤");
  EXPECT_EQ(fileBytes(path), QByteArray("T\r\nA         B          1         1         0\r\n-99\r\n"));
}

TEST(EngineFile, ANameOverTenColumnsFailsNamingTheRowAndLeavesNoFile) {
  Database db;
  fill(db);
  db.observations.addNew({"BM1", "ABCDEFGHIJK", 1.0, 1.0, 0.0});
  const QString path = db.file("long.dat");
  QString failure = failureOf([&] { writeEngineFile(path, "T", db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("平差資料錯誤\n")) << failure.toStdString();
  EXPECT_TRUE(failure.contains("第 3 筆") && failure.contains("終點") && failure.contains("ABCDEFGHIJK"))
      << failure.toStdString();
  EXPECT_FALSE(QFileInfo::exists(path));

  // Columns are bytes: six Chinese characters take twelve. An earlier file stays as it was.
  db.observations.remove(2);
  db.knownPoints.addNew({"一二三四五六", 1.0, 0.0});
  writeBytes(path, "earlier");
  failure = failureOf([&] { writeEngineFile(path, "T", db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("已知點資料錯誤\n")) << failure.toStdString();
  EXPECT_TRUE(failure.contains("第 3 筆") && failure.contains("點號")) << failure.toStdString();
  EXPECT_EQ(fileBytes(path), "earlier");
  // Five Chinese characters fit exactly.
  db.knownPoints.update(2, 0, "一二三四五");
  writeEngineFile(path, "T", db.observations, db.knownPoints);
  EXPECT_TRUE(fileBytes(path).contains(cp950("一二三四五 1         0\r\n")));
}

TEST(EngineFile, NumbersGetAsManyDigitsAsFitTheirTenColumns) {
  Database db;
  db.observations.addNew({"水準點一", "TP1", 1.23456789012345, 0.0123456789, -0.000012346});
  db.knownPoints.addNew({"水準點一", 1234.56789012, 0.0});
  const QString path = db.file("digits.dat");
  writeEngineFile(path, "T", db.observations, db.knownPoints);
  const QList<QByteArray> lines = fileBytes(path).split('\n');
  // The to-point starts in byte column 11 after a name of eight bytes (four characters).
  EXPECT_EQ(lines[1], cp950("水準點一  TP1        1.2345679 .01234568-1.235E-05\r"));
  EXPECT_EQ(lines[3], cp950("水準點一   1234.5679 0\r"));
}

TEST(EngineFile, ReadingChineseNamesByByteColumns) {
  Database db;
  const QString path = db.file("read.dat");
  writeBytes(path, cp950("題目\r\n水準點一  轉點      -1.5       .25\r\n-99\r\n水準點一   10        .002\r\n-99\r\n"));
  QString project;
  readEngineFile(path, project, db.observations, db.knownPoints);
  EXPECT_EQ(db.dat(), QStringList{"水準點一|轉點|-1.5|0.25|<null>"});
  EXPECT_EQ(db.cood(), QStringList{"水準點一|10|0.002"});
}

TEST(EngineFile, TerminatorsWithBlanksAreNotRecognisedAndReadingFailsAtTheEnd) {
  Database db;
  const QString path = db.file("blanks.dat");
  writeBytes(path, "T\r\nA         B          1\r\n -99 \r\nBM1        10\r\n-99\r\n");
  QString project;
  const QString failure = failureOf([&] { readEngineFile(path, project, db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("資料讀入錯誤")) << failure.toStdString();
  EXPECT_EQ(project, "T");
  // " -99 " and "BM1 10" became observation rows; "-99" ended them; the file ended before the
  // known points' "-99". The rows read stay.
  EXPECT_EQ(db.dat(), QStringList({"A|B|1|<null>|<null>", "-99||<null>|<null>|<null>",
                                   "BM1|10|<null>|<null>|<null>"}));
  EXPECT_TRUE(db.cood().isEmpty());
}

TEST(EngineFile, ReadingFailuresKeepTheRowsReadBefore) {
  Database db;
  const QString path = db.file("bad.dat");
  writeBytes(path, "T\r\nA         B          1\r\nA         C          x\r\n-99\r\n-99\r\n");
  QString project;
  QString failure = failureOf([&] { readEngineFile(path, project, db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("資料讀入錯誤\n") && failure.contains("第 3 行")) << failure.toStdString();
  EXPECT_EQ(db.dat(), QStringList{"A|B|1|<null>|<null>"});

  EXPECT_EQ(failureOf([&] { readEngineFile(db.file("none.dat"), project, db.observations, db.knownPoints); })
                .section(u'\n', 0, 0),
            "檔案開啟錯誤");
  writeBytes(path, "");
  EXPECT_EQ(failureOf([&] { readEngineFile(path, project, db.observations, db.knownPoints); }).section(u'\n', 0, 0),
            "資料讀入錯誤");
  // A title of "-99" leaves out the observations; the known points follow at once.
  writeBytes(path, "-99\r\nBM7        3\r\n-99");
  readEngineFile(path, project, db.observations, db.knownPoints);
  EXPECT_EQ(db.cood(), QStringList{"BM7|3|<null>"});
}
