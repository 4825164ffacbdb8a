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

QString failureOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const korvane::Failure& failure) {
    return failure.description();
  }
  return QStringLiteral("<none>");
}

}  // namespace

TEST(EngineFile, WrittenInByteColumnsAndReadBackIntoEmptiedTablesAsTheSameRows) {
  Database db;
  db.observations.addNew({"水準點一", "TP1", 1.23456789012345, 0.5, 0.0});
  db.observations.addNew({"TP1", "BM2", -0.25, 0.0123456789, -0.000012346});
  db.observations.addNew({"P7", QVariant(), 100.0, QVariant(), 0.0});
  db.knownPoints.addNew({"水準點一", 25.4321, 0.0});
  const QString path = db.file("job.dat");
  writeEngineFile(path, "新竹 JOB", db.observations, db.knownPoints);
  // A Chinese character takes two columns; numbers keep the digits their ten columns hold.
  EXPECT_EQ(fileBytes(path), cp950("新竹 JOB\r\n"
                                   "水準點一  TP1        1.2345679 .5        0\r\n"
                                   "TP1       BM2       -.25       .01234568-1.235E-05\r\n"
                                   "P7        Null       100      Null       0\r\n"
                                   "-99\r\n"
                                   "水準點一   25.4321   0\r\n"
                                   "-99\r\n"));
  db.observations.update(0, 2, 1.2345679);  // what the file holds
  db.observations.update(1, 3, 0.01234568);
  db.observations.update(1, 4, -1.235E-05);
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
  EXPECT_EQ(db.observations.recordCount(), 3);  // the grids see the new rows at once
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
  db.observations.addNew({"BM1", "TP1", 1.0, 1.0, 0.0});
  db.observations.addNew({"TP1", "ABCDEFGHIJK", 1.0, 1.0, 0.0});
  db.knownPoints.addNew({"BM1", 1.0, 0.0});
  const QString path = db.file("long.dat");
  QString failure = failureOf([&] { writeEngineFile(path, "T", db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("平差資料錯誤\n") && failure.contains("第 2 筆") && failure.contains("ABCDEFGHIJK"))
      << failure.toStdString();
  EXPECT_FALSE(QFileInfo::exists(path));

  // Six Chinese characters take twelve columns; an earlier file stays as it was.
  db.observations.remove(1);
  db.knownPoints.addNew({"一二三四五六", 1.0, 0.0});
  writeBytes(path, "earlier");
  failure = failureOf([&] { writeEngineFile(path, "T", db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("已知點資料錯誤\n") && failure.contains("第 2 筆")) << failure.toStdString();
  EXPECT_EQ(fileBytes(path), "earlier");
}

TEST(EngineFile, TerminatorsWithBlanksAreNotRecognisedAndReadingFailsKeepingItsRows) {
  Database db;
  const QString path = db.file("blanks.dat");
  writeBytes(path, "T\r\nA         B          1\r\n -99 \r\nBM1        10\r\n-99\r\n");
  QString project;
  QString failure = failureOf([&] { readEngineFile(path, project, db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("資料讀入錯誤")) << failure.toStdString();
  EXPECT_EQ(project, "T");
  EXPECT_EQ(db.dat(), QStringList({"A|B|1|<null>|<null>", "-99||<null>|<null>|<null>", "BM1|10|<null>|<null>|<null>"}));
  EXPECT_TRUE(db.cood().isEmpty());

  writeBytes(path, "T\r\nA         C          x\r\n-99\r\n-99\r\n");
  failure = failureOf([&] { readEngineFile(path, project, db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("資料讀入錯誤\n") && failure.contains("第 2 行")) << failure.toStdString();
  EXPECT_EQ(failureOf([&] { readEngineFile(db.file("none.dat"), project, db.observations, db.knownPoints); })
                .section(u'\n', 0, 0),
            "檔案開啟錯誤");
}

TEST(EngineFile, ANameWithoutSuffixGetsDat) {
  const std::pair<QString, QString> cases[] = {
      {"/jobs/job1", "/jobs/job1.dat"},
      {"/jobs/job1.", "/jobs/job1.dat"},
      {"/jobs/job1.dat", "/jobs/job1.dat"},
      {"/jobs/job1.DAT", "/jobs/job1.DAT"},
      {"/jobs/line.v2", "/jobs/line.v2"},
      {"/jobs.2024/job1", "/jobs.2024/job1.dat"},
      {"水準一", "水準一.dat"},
  };
  for (const auto& [typed, written] : cases) EXPECT_EQ(withEngineFileSuffix(typed), written) << typed.toStdString();
}
