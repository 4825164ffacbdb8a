// `korvane convert dl100c-report` and `dl100c-xlsx` through the real binary.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "dl100c_data.h"
#include "text/cp950.h"
#include "workbook_reader.h"

using namespace korvane::testing::dl100c;

namespace {

struct Convert {
  QByteArray out;
  QByteArray errors;
  int exitCode = -1;

  Convert(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    process.setProgram(QStringLiteral(KORVANE_BINARY));
    process.setArguments(QStringList{"convert"} + arguments);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    process.setProcessEnvironment(environment);
    process.start();
    EXPECT_TRUE(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    out = process.readAllStandardOutput();
    errors = process.readAllStandardError();
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
};

QByteArray cp950(const QString& text) {
  const korvane::text::Cp950Encoding encoded = korvane::text::encodeCp950(text);
  EXPECT_TRUE(encoded.ok());
  return encoded.bytes;
}

QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
  const QString path = folder.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return path;
}

// A levelling line that starts on a benchmark with a Chinese name.
const QString kChineseDownload = kHeader + lineStart("JOB1", "水準點一", "+02543210") +
                                 sight("g", "水準點一", "+00145230", "+0025340") + kEnd;

}  // namespace

TEST(LevelConvertCommand, ReportOfACp950FileInCp950) {
  QTemporaryDir folder;
  const QString input = writeFile(folder, "level.txt", cp950(kChineseDownload));
  const Convert run({"dl100c-report", input});
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_EQ(run.out, cp950("  JOB:JOB1     起始點:水準點一               已知高程:25.43210\r\n"
                           "\r\n"
                           "點  號     距   離          標   尺   讀   數        高  程\r\n"
                           "\r\n"
                           "        後 視   前 視     後 視   間 視   前 視\r\n"
                           "\r\n"
                           "水準點一    25.340            1.45230\r\n"));
}

TEST(LevelConvertCommand, ReportFromStandardInput) {
  const Convert run({"dl100c-report"}, cp950(kHeader + record("t", "00", {}) + kEnd));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "\r\n");
}

TEST(LevelConvertCommand, ReportFailureExitsOneWithNothingOnStandardOutput) {
  const Convert run({"dl100c-report"}, cp950(kHeader + twoSectionLine()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_FALSE(run.errors.isEmpty());
}

TEST(LevelConvertCommand, WorkbookWrittenToTheGivenFileAndNotOpened) {
  QTemporaryDir folder;
  const QString input = writeFile(folder, "level.txt", cp950(kChineseDownload));
  const QString output = folder.filePath("level.xlsx");
  const Convert run({"dl100c-xlsx", input, "-o", output});
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_TRUE(QString::fromUtf8(run.errors).contains("轉換完成")) << run.errors.toStdString();
  const korvane::testing::WorkbookContents contents = korvane::testing::readWorkbook(output);
  ASSERT_TRUE(contents.read) << contents.error.toStdString();
  EXPECT_EQ(contents.sheets, QStringList{"DL100水準報表"});
  EXPECT_EQ(contents.row(1), (QStringList{"2:JOB:JOB1", "4:起始點:水準點一", "6:已知高程:25.43210"}));
  EXPECT_EQ(contents.row(5), (QStringList{"1:水準點一", "2:#25.34", "5:#1.4523"}));
}

TEST(LevelConvertCommand, WorkbookFailureExitsOneAndKeepsTheCellsWritten) {
  QTemporaryDir folder;
  const QString output = folder.filePath("partial.xlsx");
  const Convert run({"dl100c-xlsx", "-o", output},
                    cp950(kHeader + lineStart("JOB1", "BM1", "+02543210") + QStringLiteral("c,00,no plus,\r\n") + kEnd));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(korvane::testing::readWorkbook(output).row(1), (QStringList{"2:JOB:JOB1", "4:起始點:BM1", "6:已知高程:25.43210"}));
}

TEST(LevelConvertCommand, WorkbookThatCannotBeWrittenExitsOne) {
  QTemporaryDir folder;
  const Convert run({"dl100c-xlsx", "-o", folder.filePath("no/such/folder.xlsx")}, cp950(kEnd));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.errors.contains("no/such/folder.xlsx")) << run.errors.toStdString();
}
