#pragma once
// Numbers as the adjustment workbench writes and reads them: in the engine input file, in the
// grids, and from the texts a user types or a file holds.

#include <QString>
#include <QStringView>
#include <optional>

namespace korvane::workbench {

// The number text of the engine input file: a blank before a number that is not negative and a
// minus sign before one that is; no zero before the decimal point when the magnitude is below 1
// (0.5 gives " .5", -0.25 gives "-.25"); up to `significantDigits` significant digits (at most
// 15) without trailing zeros; exponent form below 0.0001 and from 10^15 on (" 1E-05", " 1E+15").
QString engineNumberText(double value, int significantDigits = 15);

// The engine number text with as many significant digits as fit in `columns` characters, taking
// the exponent form when the plain form cannot fit at all (" 1.235E+11"). The engine reads a
// number field of ten columns and nothing beyond it.
QString fittedEngineNumberText(double value, int columns = 10);

// The standard text form of a number, as the grids show it: up to 15 significant digits, no
// trailing zeros, a zero before the point (0.5, -0.00123, 25), the exponent form for very small
// or large magnitudes (1E-05).
QString standardNumberText(double value);

// The value as its 15 significant digits read back: scaled instrument values without the last
// binary digits the scaling leaves (50320 mm read as 0.05032 km, not 0.050320000000000004).
double roundedToFifteenDigits(double value);

// The number a trimmed text holds: an optional sign, digits with at most one decimal point, an
// optional exponent (E or e, optional sign, digits), nothing else. Nothing when the text is not
// such a number (an empty text included) or its value is beyond the range of a double (1e999).
std::optional<double> parseNumberText(QStringView text);

// Whether a trimmed text has the form parseNumberText reads, whatever the size of its value.
bool hasNumberForm(QStringView text);

// A field of tarnex's work file level.inp that a number of the engine input file fills: Fw.d,
// right-aligned with d decimals, no zero before the point below 1, no sign on a value that rounds
// to zero. tarnex refuses a number that does not fit its field.
struct WorkFileField {
  int width = 0;
  int decimals = 0;
};

// The work-file field a column of `dat` or `cood` fills: "高差" F10.5, "距離" F10.3,
// "等級(N√K)" F10.5, "高程" F10.5, "標準差" F20.10; nothing for any other column.
std::optional<WorkFileField> workFileFieldOf(QStringView column);

// Why `value` cannot be stored in the number column `column`: it is not finite, or it does not
// fit the work-file field of the column once the engine input file has written it in its ten
// columns (fittedEngineNumberText). Empty when it can.
QString unusableColumnValue(QStringView column, double value);

}  // namespace korvane::workbench
