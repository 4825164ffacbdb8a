#pragma once
// Removing leading and trailing spaces: only the space character, never tabs, CR or LF,
// which instrument data keeps as they stand.

#include <QString>
#include <QStringView>

namespace korvane::text {

inline QStringView trimSpacesView(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  return text.sliced(begin, end - begin);
}

inline QString trimSpaces(QStringView text) { return trimSpacesView(text).toString(); }

}  // namespace korvane::text
