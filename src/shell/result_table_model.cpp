#include "shell/result_table_model.h"

#include <QBrush>
#include <limits>

#include "shell/analysis_words.h"

namespace korvane::shell {

void ResultTableModel::reset(int rows, std::vector<ResultColumn> columns, std::function<bool(int row)> rowFails) {
  beginResetModel();
  rows_ = rows;
  columns_ = std::move(columns);
  rowFails_ = std::move(rowFails);
  endResetModel();
}

int ResultTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ResultTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(columns_.size());
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= int(columns_.size())) return {};
  const ResultColumn& column = columns_[index.column()];
  const int row = index.row();
  switch (role) {
    case Qt::DisplayRole:
      return column.text(row);
    case kSortRole:
      return column.sortKey ? column.sortKey(row) : QVariant(column.text(row));
    case Qt::TextAlignmentRole:
      return int(Qt::AlignVCenter | (column.number ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::ForegroundRole:
      if (column.verdict) {
        if (const std::optional<bool> passes = column.verdict(row)) return QBrush(*passes ? passColour() : failColour());
      }
      return {};
    case kFailsRole:
      return rowFails_ && rowFails_(row);
    case Qt::BackgroundRole:
      if (rowFails_ && rowFails_(row)) return QBrush(failBackground());
      return {};
    default:
      return {};
  }
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
  if (section < 0 || section >= int(columns_.size())) return {};
  if (role == Qt::DisplayRole) return columns_[section].header;
  if (role == Qt::ToolTipRole && !columns_[section].toolTip.isEmpty()) return columns_[section].toolTip;
  return {};
}

void ResultTableProxy::setOnlyFailing(bool only) {
  if (only == onlyFailing_) return;
  onlyFailing_ = only;
  invalidateRowsFilter();
}

bool ResultTableProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  return !onlyFailing_ || sourceModel()->index(sourceRow, 0, sourceParent).data(kFailsRole).toBool();
}

QVariant sortNumber(std::optional<double> value) {
  return value ? *value : -std::numeric_limits<double>::max();
}

}  // namespace korvane::shell
