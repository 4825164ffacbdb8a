#include "workbench/analysis_database.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "input_error.h"
#include "workbench/lnet_database.h"

namespace korvane::workbench {
namespace {

using analysis::InputError;

// How often a long reading asks whether it should stop.
constexpr long kRowsBetweenPauses = 4096;

std::string utf8(const QString& text) { return text.toStdString(); }

QString nextConnectionName() {
  static QAtomicInteger<int> counter;
  return QStringLiteral("korvane-analyse-%1").arg(counter.fetchAndAddRelaxed(1));
}

class ReadOnlyDatabase {
 public:
  explicit ReadOnlyDatabase(const QString& path) : name_(nextConnectionName()) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) throw InputError("cannot open the database " + utf8(path) + ": no such file");
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    database.setDatabaseName(path);
    database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!database.open()) {
      const std::string cause = utf8(database.lastError().text());
      database = QSqlDatabase();
      QSqlDatabase::removeDatabase(name_);
      throw InputError("cannot open the database " + utf8(path) + ": " + cause);
    }
  }
  ~ReadOnlyDatabase() {
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
  }
  ReadOnlyDatabase(const ReadOnlyDatabase&) = delete;
  ReadOnlyDatabase& operator=(const ReadOnlyDatabase&) = delete;

  QSqlDatabase database() const { return QSqlDatabase::database(name_, false); }

 private:
  QString name_;
};

// The rows of one table, each checked to have the table's columns.
class TableReader {
 public:
  TableReader(const ReadOnlyDatabase& database, const QString& table, const QStringList& columns, std::string file)
      : query_(database.database()), table_(table), columns_(columns), file_(std::move(file)) {
    if (!query_.exec(QStringLiteral("select * from ") + table)) {
      throw InputError(file_ + ": cannot read the table " + utf8(table) + ": " + utf8(query_.lastError().text()));
    }
    if (query_.record().count() < columns.size()) {
      throw InputError(file_ + ": the table " + utf8(table) + " has " + std::to_string(query_.record().count()) +
                       " columns; it needs " + utf8(columns.join(QStringLiteral(", "))));
    }
  }
  bool next() {
    if (!query_.next()) return false;
    ++row_;
    return true;
  }
  std::string place() const { return file_ + ", table " + utf8(table_) + ", row "; }
  std::string origin() const { return place() + std::to_string(row_); }
  long row() const { return row_; }
  std::string name(int column) const {
    const QVariant value = query_.value(column);
    return value.isNull() ? std::string() : utf8(value.toString().trimmed());
  }
  double number(int column) const {
    const QVariant value = query_.value(column);
    if (value.isNull()) throw InputError(origin() + ", field " + utf8(columns_[column]) + ": the field is empty");
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) {
      throw InputError(origin() + ", field " + utf8(columns_[column]) + ": \"" + utf8(value.toString()) +
                       "\" is not a number");
    }
    return number;
  }

 private:
  QSqlQuery query_;
  QString table_;
  QStringList columns_;
  std::string file_;
  long row_ = 0;
};

}  // namespace

analysis::NetworkRows readAnalysisDatabase(const QString& path, const std::function<void()>& pause) {
  const std::string file = utf8(path);
  ReadOnlyDatabase database(path);
  analysis::NetworkRows rows;
  rows.sourceName = file;
  const QStringList& o = kObservationColumns;
  const QStringList& k = kKnownPointColumns;
  rows.fields = {utf8(o[0]), utf8(o[1]), utf8(o[2]), utf8(o[3]), utf8(o[4]), utf8(k[0]), utf8(k[1]), utf8(k[2])};
  {
    TableReader observations(database, kObservationTable, o, file);
    rows.observationPlace = observations.place();
    while (observations.next()) {
      if (pause && observations.row() % kRowsBetweenPauses == 0) pause();
      rows.observations.push_back({observations.name(0), observations.name(1), observations.number(2),
                                   observations.number(3), observations.number(4), observations.row()});
    }
  }
  {
    TableReader known(database, kKnownPointTable, k, file);
    rows.knownPointPlace = known.place();
    while (known.next()) rows.knownPoints.push_back({known.name(0), known.number(1), known.number(2), known.row()});
  }
  return rows;
}

}  // namespace korvane::workbench
