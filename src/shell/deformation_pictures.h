#pragma once
// The pictures of the deformation window: the heights of chosen benchmarks over the epochs as a
// chart, and a map of the benchmarks coloured by their velocity. The map places the benchmarks
// as the HTML report does (deformation/benchmark_map.h): a layout of the levelled distances of
// all epochs, the same every time for the same result and quick for any size of network.

#include <QChartView>
#include <QPointF>
#include <QWidget>
#include <vector>

#include "shell/deformation_columns.h"

namespace korvane::shell {

// Each benchmark's place in the unit square, from the sections in use of every epoch.
std::vector<QPointF> layoutBenchmarks(const deformation::DeformationResult& result);

// The colour of a velocity (mm/yr): red sinking, blue rising, paler the slower, full at `scale`.
QColor velocityColour(double velocity, double scale);

class HeightChart : public QChartView {
 public:
  explicit HeightChart(QWidget* parent = nullptr);

  // A line for each benchmark: its height change since the first epoch that holds it (mm)
  // against the epochs' dates.
  void showBenchmarks(const SharedDeformation& result, const std::vector<int>& benchmarks);
  void clear();
  int seriesCount() const;
};

class VelocityMap : public QWidget {
 public:
  explicit VelocityMap(QWidget* parent = nullptr);

  void showResult(const SharedDeformation& result);
  void clear();
  const std::vector<QPointF>& places() const { return places_; }
  // Draws the map into `area` (a printed page, `pixel` device units to a screen pixel).
  void paintOn(QPainter& painter, const QRectF& area, double pixel) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  SharedDeformation result_;
  std::vector<QPointF> places_;
};

}  // namespace korvane::shell
