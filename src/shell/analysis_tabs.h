#pragma once
// The tabs of the network analysis window: 檢核 (parts and closures), 成果 (heights and the
// global test), 觀測 (every observation's tests, sortable, and the snooping steps in order) and
// 網形圖 (the picture). The observations list the flagged ones first, the most likely gross
// error at the top. A point or a line picked in the picture selects its row in the tables,
// and a row selected in a table is marked in the picture.

#include <QTabWidget>
#include <functional>
#include <memory>

#include "shell/analysis_columns.h"
#include "shell/network_picture.h"

class QLabel;
class QPagedPaintDevice;
class QSortFilterProxyModel;
class QTableView;

namespace korvane::shell {

class AnalysisTabs : public QTabWidget {
 public:
  enum Tab { Checks, Results, Observations, Picture };

  explicit AnalysisTabs(QWidget* parent = nullptr);
  ~AnalysisTabs() override;

  void showResult(const SharedResult& result);
  void clear();

  void selectPoint(int point);
  void selectObservation(int observation);
  // The point (observation) of the result whose row is current, or -1.
  int selectedPoint() const;
  int selectedObservation() const;

  NetworkPicture& picture() { return *picture_; }
  // The text that describes the selection (for the window's status line).
  std::function<void(const QString& text)> onSelectionText;

  // The current tab on pages, under `title`.
  void printCurrent(QPagedPaintDevice& device, const QString& title) const;

 private:
  struct Table;
  // `onlyFailing`: the words of the choice to list only the rows that fail, or empty.
  Table& addTable(const char* name, QWidget* page, const QString& onlyFailing = {});
  // `rowNote` marks a row (see ResultTableModel); `firstOrder` the order until a header is clicked.
  void fill(Table& table, int rows, std::vector<ResultColumn> columns, std::function<bool(int)> rowFails,
            std::function<QString(int)> rowNote = {}, std::vector<int> firstOrder = {});
  static int sourceRow(const Table& table);
  static void selectSourceRow(Table& table, int row);
  void describeSelection();

  SharedResult result_;
  std::vector<std::unique_ptr<Table>> tables_;
  Table* parts_ = nullptr;
  Table* closures_ = nullptr;
  Table* points_ = nullptr;
  Table* observations_ = nullptr;
  Table* snooping_ = nullptr;
  QLabel* checkText_ = nullptr;
  QLabel* globalText_ = nullptr;
  QLabel* testText_ = nullptr;
  QLabel* snoopingCaption_ = nullptr;
  NetworkPicture* picture_ = nullptr;
};

}  // namespace korvane::shell
