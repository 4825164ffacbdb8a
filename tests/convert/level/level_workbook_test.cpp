// The levelling report workbook of "資料->Excel", read back with openpyxl.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "common/failure.h"
#include "convert/level/level_workbook.h"
#include "convert/level/xlsx_sheet_file.h"
#include "dl100c_data.h"
#include "fakes/recording_messages.h"
#include "workbook_reader.h"

using namespace korvane::convert;
using namespace korvane::testing::dl100c;
using korvane::testing::readWorkbook;
using korvane::testing::WorkbookContents;

namespace {

// One run of the workbook command, into `outputFile` (empty: a new file of its own).
struct WorkbookRun {
  QTemporaryDir folder;
  korvane::testing::RecordingMessages messages;
  QStringList opened;
  bool openSucceeds = true;
  std::optional<QString> failure;
  WorkbookContents contents;

  explicit WorkbookRun(const QString& text, QString outputFile = "report.xlsx") {
    if (!outputFile.isEmpty()) outputFile = folder.filePath(outputFile);
    ConversionEnvironment environment{messages, folder.path(), 10, {}, outputFile, [this](const QString& path) {
                                        opened << path;
                                        return openSucceeds;
                                      }};
    failure = korvane::attempt([&] { EXPECT_EQ(level::convertToWorkbook(text, environment), std::nullopt); });
    if (!opened.isEmpty()) contents = readWorkbook(opened.last());
  }
};

const QStringList kRow1 = {"2:JOB:JOB1", "4:起始點:BM1", "6:已知高程:25.43210"};
const QStringList kRow2 = {"1:點號", "2:距離", "6:標尺讀數"};
const QStringList kRow3 = {"2:後視", "3:前視", "5:後視", "6:間視", "7:前視", "9:高程"};
const QStringList kBacksightBM1 = {"1:BM1", "2:#25.34", "5:#1.4523"};  // '#': stored as a number
const QString kBacksight = sight("g", "BM1", "+00145230", "+0025340");

}  // namespace

TEST(LevelWorkbook, SheetAndCellsAfterAHeaderLineStartAndBacksight) {
  const WorkbookRun run(kHeader + lineStart("JOB1", "BM1", "+02543210") + kBacksight + kEnd);
  ASSERT_TRUE(run.contents.read) << run.contents.error.toStdString();
  EXPECT_EQ(run.contents.sheets, QStringList{"DL100水準報表"});
  EXPECT_EQ(run.contents.row(1), kRow1);
  EXPECT_EQ(run.contents.row(2), kRow2);
  EXPECT_EQ(run.contents.row(3), kRow3);
  EXPECT_TRUE(run.contents.row(4).isEmpty());
  EXPECT_EQ(run.contents.row(5), kBacksightBM1);
  EXPECT_EQ(run.contents.lastRow(), 5);
  EXPECT_EQ(run.messages.texts(), QStringList{level::completedText(run.folder.filePath("report.xlsx"))});
  EXPECT_EQ(run.messages.shown[0].title, "訊息");
}

TEST(LevelWorkbook, ColumnsOfEachSightKindAndSectionEnds) {
  const WorkbookRun run(kHeader + twoSectionLine() + sight("h", "1029", "+00112233", "+0020000", "-00044555") + kEnd);
  const WorkbookContents& c = run.contents;
  EXPECT_EQ(c.row(6), (QStringList{"1:TP1", "3:#24.98", "7:#1.321"}));  // j
  EXPECT_EQ(c.row(7), (QStringList{"1:轉點:TP1", "3:區間距離:50.320", "5:累計距離:50.320", "7:高程:25.56340", "9:區間高程差:0.13130"}));
  EXPECT_EQ(c.row(9), (QStringList{"1:P7", "3:#15", "6:#1.5"}));                          // k
  EXPECT_EQ(c.row(10), (QStringList{"1:BM2", "3:#29.87", "7:#2.1055", "9:#24.44555"}));   // i
  EXPECT_EQ(c.row(11), (QStringList{"1:結束點:BM2", "3:區間距離:59.990", "5:累計總距離:110.310", "7:高程:24.44555",
                                    "9:區間高程差:-1.11785"}));
  EXPECT_EQ(c.row(12), (QStringList{"1:#1029", "2:#20", "5:#1.12233", "9:#-0.44555"}));  // h; a numbered name is a number
}

TEST(LevelWorkbook, StatusRowBreakRowAndRecordsThatMoveNothing) {
  const WorkbookRun run(kHeader + lineStart("JOB1", "BM1", "+02543210") + sight("g", "BM1", "+00145230", "+0025340", "+0", "I7") +
                        record("t", "00", {}) + kHeader + record("Q", "00", {}) + sight("j", "TP1", "+00132100", "+0024980") + kEnd);
  EXPECT_EQ(run.contents.row(5), kBacksightBM1);
  EXPECT_EQ(run.contents.row(6), QStringList{"1:Evaluation Error"});
  EXPECT_TRUE(run.contents.row(7).isEmpty());  // "t"; then "A" and "Q" move nothing
  EXPECT_EQ(run.contents.row(8), (QStringList{"1:TP1", "3:#24.98", "7:#1.321"}));
}

TEST(LevelWorkbook, DataWithoutTheHeaderRecordStartInRowOne) {
  // Row 0, where such data would begin, is no row of a sheet.
  const WorkbookRun run(lineStart("JOB1", "BM1", "+02543210") + kBacksight + kEnd);
  EXPECT_EQ(run.failure, std::nullopt);
  EXPECT_EQ(run.contents.row(1), kRow1);
  EXPECT_EQ(run.contents.row(5), kBacksightBM1);
  const WorkbookRun status(sight("g", "BM1", "+00145230", "+0025340", "+0", "F8") + kEnd);
  EXPECT_EQ(status.contents.row(1), kBacksightBM1);
  EXPECT_EQ(status.contents.row(2), QStringList{"1:Operation Error"});
}

TEST(LevelWorkbook, FailureLeavesTheCellsWrittenSoFarAndNoCompletionMessage) {
  const WorkbookRun run(kHeader + lineStart("JOB1", "BM1", "+02543210") + kBacksight + QStringLiteral("c,00,JOB2,BM12,02444555,\r\n") + kEnd);
  ASSERT_TRUE(run.failure);
  EXPECT_TRUE(run.failure->contains(QDir::toNativeSeparators(run.folder.filePath("report.xlsx"))));
  EXPECT_TRUE(run.messages.shown.empty());
  EXPECT_EQ(run.contents.row(5), kBacksightBM1);  // opened as it is
  EXPECT_EQ(run.contents.lastRow(), 5);
  EXPECT_EQ(WorkbookRun(kHeader + twoSectionLine()).contents.lastRow(), 11);  // no End-of-data line
}

TEST(LevelWorkbook, TwoRunsGiveTwoFilesInTheDocumentsFolder) {
  const QString text = kHeader + lineStart("JOB1", "BM1", "+02543210") + kEnd;
  const WorkbookRun first(text, "");
  const WorkbookRun second(text, "");
  ASSERT_EQ(first.opened.size() + second.opened.size(), 2);
  EXPECT_NE(first.opened[0], second.opened[0]);
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  for (const WorkbookRun* run : {&first, &second}) {
    EXPECT_EQ(QFileInfo(run->opened[0]).absolutePath(), QDir(documents).absolutePath());
    EXPECT_TRUE(QFileInfo(run->opened[0]).fileName().startsWith("DL100水準報表-"));
    EXPECT_EQ(run->contents.row(1), kRow1);
  }
  QTemporaryDir folder;
  const QDateTime now(QDate(2024, 5, 18), QTime(9, 30, 5));
  EXPECT_EQ(QFileInfo(*level::reserveWorkbookFile(folder.path(), now)).fileName(), "DL100水準報表-20240518-093005.xlsx");
  EXPECT_EQ(QFileInfo(*level::reserveWorkbookFile(folder.path(), now)).fileName(), "DL100水準報表-20240518-093005-2.xlsx");
}

TEST(LevelWorkbook, UserIsToldWhereTheFileIsWhenNothingOpensIt) {
  korvane::testing::RecordingMessages messages;
  QTemporaryDir folder;
  const QString path = folder.filePath("report.xlsx");
  ConversionEnvironment environment{messages, folder.path(), 10, {}, path, [](const QString&) { return false; }};
  level::convertToWorkbook(kBacksight + kEnd, environment);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(path)));
  EXPECT_EQ(messages.shown[1].text, "轉換完成\n活頁簿存於：" + QDir::toNativeSeparators(path));
  EXPECT_TRUE(readWorkbook(path).read);
}

TEST(SpreadsheetNumber, NumbersAsTypedTextAndEverythingElseText) {
  EXPECT_EQ(level::spreadsheetNumber(u" -1.11785 "), -1.11785);
  EXPECT_EQ(level::spreadsheetNumber(u"+.5"), 0.5);
  EXPECT_EQ(level::spreadsheetNumber(u"1E3"), 1000.0);
  EXPECT_FALSE(std::signbit(*level::spreadsheetNumber(u"-0.000")));
  for (const char16_t* text : {u"", u"BM1", u"1-2", u"1.2.3", u"12E", u"-", u".", u"1E999", u"Infinity", u"1,5"}) {
    EXPECT_FALSE(level::spreadsheetNumber(text)) << QString::fromUtf16(text).toStdString();
  }
}
