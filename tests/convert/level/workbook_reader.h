#pragma once
// Reads a workbook back with openpyxl under /usr/bin/python3, a reader independent of the writer.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace korvane::testing {

struct WorkbookContents {
  bool read = false;
  QString error;
  QStringList sheets;
  // (row, column) counted from 1 -> a double for a number, a QString for a text.
  QMap<QPair<int, int>, QVariant> cells;

  QVariant at(int row, int column) const { return cells.value({row, column}); }
  bool isNumber(int row, int column) const { return at(row, column).typeId() == QMetaType::Double; }
  QString text(int row, int column) const {
    const QVariant value = at(row, column);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
  }
  // The cells of one row, "column:value" in column order, numbers with a leading '#'.
  QStringList row(int row) const {
    QStringList list;
    for (auto it = cells.begin(); it != cells.end(); ++it) {
      if (it.key().first != row) continue;
      const QString value = it.value().typeId() == QMetaType::Double ? "#" + QString::number(it.value().toDouble(), 'g', 15)
                                                                       : it.value().toString();
      list << QString::number(it.key().second) + ":" + value;
    }
    return list;
  }
  int lastRow() const { return cells.isEmpty() ? 0 : cells.lastKey().first; }
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
  for (const QJsonValue& cell : json.value("cells").toArray()) {
    const QJsonArray c = cell.toArray();
    const QVariant value = c[2].toString() == "n" ? QVariant(c[3].toDouble()) : QVariant(c[3].toString());
    contents.cells.insert({c[0].toInt(), c[1].toInt()}, value);
  }
  contents.read = true;
  return contents;
}

}  // namespace korvane::testing
