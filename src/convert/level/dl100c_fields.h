#pragma once
// The field scan of a DL-100C record line.
//
// A record line holds its kind at position 1, a status code at positions 3-4 and its data fields
// f1, f2, ... from position 6 on, separated by commas. Positions are counted from 1, as the
// instrument's layout counts them.

#include <QStringView>
#include <array>

namespace korvane::convert::level {

// Position of field f1 in a record line.
inline constexpr qsizetype kFirstFieldPosition = 6;

// The most fields any DL-100C record carries (f1 to f8).
inline constexpr int kRecordFieldCount = 8;

// `NextFieldSpan`: the character count from `position` (counted from 1) up to and including the
// next comma of `line`. The field that starts at `position` is the first SpanCount - 1 of these
// characters and the next field starts SpanCount characters further on. When no comma follows,
// SpanCount is the length of the whole line plus 1 (compared with the line, not with the
// characters left), so the field runs to the end of the line and any later field is empty.
qsizetype nextFieldSpan(QStringView line, qsizetype position);

// The `count` characters of `line` at `position` (counted from 1); only those inside the line.
QStringView charactersAt(QStringView line, qsizetype position, qsizetype count);

// Walks the data fields of one record: f1 at position 6, each further field just after the
// comma that ends the one before. A field beyond the end of the line is empty.
class FieldWalk {
 public:
  explicit FieldWalk(QStringView line) : line_(line) {}

  // The next field: f1 on the first call, then f2, f3, ...
  QStringView next();

  // The SpanCount of the latest call of next().
  qsizetype spanCount() const { return spanCount_; }

 private:
  QStringView line_;
  // The comma after the latest field (counted from 1); the field before f1 "ends" at position 5.
  qsizetype commaPosition_ = kFirstFieldPosition - 1;
  qsizetype spanCount_ = 0;
};

using RecordFields = std::array<QStringView, kRecordFieldCount>;

// Fields f1 to f8 of a record line (index 0 holds f1).
RecordFields scanRecordFields(QStringView line);

}  // namespace korvane::convert::level
