#pragma once
// "資料->Excel": the levelling report as a new workbook that opens in the user's spreadsheet
// program.

#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

#include "common/failure.h"
#include "convert/conversion.h"
#include "convert/text_stream.h"
#include "convert/level/level_sheet.h"
#include "convert/level/xlsx_sheet_file.h"

namespace korvane::convert::level {

// Creates an empty file with a new time-stamped name in `folder` ("DL100水準報表-20240518-093005.xlsx",
// with "-2", "-3", ... when that name is taken), which holds the name for the workbook. Returns
// its path, or nothing when the folder cannot take a file.
std::optional<QString> reserveWorkbookFile(const QString& folder, const QDateTime& now);

// What "轉換完成" says: the conversion is done, and where the workbook is.
QString completedText(const QString& path);

// The file for a new workbook: in the user's documents folder, or in the program folder when
// that cannot be used. Throws Failure when neither can.
QString newWorkbookFile(const QString& programFolder);

// "資料->Excel" reading its text in pieces: the file is made at the start, each record's cells are
// written as its line completes, and finish() closes the workbook, opens it and shows "轉換完成" with its path.
// A failure closes the workbook with the cells written so far, opens it and throws a Failure that
// names the file; a number no report can show removes the file instead (nothing is written).
class WorkbookConversion : public TextConversion {
 public:
  explicit WorkbookConversion(ConversionEnvironment& environment);
  ~WorkbookConversion() override;
  void read(QStringView piece) override;
  // Without any levelling record no workbook is kept: the file is removed and nothing is shown.
  void finish() override;
  bool metRecords() const override { return sheet_->metRecords(); }

 private:
  [[noreturn]] void fail(const Failure& failure);

  ConversionEnvironment& environment_;
  QString path_;
  std::unique_ptr<XlsxSheetFile> workbook_;
  std::unique_ptr<LevelSheetWriter> sheet_;
};

// The converter of "資料->Excel": writes the workbook (to environment.outputFile, or a new file)
// and opens it through environment.openDocument, then shows "轉換完成" with the workbook's path
// (whether or not anything opened it). The workspace stays as
// it is. A failure while the records are written still leaves the workbook with the cells
// written so far, and is thrown as a Failure that names the file. A number no report can show
// is refused before any file is made.
std::optional<QString> convertToWorkbook(const QString& workspace, ConversionEnvironment& environment);

}  // namespace korvane::convert::level
