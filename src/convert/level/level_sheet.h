#pragma once
// The levelling report as worksheet cells ("資料->Excel"): one record per row, each value in
// a cell of its own, under the headings each levelling line starts with.

#include <QString>
#include <QStringView>

#include "convert/level/dl100c_records.h"

namespace korvane::convert::level {

// The sheet name of the levelling report workbook.
inline const QString kLevelSheetName = QStringLiteral("DL100水準報表");

// Where the values go.
class SheetCells {
 public:
  virtual ~SheetCells() = default;
  // Assigns a value, given as text, to the cell at `row` and `column`, both counted from 1
  // (column 1 is A). Throws Failure when the cell cannot take it.
  virtual void setValue(int row, int column, const QString& value) = 0;
};

// Writes the cells of a DL-100C text up to its End-of-data line. Throws Failure when the text
// runs out before that line, holds a "c" record that cannot be read, or a cell cannot be set;
// the cells set before stay.
//
// Columns: 2 backsight distance, 3 foresight and intermediate-sight distance, 5 backsight
// reading, 6 intermediate-sight reading, 7 foresight reading, 9 height. A "b" or "c" header block
// takes three rows and is followed by an empty one; a status line takes the row after its record;
// "a", "u" and "t" leave an empty row. Data that do not begin with the "A" header record are
// written as if it had been there: the first row used is row 1.
void writeLevelSheet(QStringView text, Scaling scaling, SheetCells& cells);

// The same for a text read in pieces: the cells of each record as soon as its line is complete,
// row after row.
class LevelSheetWriter {
 public:
  LevelSheetWriter(Scaling scaling, SheetCells& cells);
  void read(QStringView piece) { records_.read(piece); }
  void finish() { records_.finish(); }
  bool metRecords() const { return records_.metLevellingRecords(); }

 private:
  void add(const Record& record);

  SheetCells& cells_;
  RecordStream records_;
  int row_ = 0;
  bool first_ = true;
};

}  // namespace korvane::convert::level
