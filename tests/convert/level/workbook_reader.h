#pragma once
// Reads a workbook back with openpyxl under /usr/bin/python3, a reader independent of the writer.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QStringList>

namespace korvane::testing {

struct WorkbookContents {
  bool read = false;
  QString error;
  QStringList sheets;
  // Per row (from 1): "column:value" in column order; a number is written "#value".
  QMap<int, QStringList> rows;

  QStringList row(int row) const { return rows.value(row); }
  int lastRow() const { return rows.isEmpty() ? 0 : rows.lastKey(); }
};

inline WorkbookContents readWorkbook(const QString& path) {
  WorkbookContents contents;
  QProcess python;
  python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(READ_WORKBOOK_SCRIPT), path});
  if (!python.waitForFinished(60000) || python.exitCode() != 0) {
    contents.error = QString::fromUtf8(python.readAllStandardError());
    return contents;
  }
  const QJsonObject json = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
  for (const QJsonValue& sheet : json.value("sheets").toArray()) contents.sheets << sheet.toString();
  for (const QJsonValue& cell : json.value("cells").toArray()) {  // [row, column, "n" or "s", value], in order
    const QJsonArray c = cell.toArray();
    const QString value = c[2].toString() == "n" ? "#" + QString::number(c[3].toDouble(), 'g', 15) : c[3].toString();
    contents.rows[c[0].toInt()] << QString::number(c[1].toInt()) + ":" + value;
  }
  contents.read = true;
  return contents;
}

}  // namespace korvane::testing
