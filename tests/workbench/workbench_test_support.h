#pragma once
// Helpers of the workbench tests: a fresh database in a temporary folder, rows as texts, files
// as bytes, and DL-100C records as the level writes them.

#include <QByteArray>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "workbench/lnet_database.h"
#include "workbench/recordset.h"

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '[' << list.join(QStringLiteral(" | ")).toStdString() << ']';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) { *os << '"' << bytes.toStdString() << '"'; }

namespace korvane::testing::workbench {

using korvane::workbench::Connection;
using korvane::workbench::Recordset;

// The rows of a table as the database lists them for "select * from TABLE", each row its
// values joined by "|" (numbers in their shortest text, an empty value as "<null>").
inline QStringList tableRows(Connection& connection, const QString& table) {
  QSqlQuery query(connection.database());
  QStringList rows;
  if (!query.exec(QStringLiteral("select * from ") + table)) return {QStringLiteral("<error>")};
  while (query.next()) {
    QStringList values;
    for (int i = 0; i < query.record().count(); ++i) {
      const QVariant value = query.value(i);
      values << (value.isNull() ? QStringLiteral("<null>") : value.toString());
    }
    rows << values.join(u'|');
  }
  return rows;
}

struct Database {
  QTemporaryDir folder;
  QString path = folder.filePath(QStringLiteral("Lnet.mdb"));
  std::unique_ptr<Connection> connection = std::make_unique<Connection>(path);
  Recordset observations;
  Recordset knownPoints;

  Database() { reopen(); }
  void reopen() {
    observations.open(korvane::workbench::kSelectObservations, *connection);
    knownPoints.open(korvane::workbench::kSelectKnownPoints, *connection);
  }
  QStringList dat() { return tableRows(*connection, QStringLiteral("dat")); }
  QStringList cood() { return tableRows(*connection, QStringLiteral("cood")); }
  QString file(const QString& name) const { return folder.filePath(name); }
};

// A database file made by another program: the statements run on a new SQLite file, without
// the tables and checks the workbench creates.
inline void writeHandMadeDatabase(const QString& path, const QStringList& statements) {
  const QString name = QStringLiteral("hand-made");
  {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    database.setDatabaseName(path);
    database.open();
    QSqlQuery query(database);
    for (const QString& statement : statements) query.exec(statement);
    database.close();
  }
  QSqlDatabase::removeDatabase(name);
}

// An older file: the two tables with their columns, without the number checks.
inline const QStringList kOlderTables = {
    QStringLiteral("CREATE TABLE dat (\"起點\" TEXT, \"終點\" TEXT, \"高差\" REAL, \"距離\" REAL, \"等級(N√K)\" REAL)"),
    QStringLiteral("CREATE TABLE cood (\"點號\" TEXT, \"高程\" REAL, \"標準差\" REAL)")};

inline QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// DL-100C records: "kind,status,f1,f2,...," + CR LF.
namespace dl100c {

inline const QString kHeader = QStringLiteral("A,01,Z,\r\n");
inline const QString kEnd = QStringLiteral("Z,&,\r\n");

inline QString record(const QString& kind, const QStringList& fields) {
  QString line = kind + QStringLiteral(",00,");
  for (const QString& field : fields) line += field + u',';
  return line + QStringLiteral("\r\n");
}

// "b": f1 job, f2 start point, f3 known height (0.00001 m).
inline QString lineStart(const QString& point, const QString& height = QStringLiteral("+01000000")) {
  return record(QStringLiteral("b"), {QStringLiteral("JOB1"), point, height});
}

// A sighting, which the import passes over.
inline QString sight(const QString& kind, const QString& name) {
  return record(kind, {QStringLiteral("+00145230"), QStringLiteral("+0025340"), QStringLiteral("+00000000"),
                       QStringLiteral("1"), QStringLiteral("0"), name, QStringLiteral("08:15"), QString()});
}

// "v" or "w": f2 point, f4 section height difference (0.00001 m), f6 section distance (mm).
inline QString sectionEnd(const QString& kind, const QString& point, const QString& difference,
                          const QString& distance) {
  return record(kind, {QStringLiteral("1"), point, QStringLiteral("2"), difference, QStringLiteral("+00000000"),
                       distance, QStringLiteral("+0100000"), QStringLiteral("+01000000")});
}

}  // namespace dl100c

}  // namespace korvane::testing::workbench
