#pragma once
// Taking fields out of instrument records by character position, and texts that may be numbers.

#include <QString>
#include <QStringView>
#include <optional>

namespace korvane::convert::total_station {

// The characters `first` to `last` of `text`, counted from 1; the part that exists when the range
// runs beyond the end (possibly nothing).
QStringView columns(QStringView text, qsizetype first, qsizetype last);

// `length` characters of `text` from position `start` (counted from 1), as far as they exist.
QStringView charactersFrom(QStringView text, qsizetype start, qsizetype length);

// The value of a text that is a number as a whole: blanks around it, an optional sign, digits
// with at most one decimal point, an optional exponent. Nothing for any other text, the empty
// one included.
std::optional<double> wholeNumber(QStringView text);

// Where a number field stands: its line in the workspace (counted from 1) and its name, for the
// message that refuses a value no report can show (text::usableNumber).
struct FieldPlace {
  qsizetype line = 0;
  QStringView name;
};

// The value of a number field as a report shows it; throws text::NumberFieldFailure naming the
// place when it is not finite or too large for a report.
double reportValue(double value, const FieldPlace& place, QStringView text);

// A text field written after a number pattern: a text that is a number (wholeNumber) is written
// with the pattern, any other text passes unchanged. A number no report can show is refused.
QString formatTextAsNumber(QStringView text, QStringView pattern, const FieldPlace& place);

// A value written with a number pattern, or nothing when there is no value.
QString formatOptional(const std::optional<double>& value, QStringView pattern);

}  // namespace korvane::convert::total_station
