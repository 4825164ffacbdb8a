#pragma once
// A recordset of the adjustment database: the rows a select statement lists, kept in the order
// the database gives them, updatable (cells, new rows, deleted rows go to the database at once)
// and shown by a grid as a table model.
//
// A recordset opened on "select * from TABLE" knows the table and can store changes; the grid
// shows one more line after the last row, where typing a value adds a new row.

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace korvane::workbench {

class Connection;

// The word an engine input file holds for an empty value.
inline const QString kEmptyValueWord = QStringLiteral("Null");

class Recordset : public QAbstractTableModel {
 public:
  Recordset() = default;

  // Opens the recordset on the statement through the connection; an open recordset is closed
  // first. Throws Failure with the database's description; the recordset then stays closed.
  void open(const QString& statement, Connection& connection);
  void close();
  bool isOpen() const { return open_; }
  // The table the statement selects from; empty when the statement is no "select * from TABLE".
  const QString& table() const { return table_; }
  const QString& statement() const { return statement_; }
  // The connection the recordset was opened through; null while closed.
  Connection* connection() const { return connection_; }

  int recordCount() const { return static_cast<int>(rows_.size()); }
  int fieldCount() const { return static_cast<int>(fields_.size()); }
  const QStringList& fieldNames() const { return fields_; }
  bool isNumberField(int column) const { return numberFields_.value(column); }
  // A stored value: a QString for text fields, a double for number fields, a null QVariant for
  // an empty value.
  QVariant value(int row, int column) const { return rows_[row].values.value(column); }

  // The value a text gives a field: the text itself for a text field, its number for a number
  // field (the empty text gives an empty number); the word "Null" gives an empty value in any
  // field. Throws Failure for a number field whose text is no number, is beyond the range of a
  // double, or does not fit the field of tarnex's work file that the column fills
  // (unusableColumnValue).
  QVariant valueFromText(int column, const QString& text) const;

  // Adds a row with its values by field (missing ones empty) and stores it at once.
  void addNew(const QVariantList& values);
  void update(int row, int column, const QVariant& value);
  void remove(int row);

  // Called with the description when an edit made through the grid is refused.
  std::function<void(const QString& description)> onEditFailure;

  // QAbstractTableModel
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

  // The text a grid shows for a stored value.
  QString displayText(int row, int column) const;

 private:
  struct Row {
    qint64 rowId = -1;
    QVariantList values;
  };
  bool updatable() const { return open_ && !table_.isEmpty(); }
  void requireUpdatable() const;
  QString quotedField(int column) const;

  Connection* connection_ = nullptr;
  bool open_ = false;
  QString statement_;
  QString table_;
  QStringList fields_;
  QList<bool> numberFields_;
  QList<Row> rows_;
};

}  // namespace korvane::workbench
