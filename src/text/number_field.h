#pragma once
// The one rule for every number Korvane reads from a text: a field whose value is not finite (its
// digits overflow a double, such as 1e999 or a number of 400 digits), or too large for the field
// it fills later, is refused with a message that names its line and its field. Nothing prints
// "Infinity" or stores it.

#include <QString>
#include <QStringView>

#include "common/failure.h"

namespace korvane::text {

// Number patterns write at most 15 significant digits (formatNumber), so a report shows a number
// digit for digit only while its whole part has at most 15 digits.
inline constexpr double kReportNumberLimit = 1e15;

// A number field that cannot be used. Commands that pass over a failing step and go on (the
// GTS-200 observation reports) stop for this one.
class NumberFieldFailure : public Failure {
 public:
  using Failure::Failure;
};

// Whether `value` is finite and, rounded to 15 significant digits, below `limit` in magnitude.
bool isUsableNumber(double value, double limit = kReportNumberLimit);

// `value` when it is usable in a report; otherwise throws NumberFieldFailure naming the line
// (counted from 1), the field and the field's text.
double usableNumber(double value, qsizetype line, QStringView field, QStringView text);

// Throws NumberFieldFailure for the field `field` at line `line` whose text is `text`: not finite
// when `value` is not, else `tooLarge` tells why it cannot be used.
[[noreturn]] void refuseNumber(double value, qsizetype line, QStringView field, QStringView text, const QString& tooLarge);

// The field's text as a message quotes it: without surrounding blanks, a long one cut.
QString quotedFieldText(QStringView text);

// The line (counted from 1) on which position `offset` of `text` stands; lines end at LF.
qsizetype lineAt(QStringView text, qsizetype offset);

}  // namespace korvane::text
