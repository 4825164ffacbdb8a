// The levelling report workbook of "資料->Excel", read back with openpyxl.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "common/failure.h"
#include "convert/level/level_sheet.h"
#include "convert/level/level_workbook.h"
#include "convert/level/xlsx_sheet_file.h"
#include "dl100c_data.h"
#include "fakes/recording_messages.h"
#include "workbook_reader.h"

using namespace korvane::convert;
using namespace korvane::convert::level;
using namespace korvane::testing::dl100c;
using korvane::Failure;
using korvane::testing::readWorkbook;
using korvane::testing::RecordingMessages;
using korvane::testing::WorkbookContents;

namespace {

// One run of the workbook command on `text`, into `outputFile` (empty: a new file of its own).
struct WorkbookRun {
  RecordingMessages messages;
  QStringList opened;
  bool openSucceeds = true;
  std::optional<QString> failure;
  std::optional<QString> result = QStringLiteral("not run");

  void convert(const QString& text, const QString& outputFile = QString(), bool withOpen = true) {
    ConversionEnvironment environment{messages, programFolder.path(), 10, {}, {}, {}};
    environment.outputFile = outputFile;
    if (withOpen) {
      environment.openDocument = [this](const QString& path) {
        opened << path;
        return openSucceeds;
      };
    }
    failure = korvane::attempt([&] { result = convertToWorkbook(text, environment); });
  }

  QTemporaryDir programFolder;
};

// Writes `text` to a workbook in a temporary folder and reads it back.
struct Workbook {
  QTemporaryDir folder;
  WorkbookRun run;
  WorkbookContents contents;

  explicit Workbook(const QString& text) {
    const QString path = folder.filePath("report.xlsx");
    run.convert(text, path);
    contents = readWorkbook(path);
    EXPECT_TRUE(contents.read) << contents.error.toStdString();
  }
};

// Cells as the layout sets them, without a file: "row,column=value".
class RecordedCells : public SheetCells {
 public:
  void setValue(int row, int column, const QString& value) override {
    set << QStringLiteral("%1,%2=%3").arg(row).arg(column).arg(value);
  }
  QStringList set;
};

QStringList cellsOf(const QString& text) {
  RecordedCells cells;
  writeLevelSheet(text, Scaling{10}, cells);
  return cells.set;
}

const QStringList kLineStartRows2And3 = {"1:點號", "2:距離", "6:標尺讀數"};
const QStringList kLineStartRow3 = {"2:後視", "3:前視", "5:後視", "6:間視", "7:前視", "9:高程"};

}  // namespace

// --- Cells and rows, read back ------------------------------------------------------------------

TEST(LevelWorkbook, SheetAndCellsAfterAHeaderLineStartAndBacksight) {
  const Workbook book(kHeader + lineStart("JOB1", "BM1", "+02543210") + sight("g", "BM1", "+00145230", "+0025340") + kEnd);
  EXPECT_EQ(book.contents.sheets, QStringList{"DL100水準報表"});
  EXPECT_EQ(book.contents.row(1), (QStringList{"2:JOB:JOB1", "4:起始點:BM1", "6:已知高程:25.43210"}));
  EXPECT_EQ(book.contents.row(2), kLineStartRows2And3);
  EXPECT_EQ(book.contents.row(3), kLineStartRow3);
  EXPECT_TRUE(book.contents.row(4).isEmpty());
  // Name in A, distance in B, reading in E; numbers are stored as numbers.
  EXPECT_EQ(book.contents.row(5), (QStringList{"1:BM1", "2:#25.34", "5:#1.4523"}));
  EXPECT_EQ(book.contents.lastRow(), 5);
  EXPECT_EQ(book.run.failure, std::nullopt);
  EXPECT_EQ(book.run.result, std::nullopt);  // the workspace stays as it is
  EXPECT_TRUE(book.run.messages.showed("轉換完成"));
}

TEST(LevelWorkbook, SightColumnsByKindAndSectionEnds) {
  const Workbook book(kHeader + twoSectionLine() + kEnd);
  const WorkbookContents& c = book.contents;
  EXPECT_EQ(c.row(5), (QStringList{"1:BM1", "2:#25.34", "5:#1.4523"}));                      // g
  EXPECT_EQ(c.row(6), (QStringList{"1:TP1", "3:#24.98", "7:#1.321"}));                        // j
  EXPECT_EQ(c.row(7), (QStringList{"1:轉點:TP1", "3:區間距離:50.320", "5:累計距離:50.320", "7:高程:25.56340",
                                   "9:區間高程差:0.13130"}));                                   // v
  EXPECT_EQ(c.row(8), (QStringList{"1:TP1", "2:#30.12", "5:#0.98765"}));                      // g
  EXPECT_EQ(c.row(9), (QStringList{"1:P7", "3:#15", "6:#1.5"}));                              // k
  EXPECT_EQ(c.row(10), (QStringList{"1:BM2", "3:#29.87", "7:#2.1055", "9:#24.44555"}));       // i
  EXPECT_EQ(c.row(11), (QStringList{"1:結束點:BM2", "3:區間距離:59.990", "5:累計總距離:110.310", "7:高程:24.44555",
                                    "9:區間高程差:-1.11785"}));                                 // w
  EXPECT_EQ(c.lastRow(), 11);
}

TEST(LevelWorkbook, BacksightWithHeightAndNumberedNames) {
  const Workbook book(kHeader + compactLineStart("JOB2", "    1029", "+02444555") +
                      sight("h", "1029", "+00112233", "+0020000", "-00044555") + kEnd);
  EXPECT_EQ(book.contents.row(1), (QStringList{"2:JOB:JOB2", "4:起始點:1029", "6:已知高程:24.44555"}));
  // A name that reads as a number is stored as one, as a spreadsheet stores typed text.
  EXPECT_EQ(book.contents.row(5), (QStringList{"1:#1029", "2:#20", "5:#1.12233", "9:#-0.44555"}));
}

TEST(LevelWorkbook, StatusLineTakesTheRowAfterItsRecord) {
  const Workbook book(kHeader + lineStart("JOB1", "BM1", "+02543210") +
                      sight("g", "BM1", "+00145230", "+0025340", "+00000000", "I7") +
                      sight("j", "TP1", "+00132100", "+0024980") + kEnd);
  EXPECT_EQ(book.contents.row(5), (QStringList{"1:BM1", "2:#25.34", "5:#1.4523"}));
  EXPECT_EQ(book.contents.row(6), (QStringList{"1:Evaluation Error"}));
  EXPECT_EQ(book.contents.row(7), (QStringList{"1:TP1", "3:#24.98", "7:#1.321"}));
}

TEST(LevelWorkbook, BreakRecordLeavesOneEmptyRow) {
  const Workbook book(kHeader + lineStart("JOB1", "BM1", "+02543210") + sight("g", "BM1", "+00145230", "+0025340") +
                      record("t", "00", {}) + sight("j", "TP1", "+00132100", "+0024980") + kEnd);
  EXPECT_EQ(book.contents.row(5).size(), 3);
  EXPECT_TRUE(book.contents.row(6).isEmpty());
  EXPECT_EQ(book.contents.row(7), (QStringList{"1:TP1", "3:#24.98", "7:#1.321"}));
}

TEST(LevelWorkbook, DataWithoutTheHeaderRecordStartInRowOne) {
  // Without "A" first, the first row used would be row 0, which no sheet has.
  const Workbook book(lineStart("JOB1", "BM1", "+02543210") + sight("g", "BM1", "+00145230", "+0025340") + kEnd);
  EXPECT_EQ(book.run.failure, std::nullopt);
  EXPECT_EQ(book.contents.row(1), (QStringList{"2:JOB:JOB1", "4:起始點:BM1", "6:已知高程:25.43210"}));
  EXPECT_EQ(book.contents.row(3), kLineStartRow3);
  EXPECT_EQ(book.contents.row(5), (QStringList{"1:BM1", "2:#25.34", "5:#1.4523"}));
  EXPECT_TRUE(book.run.messages.showed("轉換完成"));
}

TEST(LevelWorkbook, FirstRecordBacksightWithStatusStartsInRowOne) {
  const Workbook book(sight("g", "BM1", "+00145230", "+0025340", "+00000000", "F8") + kEnd);
  EXPECT_EQ(book.contents.row(1), (QStringList{"1:BM1", "2:#25.34", "5:#1.4523"}));
  EXPECT_EQ(book.contents.row(2), (QStringList{"1:Operation Error"}));
}

TEST(LevelWorkbook, OnlyTheEndOfDataLineGivesAnEmptySheet) {
  const Workbook book(kEnd);
  EXPECT_EQ(book.contents.sheets, QStringList{"DL100水準報表"});
  EXPECT_TRUE(book.contents.cells.isEmpty());
  EXPECT_TRUE(book.run.messages.showed("轉換完成"));
}

// --- Row counter, without a file -------------------------------------------------------------

TEST(LevelSheetRows, HeaderAndUnlistedKindsMoveNothingOnceTheCounterIsAboveOne) {
  const QStringList cells = cellsOf(kHeader + sight("g", "P1", "+00100000", "+0010000") + kHeader + record("Q", "00", {}) +
                                    sight("g", "P2", "+00100000", "+0010000") + kEnd);
  EXPECT_EQ(cells, (QStringList{"1,1=P1", "1,2=10.000", "1,5=1.00000", "2,1=P2", "2,2=10.000", "2,5=1.00000"}));
}

TEST(LevelSheetRows, UnlistedKindWithStatusAndLineStartWithStatus) {
  const QStringList cells = cellsOf(kHeader + sight("g", "P1", "+00100000", "+0010000") + record("Q", "E7", {}) +
                                    lineStart("J", "B", "+00100000", "57") + sight("g", "P2", "+00100000", "+0010000") + kEnd);
  // "Q" at row 2 steps back, its status lands in row 2; the line start at row 3 takes rows
  // 3 to 5, its status row 7, and the next record row 8.
  EXPECT_EQ(cells.mid(3, 2), (QStringList{"2,1=Operation Error", "3,2=JOB:J"}));
  EXPECT_TRUE(cells.contains("7,1=Operation Error"));
  EXPECT_EQ(cells.last(), "8,5=1.00000");
}

TEST(LevelSheetRows, AUAndTLeaveAnEmptyRowEach) {
  const QStringList cells = cellsOf(kHeader + record("a", "00", {}) + record("u", "00", {}) + record("t", "00", {}) +
                                    sight("k", "P1", "+00100000", "+0010000") + kEnd);
  EXPECT_EQ(cells, (QStringList{"4,1=P1", "4,3=10.000", "4,6=1.00000"}));
}

// --- Failures and files ------------------------------------------------------------------------

TEST(LevelWorkbook, FailureKeepsTheCellsWrittenSoFarInTheFile) {
  QTemporaryDir folder;
  const QString path = folder.filePath("partial.xlsx");
  WorkbookRun run;
  run.convert(kHeader + lineStart("JOB1", "BM1", "+02543210") + sight("g", "BM1", "+00145230", "+0025340") +
                  QStringLiteral("c,00,JOB2,    BM12,02444555,\r\n") + kEnd,
              path);
  ASSERT_TRUE(run.failure);
  EXPECT_TRUE(run.failure->contains(QDir::toNativeSeparators(path))) << run.failure->toStdString();
  EXPECT_FALSE(run.messages.showed("轉換完成"));
  EXPECT_EQ(run.opened, QStringList{path});  // shown to the user as it is
  const WorkbookContents contents = readWorkbook(path);
  ASSERT_TRUE(contents.read) << contents.error.toStdString();
  EXPECT_EQ(contents.row(5), (QStringList{"1:BM1", "2:#25.34", "5:#1.4523"}));
  EXPECT_EQ(contents.lastRow(), 5);
}

TEST(LevelWorkbook, TextWithoutEndOfDataLineFailsWithTheFileLeft) {
  QTemporaryDir folder;
  const QString path = folder.filePath("noend.xlsx");
  WorkbookRun run;
  run.convert(kHeader + twoSectionLine(), path);
  ASSERT_TRUE(run.failure);
  const WorkbookContents contents = readWorkbook(path);
  EXPECT_EQ(contents.lastRow(), 11);
}

TEST(LevelWorkbook, TwoRunsGiveTwoFilesInTheDocumentsFolder) {
  const QString text = kHeader + lineStart("JOB1", "BM1", "+02543210") + kEnd;
  WorkbookRun first;
  WorkbookRun second;
  first.convert(text);
  second.convert(text);
  ASSERT_EQ(first.opened.size(), 1);
  ASSERT_EQ(second.opened.size(), 1);
  EXPECT_NE(first.opened[0], second.opened[0]);
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  for (const QString& path : {first.opened[0], second.opened[0]}) {
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(documents).absolutePath());
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith("DL100水準報表-"));
    EXPECT_TRUE(path.endsWith(".xlsx"));
    EXPECT_EQ(readWorkbook(path).row(1), (QStringList{"2:JOB:JOB1", "4:起始點:BM1", "6:已知高程:25.43210"}));
  }
}

TEST(LevelWorkbook, ReservedNamesNeverRepeatAndAFolderThatRefusesFilesGivesNothing) {
  QTemporaryDir folder;
  const QDateTime now(QDate(2024, 5, 18), QTime(9, 30, 5));
  const auto first = reserveWorkbookFile(folder.path(), now);
  const auto second = reserveWorkbookFile(folder.path(), now);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(QFileInfo(*first).fileName(), "DL100水準報表-20240518-093005.xlsx");
  EXPECT_EQ(QFileInfo(*second).fileName(), "DL100水準報表-20240518-093005-2.xlsx");
  QFile blocker(folder.filePath("file"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  EXPECT_FALSE(reserveWorkbookFile(folder.filePath("file/sub"), now));
  EXPECT_FALSE(reserveWorkbookFile(QString(), now));
}

TEST(LevelWorkbook, WhenNothingOpensTheWorkbookTheUserIsToldWhereItIs) {
  WorkbookRun run;
  run.openSucceeds = false;
  run.convert(kEnd);
  ASSERT_EQ(run.opened.size(), 1);
  ASSERT_EQ(run.messages.shown.size(), 2u);
  EXPECT_TRUE(run.messages.shown[0].text.contains(QDir::toNativeSeparators(run.opened[0])));
  EXPECT_EQ(run.messages.shown[1].text, "轉換完成");
  EXPECT_EQ(run.messages.shown[1].title, "訊息");
  EXPECT_EQ(run.messages.shown[1].kind, "information");
}

TEST(LevelWorkbook, AnUnwritableOutputFileIsAFailureNotASuccess) {
  QTemporaryDir folder;
  WorkbookRun run;
  run.convert(kEnd, folder.filePath("missing/folder/report.xlsx"));
  ASSERT_TRUE(run.failure);
  EXPECT_FALSE(run.messages.showed("轉換完成"));
  EXPECT_TRUE(run.opened.isEmpty());
}

// --- Numbers and texts in cells ------------------------------------------------------------------

TEST(SpreadsheetNumber, TextsThatReadAsNumbers) {
  EXPECT_EQ(spreadsheetNumber(u"12.345"), 12.345);
  EXPECT_EQ(spreadsheetNumber(u"-1.11785"), -1.11785);
  EXPECT_EQ(spreadsheetNumber(u" 1029 "), 1029.0);
  EXPECT_EQ(spreadsheetNumber(u"+5"), 5.0);
  EXPECT_EQ(spreadsheetNumber(u".5"), 0.5);
  EXPECT_EQ(spreadsheetNumber(u"1E3"), 1000.0);
  const std::optional<double> negativeZero = spreadsheetNumber(u"-0.000");
  ASSERT_TRUE(negativeZero);
  EXPECT_FALSE(std::signbit(*negativeZero));
}

TEST(SpreadsheetNumber, OtherTextsStayText) {
  for (const char16_t* text : {u"", u" ", u"BM1", u"JOB:JOB1", u"1-2", u"1.2.3", u"12E", u"E5", u"-", u".", u"1E999",
                               u"Infinity", u"NaN", u"0x10", u"1,5", u"已知高程:1.0"}) {
    EXPECT_FALSE(spreadsheetNumber(text)) << QString::fromUtf16(text).toStdString();
  }
}
