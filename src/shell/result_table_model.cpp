#include "shell/result_table_model.h"

#include <QBrush>
#include <QFont>
#include <limits>

#include "shell/analysis_words.h"

namespace korvane::shell {

void ResultTableModel::reset(int rows, std::vector<ResultColumn> columns, std::function<bool(int row)> rowFails,
                             std::function<QString(int row)> rowNote) {
  beginResetModel();
  rows_ = rows;
  columns_ = std::move(columns);
  rowFails_ = std::move(rowFails);
  rowNote_ = std::move(rowNote);
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
    case Qt::FontRole:
      if (rowNote_ && !rowNote_(row).isEmpty()) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::ToolTipRole:
      if (rowNote_ && !rowNote_(row).isEmpty()) return rowNote_(row);
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
  if (role == Qt::InitialSortOrderRole && columns_[section].largestFirst) return int(Qt::DescendingOrder);
  return {};
}

void ResultTableProxy::setOnlyFailing(bool only) {
  if (only == onlyFailing_) return;
  onlyFailing_ = only;
  invalidateRowsFilter();
}

void ResultTableProxy::setFirstOrder(std::vector<int> place) {
  place_ = std::move(place);
  inFirstOrder_ = !place_.empty();
  QSortFilterProxyModel::sort(-1);
  if (inFirstOrder_) QSortFilterProxyModel::sort(0, Qt::AscendingOrder);
}

void ResultTableProxy::sort(int column, Qt::SortOrder order) {
  if (inFirstOrder_) {
    // (Sorting again by the column the first order sorts by would otherwise be taken as done.)
    inFirstOrder_ = false;
    QSortFilterProxyModel::sort(-1);
  }
  QSortFilterProxyModel::sort(column, order);
}

bool ResultTableProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  if (inFirstOrder_ && left.row() < int(place_.size()) && right.row() < int(place_.size())) {
    return place_[left.row()] < place_[right.row()];
  }
  return QSortFilterProxyModel::lessThan(left, right);
}

bool ResultTableProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  return !onlyFailing_ || sourceModel()->index(sourceRow, 0, sourceParent).data(kFailsRole).toBool();
}

QVariant sortNumber(std::optional<double> value) {
  return value ? *value : -std::numeric_limits<double>::max();
}

}  // namespace korvane::shell
