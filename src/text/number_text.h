#pragma once

// Numbers and fields as they appear in survey files and printed reports.

#include <QString>
#include <QStringView>

namespace korvane::text {

// The value of a number written in a text field.
//
// Blanks, tabs and line feeds are ignored wherever they stand ("1 2.5" is
// 12.5). What remains is read from the start: an optional sign, digits with
// at most one decimal point, and an optional exponent (E or e, optional sign,
// digits). Reading stops at the first other character; a carriage return
// also stops it. A text without any digit is worth 0.
double numericValue(QStringView text);

// Writes value after a number pattern such as "#0.000", "#.000" or
// "0000000000".
//
// The '0's after the point give the number of decimals. The '0's before it
// give the least number of integer digits, padded with leading zeros; with
// none ("#.000") a zero integer part is left out (".500"). Longer numbers
// are written whole, never in exponent notation. Values below zero get a
// leading '-', even when they round to zero ("-0.000").
//
// Rounding is done on the 15 significant digits the value shows in decimal,
// half away from zero, so 0.0135 gives "0.014" although the nearest double
// lies a hair below 0.0135.
QString formatNumber(double value, QStringView pattern);

// Right-aligns text in a field of width QChars, padding with spaces on the
// left. A longer text is returned whole, never cut.
QString alignRight(QStringView text, int width);

// Writes text after an "@@@@" pattern: right-aligned in as many characters
// as the pattern has.
QString formatText(QStringView text, QStringView atPattern);

} // namespace korvane::text
