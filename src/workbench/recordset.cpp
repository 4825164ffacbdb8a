#include "workbench/recordset.h"

#include <QMetaType>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include "common/failure.h"
#include "text/number_field.h"
#include "workbench/engine_numbers.h"
#include "workbench/lnet_database.h"

namespace korvane::workbench {
namespace {

// "select * from TABLE": the only statement whose rows can be changed.
QString selectedTable(const QString& statement) {
  static const QRegularExpression pattern(QStringLiteral(R"(^\s*select\s+\*\s+from\s+(\w+)\s*;?\s*$)"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = pattern.match(statement);
  return match.hasMatch() ? match.captured(1) : QString();
}

QString sqlQuoted(const QString& name) { return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"'; }

bool isNumberType(const QMetaType& type) {
  switch (type.id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
      return true;
    default:
      return false;
  }
}

// An empty value is an invalid or null variant; a text is never a null QString, which the
// database would store as an empty value.
bool isEmptyValue(const QVariant& value) { return !value.isValid() || value.isNull(); }

QVariant storedValue(const QVariant& value, bool number) {
  if (isEmptyValue(value)) return QVariant();
  if (number && isNumberType(value.metaType())) return value.toDouble();
  const QString text = value.toString();
  return text.isNull() ? QString("") : text;
}

QString failureText(const QSqlQuery& query) { return query.lastError().text(); }

}  // namespace

void Recordset::open(const QString& statement, Connection& connection) {
  if (open_) close();
  QSqlQuery query(connection.database());
  query.setForwardOnly(true);
  if (!query.exec(statement)) throw Failure(failureText(query));

  const QString table = selectedTable(statement);
  const QSqlRecord tableRecord = table.isEmpty() ? QSqlRecord() : connection.database().record(table);
  const QSqlRecord record = query.record();
  QStringList fields;
  QList<bool> numberFields;
  for (int i = 0; i < record.count(); ++i) {
    fields << record.fieldName(i);
    const int tableField = tableRecord.indexOf(record.fieldName(i));
    numberFields << isNumberType(tableField >= 0 ? tableRecord.field(tableField).metaType() : record.field(i).metaType());
  }
  QList<Row> rows;
  while (query.next()) {
    Row row;
    for (int i = 0; i < fields.size(); ++i) row.values << storedValue(query.value(i), numberFields[i]);
    rows << row;
  }
  if (query.lastError().isValid()) throw Failure(failureText(query));

  // The row identities, in the same order as the rows of the statement.
  bool updatable = !table.isEmpty();
  if (updatable) {
    QSqlQuery identities(connection.database());
    identities.setForwardOnly(true);
    updatable = identities.exec(QStringLiteral("select rowid from %1").arg(sqlQuoted(table)));
    int at = 0;
    while (updatable && identities.next()) {
      if (at >= rows.size()) {
        updatable = false;
        break;
      }
      rows[at++].rowId = identities.value(0).toLongLong();
    }
    updatable = updatable && at == rows.size();
  }

  beginResetModel();
  connection_ = &connection;
  statement_ = statement;
  table_ = updatable ? table : QString();
  fields_ = fields;
  numberFields_ = numberFields;
  rows_ = rows;
  open_ = true;
  endResetModel();
}

void Recordset::close() {
  beginResetModel();
  open_ = false;
  connection_ = nullptr;
  table_.clear();
  rows_.clear();
  endResetModel();
}

void Recordset::requireUpdatable() const {
  if (!open_) throw Failure(QStringLiteral("資料集尚未開啟"));
  if (table_.isEmpty()) throw Failure(QStringLiteral("資料集「%1」不能修改").arg(statement_));
}

QString Recordset::quotedField(int column) const { return sqlQuoted(fields_[column]); }

QVariant Recordset::valueFromText(int column, const QString& text) const {
  if (text == kEmptyValueWord) return QVariant();
  if (!isNumberField(column)) return text.isNull() ? QString("") : text;
  if (text.isEmpty()) return QVariant();
  const QString field = fields_.value(column);
  const std::optional<double> number = parseNumberText(text);
  if (!number && hasNumberForm(text)) {
    throw Failure(QStringLiteral("「%1」欄的「%2」超出數值能表示的範圍").arg(field, text::quotedFieldText(text)));
  }
  if (!number) throw Failure(QStringLiteral("「%1」欄要填數字，「%2」不是數字").arg(field, text));
  if (const QString unusable = unusableColumnValue(field, *number); !unusable.isEmpty()) throw Failure(unusable);
  return *number;
}

void Recordset::addNew(const QVariantList& values) {
  requireUpdatable();
  QVariantList row;
  for (int i = 0; i < fieldCount(); ++i) row << storedValue(values.value(i), isNumberField(i));
  QStringList marks;
  for (int i = 0; i < fieldCount(); ++i) marks << QStringLiteral("?");
  QSqlQuery query(connection_->database());
  const QString statement =
      QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(sqlQuoted(table_), marks.join(QStringLiteral(",")));
  if (!query.prepare(statement)) throw Failure(failureText(query));
  for (const QVariant& value : row) query.addBindValue(value);
  if (!query.exec()) throw Failure(failureText(query));
  // The new-row line becomes the new row and a new-row line follows it, so a grid editing that
  // line stays on the row it made.
  const int at = recordCount();
  beginInsertRows(QModelIndex(), at + 1, at + 1);
  rows_ << Row{query.lastInsertId().toLongLong(), row};
  endInsertRows();
  emit dataChanged(index(at, 0), index(at, fieldCount() - 1));
  emit headerDataChanged(Qt::Vertical, at, at + 1);
}

void Recordset::update(int row, int column, const QVariant& value) {
  requireUpdatable();
  const QVariant stored = storedValue(value, isNumberField(column));
  QSqlQuery query(connection_->database());
  const QString statement =
      QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(sqlQuoted(table_), quotedField(column));
  if (!query.prepare(statement)) throw Failure(failureText(query));
  query.addBindValue(stored);
  query.addBindValue(rows_[row].rowId);
  if (!query.exec()) throw Failure(failureText(query));
  rows_[row].values[column] = stored;
  emit dataChanged(index(row, column), index(row, column));
}

void Recordset::remove(int row) {
  requireUpdatable();
  QSqlQuery query(connection_->database());
  if (!query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(sqlQuoted(table_)))) {
    throw Failure(failureText(query));
  }
  query.addBindValue(rows_[row].rowId);
  if (!query.exec()) throw Failure(failureText(query));
  beginRemoveRows(QModelIndex(), row, row);
  rows_.removeAt(row);
  endRemoveRows();
}

QString Recordset::displayText(int row, int column) const {
  const QVariant stored = value(row, column);
  if (isEmptyValue(stored)) return QString();
  if (isNumberField(column) && isNumberType(stored.metaType())) return standardNumberText(stored.toDouble());
  return stored.toString();
}

int Recordset::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !open_) return 0;
  return recordCount() + (updatable() ? 1 : 0);
}

int Recordset::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : fieldCount(); }

QVariant Recordset::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
  if (index.row() >= recordCount()) return QString();
  return displayText(index.row(), index.column());
}

QVariant Recordset::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Horizontal) return fields_.value(section);
  return section < recordCount() ? QString::number(section + 1) : QStringLiteral("*");
}

Qt::ItemFlags Recordset::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  if (updatable()) flags |= Qt::ItemIsEditable;
  return flags;
}

bool Recordset::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || !updatable()) return false;
  const int row = index.row();
  const int column = index.column();
  try {
    const QVariant stored = valueFromText(column, value.toString());
    if (row >= recordCount()) {
      if (value.toString().isEmpty()) return false;  // nothing typed on the new-row line: no row
      QVariantList values;
      for (int i = 0; i < fieldCount(); ++i) values << (i == column ? stored : QVariant());
      addNew(values);
    } else {
      update(row, column, stored);
    }
    return true;
  } catch (const Failure& failure) {
    if (onEditFailure) onEditFailure(failure.description());
    return false;
  }
}

bool Recordset::removeRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || row < 0 || count <= 0 || row + count > recordCount()) return false;
  try {
    for (int i = row + count - 1; i >= row; --i) remove(i);
    return true;
  } catch (const Failure& failure) {
    if (onEditFailure) onEditFailure(failure.description());
    return false;
  }
}

}  // namespace korvane::workbench
