// `korvane convert dl100c-report` and `dl100c-xlsx` through the real binary.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "dl100c_data.h"
#include "level_lines_data.h"
#include "text/cp950.h"
#include "workbook_reader.h"

using namespace korvane::testing::dl100c;

namespace {

struct Convert {
  QByteArray out;
  QString errors;
  int exitCode = -1;

  Convert(const QStringList& arguments, const QString& input) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KORVANE_BINARY), QStringList{"convert"} + arguments);
    process.write(korvane::text::encodeCp950(input).bytes);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    out = process.readAllStandardOutput();
    errors = QString::fromUtf8(process.readAllStandardError());
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
};

const QString kDownload = kHeader + lineStart("JOB1", "水準點一", "+02543210") + sight("g", "水準點一", "+00145230", "+0025340") + kEnd;

}  // namespace

TEST(LevelConvertCommand, ReportInCp950AndFailureExitingOne) {
  const Convert run({"dl100c-report"}, kDownload);
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_EQ(run.out, korvane::text::encodeCp950(
                         u"  JOB:JOB1     起始點:水準點一               已知高程:25.43210\r\n\r\n"
                         u"點  號     距   離          標   尺   讀   數        高  程\r\n\r\n"
                         u"        後 視   前 視     後 視   間 視   前 視\r\n\r\n"
                         u"水準點一    25.340            1.45230\r\n").bytes);
  const Convert failed({"dl100c-report"}, kHeader + twoSectionLine());
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_TRUE(failed.out.isEmpty());
  EXPECT_TRUE(failed.errors.contains("Z,&,")) << failed.errors.toStdString();
}

TEST(LevelConvertCommand, WorkbookWrittenToTheGivenFileAndNotOpened) {
  QTemporaryDir folder;
  const QString output = folder.filePath("level.xlsx");
  const Convert run({"dl100c-xlsx", "-o", output}, kDownload);
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_TRUE(run.errors.contains("轉換完成"));
  const korvane::testing::WorkbookContents contents = korvane::testing::readWorkbook(output);
  EXPECT_EQ(contents.sheets, QStringList{"DL100水準報表"});
  EXPECT_EQ(contents.row(5), (QStringList{"1:水準點一", "2:#25.34", "5:#1.4523"}));
}

TEST(LevelConvertCommand, WithoutLevellingRecordsNothingIsWrittenAndTheExitIsOne) {
  QTemporaryDir folder;
  const QString output = folder.filePath("level.xlsx");
  for (const QStringList& arguments : {QStringList{"dl100c-report"}, QStringList{"dl100c-xlsx", "-o", output}}) {
    const Convert run(arguments, kHeader + kEnd);
    EXPECT_EQ(run.exitCode, 1) << arguments[0].toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.errors.startsWith("korvane convert: 資料中找不到 DL-100C 的水準記錄")) << run.errors.toStdString();
  }
  EXPECT_FALSE(QFile::exists(output));
}

TEST(LevelConvertCommand, WorkbookFailuresExitOne) {
  QTemporaryDir folder;
  const QString partial = folder.filePath("partial.xlsx");
  EXPECT_EQ(Convert({"dl100c-xlsx", "-o", partial}, kHeader + lineStart("JOB1", "BM1", "+02543210")).exitCode, 1);
  EXPECT_EQ(korvane::testing::readWorkbook(partial).row(1).size(), 3);
  const Convert unwritable({"dl100c-xlsx", "-o", folder.filePath("no/such/folder.xlsx")}, kDownload);
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_TRUE(unwritable.errors.contains("no/such/folder.xlsx")) << unwritable.errors.toStdString();
}

// Numbers no report can show, as fuzzed downloads held them (once printed as "Infinity" with exit
// 0): refused naming the line and the field, nothing on standard output, and no workbook at all.
TEST(LevelConvertCommand, NumbersNoReportCanShowAreRefusedNamingLineAndField) {
  const struct {
    QString download;
    QString named;
  } cases[] = {
      {kHeader + lineStart("JOB1", "BM1", "+1e999") + kEnd, "第 2 行的f3 已知高程「+1e999」"},
      {kHeader + lineStart("JOB1", "BM1", "+02543210") + sight("g", "BM1", "+00145230", QString(400, u'9')) + kEnd,
       "第 3 行的f2 距離"},
      {kHeader + twoSectionLine() + sectionEnd("w", "BM3", "-1e25", "+0059990", "+0110310", "+02444555") + kEnd,
       "第 10 行的f4 區間高程差「-1e25」太大"},
      {kHeader + QStringLiteral("c,00,JOB2,    BM12,+1e400,\r\n") + kEnd, "第 2 行的已知高程「1e400」"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.named.toStdString());
    const Convert report({"dl100c-report"}, c.download);
    EXPECT_EQ(report.exitCode, 1);
    EXPECT_TRUE(report.out.isEmpty());
    EXPECT_TRUE(report.errors.contains(c.named)) << report.errors.toStdString();

    QTemporaryDir folder;
    const QString output = folder.filePath("level.xlsx");
    const Convert workbook({"dl100c-xlsx", "-o", output}, c.download);
    EXPECT_EQ(workbook.exitCode, 1);
    EXPECT_TRUE(workbook.errors.contains(c.named)) << workbook.errors.toStdString();
    EXPECT_FALSE(QFile::exists(output));
  }
}

// `korvane convert level-lines`: the lines report and the CSV of a GSI file, the refusal of others.
TEST(LevelConvertCommand, LevelLinesReportCsvAndRefusal) {
  using namespace korvane::testing::levels;
  QTemporaryDir folder;
  const QString gsi = folder.filePath("line.gsi");
  QFile file(gsi);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  const std::vector<Station> stations = {{"A", "TP1", {1.5}, {1.3}, 15, 15}, {"TP1", "TP2", {1.0}, {1.1}, 25, 25},
                                         {"TP2", "B", {1.2}, {1.25}, 20, 20}};
  file.write(QByteArray::fromStdString(gsiFile({{1, 100, stations, {1}}})));
  file.close();

  const Convert csv({"level-lines", gsi, "--csv"}, QString());
  EXPECT_EQ(csv.exitCode, 0) << csv.errors.toStdString();
  EXPECT_EQ(csv.out, "\xEF\xBB\xBF"
                     "start,end,method,setups,dh_m,length_km,instrument_dh_m,instrument_length_km,agrees\r\n"
                     "A,B,BF,2,0.15000,0.07000,0.05000,0.12000,false\r\n");
  const Convert report({"level-lines", gsi, "--utf8"}, QString());
  EXPECT_EQ(report.exitCode, 0) << report.errors.toStdString();
  EXPECT_TRUE(QString::fromUtf8(report.out).contains(QStringLiteral("1 條標「*」"))) << report.out.toStdString();

  const std::pair<QString, QString> refused[] = {
      {QStringLiteral("110001+00000001 81..00+00005387 82..00-00000992\r\n"), QStringLiteral("找不到 Leica GSI 的水準線")},
      {QStringLiteral("P1,100.0,200.0\r\n"), QStringLiteral("M5")}};
  for (const auto& [input, named] : refused) {
    const Convert run({"level-lines"}, input);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.errors.contains(named)) << run.errors.toStdString();
  }
  EXPECT_EQ(Convert({"dl100c-report", "--csv"}, kDownload).exitCode, 2);
}
