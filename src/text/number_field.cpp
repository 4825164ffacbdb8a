#include "text/number_field.h"

#include <algorithm>
#include <cmath>

namespace korvane::text {

bool isUsableNumber(double value, double limit) {
  // Rounded to 15 significant digits, as the reports write it, a value within half a unit of the
  // 15th digit below the limit would reach the limit: 999999999999999.7 would print as
  // 1000000000000000.
  const double rounded = limit * (1.0 - 0.5e-15);
  return std::isfinite(value) && std::fabs(value) < rounded;
}

QString quotedFieldText(QStringView text) {
  constexpr qsizetype kShown = 30;
  const QStringView trimmed = text.trimmed();
  if (trimmed.size() <= kShown) return trimmed.toString();
  return trimmed.first(kShown).toString() + QStringLiteral("…（共 %1 字）").arg(trimmed.size());
}

void refuseNumber(double value, qsizetype line, QStringView field, QStringView text, const QString& tooLarge) {
  const QString where = QStringLiteral("第 %1 行的%2「%3」").arg(line).arg(field).arg(quotedFieldText(text));
  if (!std::isfinite(value)) throw NumberFieldFailure(where + QStringLiteral("超出數值能表示的範圍"));
  throw NumberFieldFailure(where + tooLarge);
}

double usableNumber(double value, qsizetype line, QStringView field, QStringView text) {
  if (!isUsableNumber(value)) {
    refuseNumber(value, line, field, text, QStringLiteral("太大：報表的數字最多 15 位整數"));
  }
  return value;
}

qsizetype lineAt(QStringView text, qsizetype offset) {
  const QStringView before = text.first(std::clamp<qsizetype>(offset, 0, text.size()));
  return before.count(u'\n') + 1;
}

}  // namespace korvane::text
