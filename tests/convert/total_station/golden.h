#pragma once
// Expected reports kept as files under golden/: UTF-8, one report line per file line. The
// reports end their lines with CR LF and have no line break after the last line.

#include <QFile>
#include <QString>

namespace korvane::testing {

inline QString golden(const char* name) {
  QFile file(QStringLiteral(TOTAL_STATION_GOLDEN_DIR "/") + QString::fromLatin1(name));
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("<missing golden file %1>").arg(file.fileName());
  QString text = QString::fromUtf8(file.readAll());
  if (text.endsWith(u'\n')) text.chop(1);
  text.replace(u'\n', QStringLiteral("\r\n"));
  return text;
}

}  // namespace korvane::testing
