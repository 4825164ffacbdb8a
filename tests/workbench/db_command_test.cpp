// `korvane db` through the real binary, and tarnex reading the file it writes.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>

#include "text/cp950.h"
#include "convert/level/level_lines_data.h"
#include "workbench_test_support.h"

using namespace korvane::testing::workbench;
using namespace korvane::testing::workbench::dl100c;

namespace {

QByteArray cp950(const QString& text) { return korvane::text::encodeCp950(text).bytes; }

struct Process {
  QByteArray out;
  QString errors;
  int exitCode = -1;

  Process(const QString& program, const QStringList& arguments, const QString& folder, const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.insert("KORVANE_HOME", folder);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    out = process.readAllStandardOutput();
    errors = QString::fromLocal8Bit(process.readAllStandardError());
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
};

Process db(const QStringList& arguments, const QString& folder) {
  return Process(QStringLiteral(KORVANE_BINARY), QStringList{"db"} + arguments, folder);
}

}  // namespace

TEST(DbCommand, ImportReadWriteAndTarnexReadsTheChineseNamedRowsByByteColumns) {
  QTemporaryDir folder;
  const QString database = folder.filePath("job.mdb");
  writeBytes(folder.filePath("download.txt"),
             cp950(kHeader + lineStart("水準點一", "+01000000") + sectionEnd("v", "轉點", "+00123450", "+0040000") +
                   sectionEnd("w", "BM2", "+00076600", "+0060000") + kEnd));
  Process imported = db({"--db", database, "import", "download.txt"}, folder.path());
  ASSERT_EQ(imported.exitCode, 0) << imported.errors.toStdString();
  EXPECT_TRUE(imported.errors.contains("2")) << imported.errors.toStdString();

  writeBytes(folder.filePath("known.dat"), cp950("已知點\r\n-99\r\n水準點一   10        0\r\nBM2        12        0\r\n-99\r\n"));
  Process read = db({"--db", database, "read-engine-file", "known.dat"}, folder.path());
  ASSERT_EQ(read.exitCode, 0) << read.errors.toStdString();
  EXPECT_TRUE(read.errors.contains("已知點")) << read.errors.toStdString();

  Process written = db({"--db", database, "write-engine-file", "line.dat", "--title", "水準線 A"}, folder.path());
  ASSERT_EQ(written.exitCode, 0) << written.errors.toStdString();
  EXPECT_EQ(fileBytes(folder.filePath("line.dat")), cp950("水準線 A\r\n"
                                                          "水準點一  轉點       1.2345    .04       0\r\n"
                                                          "轉點      BM2        .766      .06       0\r\n"
                                                          "-99\r\n"
                                                          "水準點一   10        0\r\n"
                                                          "BM2        12        0\r\n"
                                                          "-99\r\n"));

  // tarnex finds every field of the rows with Chinese names where it reads them.
  Process engine(QStringLiteral(TARNEX_BINARY), {}, folder.path(), "line.dat\n");
  const QList<QByteArray> work = fileBytes(folder.filePath("level.inp")).split('\n');
  ASSERT_GE(work.size(), 3) << engine.out.toStdString();
  EXPECT_TRUE(work[1].startsWith("     10003      .040   1.23450    .00000")) << work[1].toStdString();
  EXPECT_TRUE(work[1].contains(cp950("水準點一  轉點"))) << work[1].toStdString();
  EXPECT_TRUE(work[2].startsWith("     30002      .060    .76600    .00000")) << work[2].toStdString();
  EXPECT_TRUE(engine.out.contains("(no of known points)....      2")) << engine.out.toStdString();
}

TEST(DbCommand, FailuresGiveTheStepsMessageAndExitOne) {
  QTemporaryDir folder;
  const QString database = folder.filePath("Lnet.mdb");
  Process empty = db({"write-engine-file", "out.dat"}, folder.path());  // the program folder's Lnet.mdb
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_TRUE(empty.errors.contains("平差資料錯誤")) << empty.errors.toStdString();
  EXPECT_TRUE(QFileInfo(database).isFile());
  EXPECT_EQ(fileBytes(folder.filePath("out.dat")), QByteArray());

  // A point name of the level longer than ten columns: no file.
  writeBytes(folder.filePath("long.txt"), cp950(kHeader + lineStart("BM1") +
                                                 sectionEnd("w", "BENCHMARK-12", "+00000100", "+0001000") + kEnd));
  ASSERT_EQ(db({"import", "long.txt"}, folder.path()).exitCode, 0);
  Process longName = db({"write-engine-file", "long.dat"}, folder.path());
  EXPECT_EQ(longName.exitCode, 1);
  EXPECT_TRUE(longName.errors.contains("平差資料錯誤") && longName.errors.contains("BENCHMARK-12"))
      << longName.errors.toStdString();
  EXPECT_FALSE(QFileInfo::exists(folder.filePath("long.dat")));

  // A download without any section adds nothing and says so.
  writeBytes(folder.filePath("nosection.txt"), cp950(kHeader + lineStart("BM1") + kEnd));
  Process noSection = db({"import", "nosection.txt"}, folder.path());
  EXPECT_EQ(noSection.exitCode, 1);
  EXPECT_TRUE(noSection.errors.contains("資料中找不到 DL-100C 的水準區間")) << noSection.errors.toStdString();

  EXPECT_EQ(db({"import"}, folder.path()).exitCode, 2);
  EXPECT_EQ(db({"export", "x"}, folder.path()).exitCode, 2);
}

// The faults found by feeding `korvane db` broken data: an import with a number beyond the range
// of a double, and an engine file whose known height tarnex cannot take, each refused naming the
// line, adding nothing, exit 1; a second run of the corrected data then adds its rows once.
TEST(DbCommand, BrokenNumbersAreRefusedAndAddNothing) {
  QTemporaryDir folder;
  const QString database = folder.filePath("job.mdb");
  const QString good = kHeader + lineStart("BM1") + sectionEnd("v", "TP1", "+00000100", "+0001000");
  writeBytes(folder.filePath("broken.txt"), cp950(good + sectionEnd("w", "BM2", "+1e999", "+0001000") + kEnd));
  Process broken = db({"--db", database, "import", "broken.txt"}, folder.path());
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_TRUE(broken.errors.contains("第 4 行") && broken.errors.contains("平差資料庫沒有加入任何資料"))
      << broken.errors.toStdString();
  EXPECT_TRUE(broken.out.isEmpty());
  writeBytes(folder.filePath("fixed.txt"), cp950(good + sectionEnd("w", "BM2", "+00000200", "+0001000") + kEnd));
  ASSERT_EQ(db({"--db", database, "import", "fixed.txt"}, folder.path()).exitCode, 0);

  writeBytes(folder.filePath("known.dat"), "T\r\n-99\r\nBM1        10        0\r\nBM2        1e308     0\r\n-99\r\n");
  Process huge = db({"--db", database, "read-engine-file", "known.dat"}, folder.path());
  EXPECT_EQ(huge.exitCode, 1);
  EXPECT_TRUE(huge.errors.contains("第 4 行第 11-20 欄") && huge.errors.contains("資料庫沒有加入任何資料"))
      << huge.errors.toStdString();

  Connection connection(database);
  EXPECT_EQ(tableRows(connection, "dat"), QStringList({"BM1|TP1|0.001|0.001|0", "TP1|BM2|0.002|0.001|0"}));
  EXPECT_TRUE(tableRows(connection, "cood").isEmpty());
}

// Leica GSI and DiNi M5 files: one row per levelling line, the format told from the content, a
// flagged line warned of, all or nothing, and other files refused naming what was looked for.
TEST(DbCommand, ImportsLevellingLinesOfGsiAndM5FilesAllOrNothing) {
  using namespace korvane::testing::levels;
  QTemporaryDir folder;
  const QString database = folder.filePath("job.mdb");
  std::vector<Station> stations = {{"A", "TP1", {1.5}, {1.3}, 15, 15}, {"TP1", "TP2", {1.0}, {1.1}, 25, 25},
                                   {"TP2", "B", {1.2}, {1.25}, 20, 20}};
  const std::string gsi = gsiFile({{1, 100, stations, {1}}, {2, 100, {{"B", "C", {1.4, 1.4}, {1.0, 1.0}, 30, 30}}, {}}},
                                  {true, '8', "\r"});
  writeBytes(folder.filePath("line.txt"), QByteArray::fromStdString(gsi));
  const std::string m5 = m5Record(1, "TO  Start-Line  BF  1", "", "", "") +
                         m5Record(2, "KD1 C", m5Value("Rb", 1.0), m5Value("HD", 10), "") +
                         m5Record(3, "KD1 D", m5Value("Rf", 1.5), m5Value("HD", 10), "") +
                         m5Record(4, "TO  End-Line", "", "", "");
  writeBytes(folder.filePath("dini.dat"), QByteArray::fromStdString(m5));

  Process imported = db({"--db", database, "import", "line.txt"}, folder.path());
  ASSERT_EQ(imported.exitCode, 0) << imported.errors.toStdString();
  EXPECT_TRUE(imported.errors.contains("警告")) << imported.errors.toStdString();
  EXPECT_TRUE(imported.errors.contains("A → B")) << imported.errors.toStdString();
  EXPECT_TRUE(imported.errors.contains("2 筆")) << imported.errors.toStdString();
  ASSERT_EQ(db({"--db", database, "import", "dini.dat"}, folder.path()).exitCode, 0);

  // A damaged word anywhere adds nothing; so does a total station's GSI and a file of no format.
  std::string damaged = gsi;
  damaged.replace(damaged.rfind("332.08+") + 7, 1, "x");
  writeBytes(folder.filePath("damaged.gsi"), QByteArray::fromStdString(damaged));
  writeBytes(folder.filePath("coordinates.gsi"), "110001+00000001 81..00+00005387 82..00-00000992\r\n");
  writeBytes(folder.filePath("points.csv"), "P1,100.0,200.0\r\n");
  const std::pair<const char*, const char*> refused[] = {
      {"damaged.gsi", "332.08+x"}, {"coordinates.gsi", "找不到 Leica GSI 的水準線"}, {"points.csv", "DiNi"}};
  for (const auto& [file, named] : refused) {
    Process failed = db({"--db", database, "import", file}, folder.path());
    EXPECT_EQ(failed.exitCode, 1) << file;
    EXPECT_TRUE(failed.errors.contains(QString::fromUtf8(named))) << failed.errors.toStdString();
    EXPECT_TRUE(failed.errors.contains("沒有加入任何資料")) << failed.errors.toStdString();
  }
  korvane::workbench::Connection connection(database);
  EXPECT_EQ(tableRows(connection, QStringLiteral("dat")), QStringList({"A|B|0.15|0.07|0", "B|C|0.4|0.06|0", "C|D|-0.5|0.02|0"}));
}

// The help says where the database is: the per-user folder of an installed program, not the
// program folder (/usr/bin).
TEST(DbCommand, HelpNamesTheFolderOfTheDatabase) {
  QTemporaryDir folder;
  Process help = db({"--help"}, folder.path());
  EXPECT_EQ(help.exitCode, 0);
  const QString text = QString::fromLocal8Bit(help.out);
  EXPECT_TRUE(text.contains("~/.local/share/Korvane")) << text.toStdString();
  EXPECT_FALSE(text.contains("program folder")) << text.toStdString();
}

// What no reader would take back is refused at writing, exit 1, no file: a title that reads as
// the end mark or holds a line break, and a text in a number column of a table without the
// number checks (named by row and column).
TEST(DbCommand, WriteEngineFileRefusesWhatNoReaderTakesBack) {
  struct Case {
    const char* what;
    QString title;
    QString row;
    QString message;
  };
  for (const Case& c : {
           Case{"end mark", "-99", "('B','C',1,1,0)", "計劃名稱不能是「-99」"},
           Case{"line break", "Job\n-99", "('B','C',1,1,0)", "計劃名稱只能有一行"},
           Case{"text as a number", "Job", "('B','C',1,'one',0)", "第 2 筆資料：「距離」欄要填數字，「one」不是數字"},
       }) {
    SCOPED_TRACE(c.what);
    QTemporaryDir folder;
    const QString database = folder.filePath("old.mdb");
    writeHandMadeDatabase(database, kOlderTables + QStringList{"INSERT INTO dat VALUES ('A','B',1,1,0)",
                                                               "INSERT INTO dat VALUES " + c.row,
                                                               "INSERT INTO cood VALUES ('A',10,0)"});
    Process written = db({"--db", database, "write-engine-file", "out.dat", "--title", c.title}, folder.path());
    EXPECT_EQ(written.exitCode, 1);
    EXPECT_TRUE(written.errors.contains(c.message)) << written.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("out.dat")));
  }
}
