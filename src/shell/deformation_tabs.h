#pragma once
// The tabs of the deformation window: 各期檢核 (each epoch's checks and the agreement of their
// variances), 位移 (the displacements of one comparison or of all), 速度 (every benchmark's
// velocity, sortable, the moving ones marked) and 圖 (the heights of the benchmarks chosen in
// 速度 over time, and the map of velocities).

#include <QTabWidget>
#include <functional>
#include <memory>
#include <vector>

#include "shell/deformation_columns.h"

class QComboBox;
class QLabel;
class QPagedPaintDevice;
class QTableView;

namespace korvane::shell {

class HeightChart;
class VelocityMap;

class DeformationTabs : public QTabWidget {
 public:
  enum Tab { Epochs, Displacements, Velocities, Pictures };

  explicit DeformationTabs(QWidget* parent = nullptr);
  ~DeformationTabs() override;

  void showResult(const SharedDeformation& result);
  void clear();

  // The comparison whose displacements are listed; -1: all of them.
  void showComparison(int comparison);
  // The benchmarks the chart shows: those of the rows selected in 速度, else the moving ones.
  std::vector<int> chartedBenchmarks() const { return charted_; }

  HeightChart& chart() { return *chart_; }
  VelocityMap& map() { return *map_; }

  // The current tab on pages, under `title`.
  void printCurrent(QPagedPaintDevice& device, const QString& title) const;

 private:
  struct Table;
  Table& addTable(const char* name, QWidget* page);
  void fill(Table& table, int rows, std::vector<ResultColumn> columns, std::function<bool(int)> rowFails);
  void chartSelection();

  SharedDeformation result_;
  std::vector<std::unique_ptr<Table>> tables_;
  Table* epochs_ = nullptr;
  Table* displacements_ = nullptr;
  Table* velocities_ = nullptr;
  QLabel* epochText_ = nullptr;
  QLabel* comparisonText_ = nullptr;
  QLabel* velocityText_ = nullptr;
  QComboBox* comparison_ = nullptr;
  HeightChart* chart_ = nullptr;
  VelocityMap* map_ = nullptr;
  std::vector<int> charted_;
};

}  // namespace korvane::shell
