#pragma once
// A workbook file of one worksheet, written without a spreadsheet program (libxlsxwriter).
//
// Values arrive as text, as they would be typed into a cell: a text that reads as a number is
// stored as that number, so that the user can compute with it; any other text is stored as it
// stands. No cell formats, fonts or column widths are set.

#include <QString>
#include <QStringView>
#include <optional>

#include "convert/level/level_sheet.h"

struct lxw_workbook;
struct lxw_worksheet;

namespace korvane::convert::level {

// The number a cell takes for a typed text: blanks around an optional sign, digits with at most
// one decimal point, and an optional exponent ("12.345", " -0.5", "1029", "1E3"). Nothing for any
// other text (names, captions, dates, values too large for a number).
std::optional<double> spreadsheetNumber(QStringView text);

class XlsxSheetFile : public SheetCells {
 public:
  // Starts a workbook that close() writes to `path`. Throws Failure.
  XlsxSheetFile(const QString& path, const QString& sheetName);
  ~XlsxSheetFile() override;
  XlsxSheetFile(const XlsxSheetFile&) = delete;
  XlsxSheetFile& operator=(const XlsxSheetFile&) = delete;

  // Throws Failure for a cell outside the sheet or a text longer than a cell holds, and for a
  // cell above the row written last (the rows go to the file one after another).
  void setValue(int row, int column, const QString& value) override;

  // Writes the file with every cell set so far. Throws Failure when the file cannot be written;
  // no broken file is left then.
  void close();

  const QString& path() const { return path_; }

 private:
  QString path_;
  lxw_workbook* workbook_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
};

}  // namespace korvane::convert::level
