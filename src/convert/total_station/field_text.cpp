#include "convert/total_station/field_text.h"

#include <QChar>

#include "text/number_field.h"
#include "text/number_text.h"

namespace korvane::convert::total_station {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

QStringView charactersFrom(QStringView text, qsizetype start, qsizetype length) {
  const qsizetype begin = start - 1;
  if (begin < 0 || begin >= text.size() || length <= 0) return {};
  return text.sliced(begin, std::min(length, text.size() - begin));
}

QStringView columns(QStringView text, qsizetype first, qsizetype last) {
  return charactersFrom(text, first, last - first + 1);
}

std::optional<double> wholeNumber(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  qsizetype i = begin;
  if (i < end && (text[i] == u'+' || text[i] == u'-')) ++i;
  bool digits = false;
  bool point = false;
  for (; i < end; ++i) {
    if (isDigit(text[i])) {
      digits = true;
    } else if (text[i] == u'.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < end && (text[i] == u'E' || text[i] == u'e')) {
    ++i;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) ++i;
    bool exponentDigits = false;
    while (i < end && isDigit(text[i])) {
      ++i;
      exponentDigits = true;
    }
    if (!exponentDigits) return std::nullopt;
  }
  if (i != end) return std::nullopt;
  return text::numericValue(text.sliced(begin, end - begin));
}

double reportValue(double value, const FieldPlace& place, QStringView text) {
  return text::usableNumber(value, place.line, place.name, text);
}

QString formatTextAsNumber(QStringView text, QStringView pattern, const FieldPlace& place) {
  if (const auto value = wholeNumber(text)) return text::formatNumber(reportValue(*value, place, text), pattern);
  return text.toString();
}

QString formatOptional(const std::optional<double>& value, QStringView pattern) {
  return value ? text::formatNumber(*value, pattern) : QString();
}

}  // namespace korvane::convert::total_station
