#include "convert/level/level_sheet.h"

#include "text/number_text.h"

namespace korvane::convert::level {
namespace {

QString distanceText(double value) { return text::formatNumber(value, u"###0.000"); }
QString readingText(double value) { return text::formatNumber(value, u"###0.00000"); }

QString joined(QStringView caption, QStringView value) {
  QString text;
  text.reserve(caption.size() + value.size());
  text.append(caption);
  text.append(value);
  return text;
}

void setLineStart(const LineStart& start, int row, SheetCells& cells) {
  cells.setValue(row, 2, joined(u"JOB:", start.job));
  cells.setValue(row, 4, joined(u"起始點:", start.startPoint));
  cells.setValue(row, 6, joined(u"已知高程:", readingText(start.knownHeight)));
  cells.setValue(row + 1, 1, QStringLiteral("點號"));
  cells.setValue(row + 1, 2, QStringLiteral("距離"));
  cells.setValue(row + 1, 6, QStringLiteral("標尺讀數"));
  cells.setValue(row + 2, 9, QStringLiteral("高程"));
  cells.setValue(row + 2, 2, QStringLiteral("後視"));
  cells.setValue(row + 2, 3, QStringLiteral("前視"));
  cells.setValue(row + 2, 5, QStringLiteral("後視"));
  cells.setValue(row + 2, 6, QStringLiteral("間視"));
  cells.setValue(row + 2, 7, QStringLiteral("前視"));
}

// A sighting row: name in column 1, distance and reading in the columns of its kind, and the
// height in column 9 for the kinds that carry one.
void setSight(const Sight& sight, int row, int distanceColumn, int readingColumn, bool withHeight, SheetCells& cells) {
  cells.setValue(row, 1, sight.pointName.toString());
  cells.setValue(row, distanceColumn, distanceText(sight.distance));
  cells.setValue(row, readingColumn, readingText(sight.reading));
  if (withHeight) cells.setValue(row, 9, readingText(sight.height));
}

void setSectionEnd(const SectionEnd& end, int row, QStringView pointCaption, QStringView accumulatedCaption,
                   SheetCells& cells) {
  cells.setValue(row, 1, joined(pointCaption, end.pointName));
  cells.setValue(row, 3, joined(u"區間距離:", distanceText(end.sectionDistance)));
  cells.setValue(row, 5, joined(accumulatedCaption, distanceText(end.accumulatedDistance)));
  cells.setValue(row, 7, joined(u"高程:", readingText(end.height)));
  cells.setValue(row, 9, joined(u"區間高程差:", readingText(end.heightDifference)));
}

void setRecordCells(const Record& record, int row, SheetCells& cells) {
  switch (record.kind) {
    case kind::kLineStart:
    case kind::kLineStartCompact:
      setLineStart(record.lineStart, row, cells);
      break;
    case kind::kBacksight:
      setSight(record.sight, row, 2, 5, false, cells);
      break;
    case kind::kBacksightWithHeight:
      setSight(record.sight, row, 2, 5, true, cells);
      break;
    case kind::kForesightWithHeight:
      setSight(record.sight, row, 3, 7, true, cells);
      break;
    case kind::kForesight:
      setSight(record.sight, row, 3, 7, false, cells);
      break;
    case kind::kIntermediateSight:
      setSight(record.sight, row, 3, 6, false, cells);
      break;
    case kind::kTurningPoint:
      setSectionEnd(record.sectionEnd, row, u"轉點:", u"累計距離:", cells);
      break;
    case kind::kEndPoint:
      setSectionEnd(record.sectionEnd, row, u"結束點:", u"累計總距離:", cells);
      break;
    default:
      break;
  }
}

// How a record of this kind moves the row counter before its status is looked at.
int kindRowAdvance(char16_t recordKind, int row) {
  switch (recordKind) {
    case kind::kLineStart:
    case kind::kLineStartCompact:
      return 3;
    case u'a':
    case u'u':
    case kind::kBreak:
    case kind::kBacksight:
    case kind::kBacksightWithHeight:
    case kind::kForesightWithHeight:
    case kind::kForesight:
    case kind::kIntermediateSight:
    case kind::kTurningPoint:
    case kind::kEndPoint:
      return 0;
    default:  // the "A" header and kinds without cells
      return row > 1 ? -1 : 0;
  }
}

}  // namespace

LevelSheetWriter::LevelSheetWriter(Scaling scaling, SheetCells& cells)
    : cells_(cells), records_(scaling, [this](const Record& record) { add(record); }) {}

void LevelSheetWriter::add(const Record& record) {
  // The "A" header record of a download leaves the first record after it in row 1; data
  // without it start there too.
  if (first_ && record.kind != kind::kHeader) row_ = 1;
  first_ = false;

  setRecordCells(record, row_, cells_);
  row_ += kindRowAdvance(record.kind, row_);
  if (record.hasStatusLine()) {
    cells_.setValue(row_ + 1, 1, record.statusLine.toString());
  } else {
    row_ -= 1;
  }
  row_ += 2;
}

void writeLevelSheet(QStringView text, Scaling scaling, SheetCells& cells) {
  LevelSheetWriter writer(scaling, cells);
  writer.read(text);
  writer.finish();
}

}  // namespace korvane::convert::level
