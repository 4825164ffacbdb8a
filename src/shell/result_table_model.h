#pragma once
// A table of the analysis result for a grid: each column says how it shows a row, how the row
// sorts in it and, for the columns that judge, whether the row passes. A failing row is tinted
// over its whole width; the judging column carries the mark (symbol and word) in its colour.

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <functional>
#include <optional>
#include <vector>

namespace korvane::shell {

// The role a sorting proxy sorts by: a number where the column holds one.
inline constexpr int kSortRole = Qt::UserRole + 1;
// Whether the row fails (a bool), for a proxy that lists only those.
inline constexpr int kFailsRole = Qt::UserRole + 2;

struct ResultColumn {
  QString header;
  std::function<QString(int row)> text;
  // How the row sorts; empty: by its text.
  std::function<QVariant(int row)> sortKey = {};
  // For a column that judges: whether the row passes (nothing: neither).
  std::function<std::optional<bool>(int row)> verdict = {};
  bool number = false;  // right-aligned
  QString toolTip = {};
  // The first click on its header lists the largest values first (a test's statistic).
  bool largestFirst = false;
};

class ResultTableModel : public QAbstractTableModel {
 public:
  ResultTableModel() = default;

  // Shows `rows` rows in the columns; `rowFails` tints a row (may be empty). A row with a
  // `rowNote` stands out in bold, the note as its tooltip.
  void reset(int rows, std::vector<ResultColumn> columns, std::function<bool(int row)> rowFails = {},
             std::function<QString(int row)> rowNote = {});

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  int rows_ = 0;
  std::vector<ResultColumn> columns_;
  std::function<bool(int row)> rowFails_;
  std::function<QString(int row)> rowNote_;
};

// The rows of a result table in the order of the column the user sorts by, all of them or only
// those that fail. Until a header is clicked they stand in a first order of the table's own.
class ResultTableProxy : public QSortFilterProxyModel {
 public:
  void setOnlyFailing(bool only);
  bool onlyFailing() const { return onlyFailing_; }
  // The first order: the model's row r at place place[r]; empty: the model's order.
  void setFirstOrder(std::vector<int> place);
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

 private:
  bool onlyFailing_ = false;
  std::vector<int> place_;
  bool inFirstOrder_ = false;
};

// A sort key for a value that may be missing: missing values sort before every number.
QVariant sortNumber(std::optional<double> value);

}  // namespace korvane::shell
