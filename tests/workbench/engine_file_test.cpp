// "平差檔建立" and "資料讀入": the engine input file written from the tables and read back.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <limits>

#include "common/failure.h"
#include "engine_file_reader.h"
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

// What ends a list is what tarnex and the network analysis take as its end: the first ten
// columns, without their blanks, read "-99" or "-999"; the known points may also end with the
// file. All three readers take or refuse each file alike, and find the same rows.
TEST(EngineFile, TheThreeReadersAgreeOnWhereAListEnds) {
  struct Case {
    const char* what;
    QByteArray observationEnd;
    QByteArray fileEnd;  // after the known point
    bool readable;
  };
  const QByteArray observations = "A         B          1.5       200       0\r\n"
                                  "B         C         -0.5       300       0\r\n"
                                  "C         A         -1.0       250       0\r\n";
  for (const Case& c : {
           Case{"-99 alone", "-99\r\n", "-99\r\n", true},
           Case{"-99 padded to ten columns", "-99       \r\n", "-99       \r\n", true},
           Case{"-99 with blanks on both sides", " -99 \r\n", "  -99\r\n", true},
           Case{"-999, and text after the ten columns", "-999\r\n", "-99       end of job\r\n", true},
           Case{"known points ending with the file", "-99\r\n", "", true},
           Case{"known points ending with blank lines", "-99\r\n", "\r\n   \r\n", true},
           Case{"no end to the observations", "", "", false},
       }) {
    SCOPED_TRACE(c.what);
    Database db;
    const QString path = db.file("job.dat");
    const QByteArray bytes = "T\r\n" + observations + c.observationEnd + "A          10       0\r\n" + c.fileEnd;
    writeBytes(path, bytes);
    QString project;
    const QString failure = failureOf([&] { readEngineFile(path, project, db.observations, db.knownPoints); });
    EXPECT_EQ(failure == "<none>", c.readable) << failure.toStdString();

    bool analysisRead = true;
    try {
      const korvane::analysis::NetworkRows rows = korvane::analysis::readEngineFile(bytes.toStdString(), "job.dat");
      EXPECT_EQ(rows.observations.size(), 3u);
      EXPECT_EQ(rows.knownPoints.size(), 1u);
    } catch (const std::exception&) {
      analysisRead = false;
    }
    EXPECT_EQ(analysisRead, c.readable);

    QProcess tarnex;
    tarnex.setWorkingDirectory(db.folder.path());
    tarnex.start(TARNEX_BINARY, {"job.dat"});
    ASSERT_TRUE(tarnex.waitForFinished(30000));
    EXPECT_EQ(tarnex.exitCode() == 0, c.readable) << tarnex.readAllStandardOutput().toStdString();
    if (!c.readable) continue;
    EXPECT_EQ(project, "T");
    EXPECT_EQ(db.dat().size(), 3);
    EXPECT_EQ(db.cood(), QStringList{"A|10|0"});
  }
}

TEST(EngineFile, AnUnreadableNumberOrAMissingFileFailsNamingTheLine) {
  Database db;
  const QString path = db.file("job.dat");
  QString project = "earlier";
  writeBytes(path, "T\r\nA         C          x\r\n-99\r\n-99\r\n");
  const QString failure = failureOf([&] { readEngineFile(path, project, db.observations, db.knownPoints); });
  EXPECT_TRUE(failure.startsWith("資料讀入錯誤\n") && failure.contains("第 2 行")) << failure.toStdString();
  EXPECT_TRUE(failure.endsWith("資料庫沒有加入任何資料。")) << failure.toStdString();
  EXPECT_EQ(project, "earlier");
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

// All or nothing, and no number that tarnex could not take: a failing line anywhere in the file
// (here in the known points, after every observation line was read) adds no row to either table
// and names the line and the columns; a value that is not finite, or does not fit the work file's
// field (dh F10.5, dist F10.3, grade F10.5, elev F10.5, sigma F20.10), is such a failure.
TEST(EngineFile, ReadingIsAllOrNothingAndRefusesNumbersTarnexCannotTake) {
  struct Case {
    QByteArray knownPointLine;
    QByteArray observationLine;
    QString where;
  };
  const QByteArray observation = "A         B          1.5       2.0       .003";
  for (const Case& c : {
           Case{"BM1       12.5      x", observation, "第 6 行第 21-30 欄：「標準差」欄要填數字"},
           Case{"BM1       1e999     0", observation, "第 6 行第 11-20 欄：「高程」欄的「1e999」超出數值能表示的範圍"},
           Case{"BM1       1e308     0", observation, "第 6 行第 11-20 欄：「高程」的數值 1E+308 太大"},
           Case{"BM1       12.5      1e20", observation, "第 6 行第 21-30 欄：「標準差」的數值 1E+20 太大"},
           Case{"BM1       12.5      0", "A         B         -1000      2.0", "第 3 行第 21-30 欄：「高差」的數值 -1000 太大"},
           Case{"BM1       12.5      0", "A         B          1.5       1e6", "第 3 行第 31-40 欄：「距離」的數值 1000000 太大"},
       }) {
    SCOPED_TRACE(c.where.toStdString());
    Database db;
    db.observations.addNew({"P", "Q", 1.0, 1.0, 0.0});
    const QString path = db.file("job.dat");
    writeBytes(path, "T\r\n" + observation + "\r\n" + c.observationLine + "\r\n-99\r\nBM0       1         0\r\n" +
                         c.knownPointLine + "\r\n-99\r\n");
    QString project = "earlier";
    const QString failure = failureOf([&] { readEngineFile(path, project, db.observations, db.knownPoints); });
    EXPECT_TRUE(failure.startsWith("資料讀入錯誤\n") && failure.contains(c.where)) << failure.toStdString();
    EXPECT_TRUE(failure.endsWith("\n資料庫沒有加入任何資料。")) << failure.toStdString();
    EXPECT_EQ(project, "earlier");
    EXPECT_EQ(db.dat(), QStringList{"P|Q|1|1|0"});
    EXPECT_TRUE(db.cood().isEmpty());
    // The grids show what the tables hold.
    EXPECT_EQ(db.observations.recordCount(), 1);
    EXPECT_EQ(db.knownPoints.recordCount(), 0);
  }
}

// Values already in the tables that tarnex could not take (stored before this rule, or through
// another program) stop the writing with the row and the column, and leave no file.
TEST(EngineFile, WritingRefusesNumbersTarnexCannotTake) {
  for (const auto& [value, where] : std::initializer_list<std::pair<double, const char*>>{
           {std::numeric_limits<double>::infinity(), "第 2 筆資料：「高差」的數值超出數值能表示的範圍"},
           {1e300, "第 2 筆資料：「高差」的數值 1E+300 太大"},
           {99999.5, "第 2 筆資料：「高差」的數值 99999.5 太大"}}) {
    SCOPED_TRACE(where);
    Database db;
    db.observations.addNew({"A", "B", 1.0, 1.0, 0.0});
    db.connection->execute(QStringLiteral("insert into dat values ('B','C',?,1,0)"), {value});
    db.reopen();
    db.knownPoints.addNew({"A", 10.0, 0.0});
    const QString path = db.file("out.dat");
    const QString failure = failureOf([&] { writeEngineFile(path, "T", db.observations, db.knownPoints); });
    EXPECT_TRUE(failure.startsWith("平差資料錯誤\n") && failure.contains(where)) << failure.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
  }
}

// Tables without the number checks (older or hand-made files) may hold a text in a number
// column: the writing stops naming the row and the column and leaves no file; a number stored
// as a text is written as the number. A project name that is not one line, or reads as the end
// of a list, is refused before anything is written.
TEST(EngineFile, WritingRefusesTextsInNumberColumnsAndTitlesNoReaderTakesAsTitles) {
  const QString untyped = QStringLiteral("CREATE TABLE dat (\"起點\", \"終點\", \"高差\", \"距離\", \"等級(N√K)\")");
  struct Case {
    QStringList statements;
    QString title;
    QString failure;  // empty: written
  };
  const QString goodRow = "INSERT INTO dat VALUES ('A','B',1,1,0)";
  const QString known = "INSERT INTO cood VALUES ('A',10,0)";
  for (const Case& c : {
           Case{kOlderTables + QStringList{goodRow, "INSERT INTO dat VALUES ('B','C','abc',1,0)", known}, "T",
                "平差資料錯誤\n第 2 筆資料：「高差」欄要填數字，「abc」不是數字"},
           Case{QStringList{untyped, kOlderTables[1], "INSERT INTO dat VALUES ('B','C',1,'x',0)", known}, "T",
                "平差資料錯誤\n第 1 筆資料：「距離」欄要填數字，「x」不是數字"},
           Case{kOlderTables + QStringList{goodRow, "INSERT INTO cood VALUES ('A','ten',0)"}, "T",
                "已知點資料錯誤\n第 1 筆資料：「高程」欄要填數字，「ten」不是數字"},
           Case{QStringList{untyped, kOlderTables[1], "INSERT INTO dat VALUES ('A','B',' 1.5','2',0)", known}, "T", ""},
           Case{kOlderTables + QStringList{goodRow, known}, " -99", "計劃名稱不能是「-99」：那是平差檔中資料結束的記號"},
           Case{kOlderTables + QStringList{goodRow, known}, "-999", "計劃名稱不能是「-999」：那是平差檔中資料結束的記號"},
           Case{kOlderTables + QStringList{goodRow, known}, "Job\n-99", "計劃名稱只能有一行"},
           Case{kOlderTables + QStringList{goodRow, known}, "Job\r", "計劃名稱只能有一行"},
       }) {
    SCOPED_TRACE(c.failure.toStdString());
    QTemporaryDir folder;
    writeHandMadeDatabase(folder.filePath("Lnet.mdb"), c.statements);
    Connection connection(folder.filePath("Lnet.mdb"));
    Recordset observations;
    Recordset knownPoints;
    observations.open(kSelectObservations, connection);
    knownPoints.open(kSelectKnownPoints, connection);
    const QString path = folder.filePath("out.dat");
    const QString failure = failureOf([&] { writeEngineFile(path, c.title, observations, knownPoints); });
    if (c.failure.isEmpty()) {
      EXPECT_EQ(failure, "<none>");
      EXPECT_EQ(fileBytes(path), "T\r\nA         B          1.5       2         0\r\n-99\r\nA          10        0\r\n-99\r\n");
    } else {
      EXPECT_TRUE(failure.startsWith(c.failure)) << failure.toStdString();
      EXPECT_FALSE(QFileInfo::exists(path));
    }
  }
}
