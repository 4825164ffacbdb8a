#include "workbench/lnet_database.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "common/failure.h"
#include "common/program_folder.h"

namespace korvane::workbench {
namespace {

QString quoted(const QString& name) { return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"'; }

// Text columns take names; number columns take numbers or nothing, so a text that is no number
// is refused by the database itself.
QString columnDefinition(const QString& column, bool number) {
  if (!number) return quoted(column) + QStringLiteral(" TEXT");
  return QStringLiteral("%1 REAL CHECK (typeof(%1) IN ('real', 'integer', 'null'))").arg(quoted(column));
}

QString createStatement(const QString& table, const QStringList& columns, int firstNumberColumn) {
  QStringList definitions;
  for (int i = 0; i < columns.size(); ++i) definitions << columnDefinition(columns[i], i >= firstNumberColumn);
  return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)").arg(table, definitions.join(QStringLiteral(", ")));
}

QString nextConnectionName() {
  static QAtomicInteger<int> counter;
  return QStringLiteral("korvane-lnet-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString cannotOpen(const QString& path, const QString& cause) {
  return QStringLiteral("無法開啟平差資料庫 %1：%2").arg(path, cause);
}

}  // namespace

QString defaultDatabasePath() { return writableFile(kDatabaseFileName); }

Connection::Connection(const QString& path) : path_(path), name_(nextConnectionName()) {
  {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    database.setDatabaseName(path);
    if (QFileInfo(path).isDir()) {
      database = QSqlDatabase();
      QSqlDatabase::removeDatabase(name_);
      throw Failure(cannotOpen(path, QStringLiteral("這是一個資料夾")));
    }
    if (!database.open()) {
      const QString cause = database.lastError().text();
      database = QSqlDatabase();
      QSqlDatabase::removeDatabase(name_);
      throw Failure(cannotOpen(path, cause));
    }
  }
  try {
    prepareTables();
  } catch (const Failure& failure) {
    close();
    throw Failure(cannotOpen(path, failure.description()));
  }
}

Connection::~Connection() { close(); }

bool Connection::isOpen() const { return QSqlDatabase::contains(name_) && database().isOpen(); }

void Connection::close() {
  if (!QSqlDatabase::contains(name_)) return;
  {
    QSqlDatabase database = QSqlDatabase::database(name_, false);
    database.close();
  }
  QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase Connection::database() const { return QSqlDatabase::database(name_, false); }

void Connection::execute(const QString& statement, const QVariantList& values) {
  QSqlQuery query(database());
  if (!query.prepare(statement)) throw Failure(query.lastError().text());
  for (const QVariant& value : values) query.addBindValue(value);
  if (!query.exec()) throw Failure(query.lastError().text());
}

QString Connection::projectName() {
  QSqlQuery query(database());
  if (!query.exec(QStringLiteral("SELECT name FROM %1 LIMIT 1").arg(kProjectTable))) {
    throw Failure(query.lastError().text());
  }
  return query.next() ? query.value(0).toString() : QString();
}

void Connection::storeProjectName(const QString& name) {
  Transaction transaction(*this);
  execute(QStringLiteral("DELETE FROM %1").arg(kProjectTable));
  execute(QStringLiteral("INSERT INTO %1 VALUES (?)").arg(kProjectTable), {name});
  transaction.commit();
}

void Connection::prepareTables() {
  execute(createStatement(kObservationTable, kObservationColumns, 2));
  execute(createStatement(kKnownPointTable, kKnownPointColumns, 1));
  execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name TEXT)").arg(kProjectTable));
  for (const auto& [table, columns] : {std::pair{kObservationTable, kObservationColumns},
                                       std::pair{kKnownPointTable, kKnownPointColumns}}) {
    const QSqlRecord record = database().record(table);
    QStringList found;
    for (int i = 0; i < record.count(); ++i) found << record.fieldName(i);
    if (found != columns) {
      throw Failure(QStringLiteral("資料表 %1 的欄位是 %2，應為 %3")
                        .arg(table, found.join(QStringLiteral("、")), columns.join(QStringLiteral("、"))));
    }
  }
}

Connection::Transaction::Transaction(Connection& connection) : connection_(connection) {
  QSqlDatabase database = connection_.database();
  if (!database.transaction()) throw Failure(QStringLiteral("無法開始交易：%1").arg(database.lastError().text()));
  open_ = true;
}

Connection::Transaction::~Transaction() { rollback(); }

void Connection::Transaction::commit() {
  if (!open_) return;
  QSqlDatabase database = connection_.database();
  if (!database.commit()) {
    const QString cause = database.lastError().text();
    rollback();
    throw Failure(QStringLiteral("無法完成交易：%1").arg(cause));
  }
  open_ = false;
}

void Connection::Transaction::rollback() {
  if (!open_) return;
  open_ = false;
  connection_.database().rollback();
}

}  // namespace korvane::workbench
