#include "workbench/engine_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "text/number_text.h"

namespace korvane::workbench {
namespace {

constexpr int kMostSignificantDigits = 15;

// A finite value rounded to a number of significant digits: its digits without trailing zeros,
// the power of ten of the first digit, and its sign.
struct Decimal {
  bool negative = false;
  std::string digits = "0";
  int exponent = 0;
};

Decimal decimalOf(double value, int significantDigits) {
  Decimal decimal;
  if (value == 0) return decimal;
  significantDigits = std::clamp(significantDigits, 1, kMostSignificantDigits);
  char buffer[48];
  // std::to_chars: the application's locale must not change the decimal point.
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific,
                                     significantDigits - 1);
  const std::string text(buffer, written.ptr);  // "d.ddde+XX" or "de+XX"
  const std::size_t e = text.find('e');
  decimal.digits.clear();
  for (std::size_t i = 0; i < e; ++i) {
    if (text[i] != '.') decimal.digits += text[i];
  }
  while (decimal.digits.size() > 1 && decimal.digits.back() == '0') decimal.digits.pop_back();
  decimal.exponent = std::stoi(text.substr(e + 1));
  decimal.negative = value < 0;
  return decimal;
}

// Magnitudes below 0.0001 and from 10^15 on are written in exponent form.
bool takesExponentForm(const Decimal& decimal) {
  return decimal.digits != "0" && (decimal.exponent < -4 || decimal.exponent >= kMostSignificantDigits);
}

std::string exponentBody(const Decimal& decimal) {
  std::string body(1, decimal.digits[0]);
  if (decimal.digits.size() > 1) body += '.' + decimal.digits.substr(1);
  body += decimal.exponent < 0 ? "E-" : "E+";
  std::string power = std::to_string(std::abs(decimal.exponent));
  if (power.size() < 2) power.insert(0, 1, '0');
  return body + power;
}

std::string plainBody(const Decimal& decimal, bool zeroBeforePoint) {
  if (decimal.exponent < 0) {
    return std::string(zeroBeforePoint ? "0." : ".") + std::string(std::size_t(-decimal.exponent - 1), '0') +
           decimal.digits;
  }
  const std::size_t integerCount = std::size_t(decimal.exponent) + 1;
  std::string integer = decimal.digits.substr(0, std::min(integerCount, decimal.digits.size()));
  integer.append(integerCount - integer.size(), '0');
  const std::string fraction = decimal.digits.size() > integerCount ? decimal.digits.substr(integerCount) : "";
  return fraction.empty() ? integer : integer + '.' + fraction;
}

QString engineText(const Decimal& decimal, bool exponentForm) {
  const std::string body = exponentForm ? exponentBody(decimal) : plainBody(decimal, false);
  return QString::fromStdString((decimal.negative ? "-" : " ") + body);
}

QString nonFiniteText(double value) {
  if (std::isnan(value)) return QStringLiteral("NaN");
  return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
}

}  // namespace

QString engineNumberText(double value, int significantDigits) {
  if (!std::isfinite(value)) return u' ' + nonFiniteText(value);
  const Decimal decimal = decimalOf(value, significantDigits);
  return engineText(decimal, takesExponentForm(decimal));
}

QString fittedEngineNumberText(double value, int columns) {
  if (!std::isfinite(value)) return u' ' + nonFiniteText(value);
  for (int digits = kMostSignificantDigits; digits >= 1; --digits) {
    const Decimal decimal = decimalOf(value, digits);
    const QString text = engineText(decimal, takesExponentForm(decimal));
    if (text.size() <= columns) return text;
  }
  // Large magnitudes (ten integer digits and more) fit only in exponent form.
  for (int digits = kMostSignificantDigits; digits >= 1; --digits) {
    const QString text = engineText(decimalOf(value, digits), true);
    if (text.size() <= columns) return text;
  }
  return engineText(decimalOf(value, 1), true);
}

QString standardNumberText(double value) {
  if (!std::isfinite(value)) return nonFiniteText(value);
  const Decimal decimal = decimalOf(value, kMostSignificantDigits);
  const std::string body = takesExponentForm(decimal) ? exponentBody(decimal) : plainBody(decimal, true);
  return QString::fromStdString((decimal.negative ? "-" : "") + body);
}

double roundedToFifteenDigits(double value) {
  if (!std::isfinite(value)) return value;
  return parseNumberText(standardNumberText(value)).value_or(value);
}

bool hasNumberForm(QStringView text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  auto isDigit = [&](qsizetype at) { return at < n && text[at] >= u'0' && text[at] <= u'9'; };
  if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
  int digits = 0;
  while (isDigit(i)) ++i, ++digits;
  if (i < n && text[i] == u'.') {
    ++i;
    while (isDigit(i)) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == u'E' || text[i] == u'e')) {
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    if (!isDigit(i)) return false;
    while (isDigit(i)) ++i;
  }
  return i == n;
}

std::optional<double> parseNumberText(QStringView text) {
  if (!hasNumberForm(text)) return std::nullopt;
  std::string ascii = text.toString().toStdString();
  if (!ascii.empty() && ascii.front() == '+') ascii.erase(0, 1);
  double value = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<WorkFileField> workFileFieldOf(QStringView column) {
  if (column == u"高差" || column == u"等級(N√K)" || column == u"高程") return WorkFileField{10, 5};
  if (column == u"距離") return WorkFileField{10, 3};
  if (column == u"標準差") return WorkFileField{20, 10};
  return std::nullopt;
}

namespace {

// The text of the work-file field tarnex writes for `value`.
QString workFileText(double value, WorkFileField field) {
  QString text = text::formatNumber(value, QStringLiteral("0.") + QString(field.decimals, u'0'));
  const bool negative = text.startsWith(u'-');
  if (negative) text.remove(0, 1);
  if (text.startsWith(QStringLiteral("0."))) text.remove(0, 1);
  const bool zero = std::all_of(text.begin(), text.end(), [](QChar c) { return c == u'0' || c == u'.'; });
  return negative && !zero ? u'-' + text : text;
}

}  // namespace

QString unusableColumnValue(QStringView column, double value) {
  if (!std::isfinite(value)) return QStringLiteral("「%1」的數值超出數值能表示的範圍").arg(column);
  const std::optional<WorkFileField> field = workFileFieldOf(column);
  if (!field) return {};
  // tarnex reads the number as the engine input file writes it.
  const std::optional<double> written = parseNumberText(fittedEngineNumberText(value).trimmed());
  if (written && workFileText(*written, *field).size() <= field->width) return {};
  return QStringLiteral("「%1」的數值 %2 太大：平差程式工作檔 level.inp 的欄位 F%3.%4 容納不下")
      .arg(column, standardNumberText(value))
      .arg(field->width)
      .arg(field->decimals);
}

}  // namespace korvane::workbench
