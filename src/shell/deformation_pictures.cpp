#include "shell/deformation_pictures.h"

#include <QDate>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>

#include "benchmark_map.h"
#include "shell/analysis_words.h"

namespace korvane::shell {
namespace {

QDateTime dateOf(const deformation::EpochResult& epoch) {
  return QDate::fromString(QString::fromStdString(epoch.date), QStringLiteral("yyyy-MM-dd")).startOfDay(Qt::UTC);
}

}  // namespace

std::vector<QPointF> layoutBenchmarks(const deformation::DeformationResult& result) {
  // The report's layout (pivot multidimensional scaling of the levelled distances), north up.
  const deformation::MapPlaces layout = deformation::networkLayout(result);
  const int n = int(result.benchmarks.size());
  std::vector<QPointF> places(n, QPointF(0.5, 0.5));
  bool any = false;
  double west = 0, east = 0, south = 0, north = 0;
  for (int b = 0; b < n && b < int(layout.places.size()); ++b) {
    if (!layout.places[b]) continue;
    const deformation::PlanePoint& p = *layout.places[b];
    west = any ? std::min(west, p.e) : p.e;
    east = any ? std::max(east, p.e) : p.e;
    south = any ? std::min(south, p.n) : p.n;
    north = any ? std::max(north, p.n) : p.n;
    any = true;
  }
  const double size = std::max({east - west, north - south, 1e-9});
  for (int b = 0; b < n && b < int(layout.places.size()); ++b) {
    if (!layout.places[b]) continue;
    const deformation::PlanePoint& p = *layout.places[b];
    places[b] = QPointF(0.5 + (p.e - (west + east) / 2) / size, 0.5 - (p.n - (south + north) / 2) / size);
  }
  return places;
}

QColor velocityColour(double velocity, double scale) {
  const double t = std::clamp(std::abs(velocity) / std::max(scale, 1e-9), 0.0, 1.0);
  const QColor pale(235, 235, 235);
  const QColor full = velocity < 0 ? QColor(200, 30, 30) : QColor(30, 80, 200);
  return QColor::fromRgbF(float(pale.redF() + t * (full.redF() - pale.redF())),
                          float(pale.greenF() + t * (full.greenF() - pale.greenF())),
                          float(pale.blueF() + t * (full.blueF() - pale.blueF())));
}

HeightChart::HeightChart(QWidget* parent) : QChartView(parent) {
  setObjectName(QStringLiteral("HeightChart"));
  setRenderHint(QPainter::Antialiasing);
  chart()->setTitle(QStringLiteral("高程變化（於速度表選取水準點）"));
  chart()->legend()->setAlignment(Qt::AlignBottom);
}

void HeightChart::clear() {
  chart()->removeAllSeries();
  for (QAbstractAxis* axis : chart()->axes()) {
    chart()->removeAxis(axis);
    delete axis;
  }
}

int HeightChart::seriesCount() const { return int(chart()->series().size()); }

void HeightChart::showBenchmarks(const SharedDeformation& result, const std::vector<int>& benchmarks) {
  clear();
  if (!result || result->epochs.empty()) return;
  auto* dates = new QDateTimeAxis;
  dates->setFormat(QStringLiteral("yyyy-MM-dd"));
  dates->setTitleText(QStringLiteral("日期"));
  dates->setTickCount(std::clamp(int(result->epochs.size()), 2, 8));
  auto* heights = new QValueAxis;
  heights->setTitleText(QStringLiteral("高程變化 (mm)"));
  chart()->addAxis(dates, Qt::AlignBottom);
  chart()->addAxis(heights, Qt::AlignLeft);
  double low = -1.0, high = 1.0;
  for (const int b : benchmarks) {
    if (b < 0 || b >= int(result->benchmarks.size())) continue;
    auto* series = new QLineSeries;
    series->setName(benchmarkName(*result, b));
    series->setPointsVisible(true);
    std::optional<double> first;
    for (const deformation::EpochResult& epoch : result->epochs) {
      if (b >= int(epoch.heights.size()) || !epoch.heights[b]) continue;
      if (!first) first = *epoch.heights[b];
      const double change = (*epoch.heights[b] - *first) * 1000.0;
      low = std::min(low, change);
      high = std::max(high, change);
      series->append(double(dateOf(epoch).toMSecsSinceEpoch()), change);
    }
    chart()->addSeries(series);
    series->attachAxis(dates);
    series->attachAxis(heights);
  }
  heights->setRange(low, high);
  heights->setLabelFormat(QStringLiteral("%.1f"));
  heights->applyNiceNumbers();
  // The ticks fall on the epochs when they are evenly spaced, as yearly ones are.
  QDateTime from = dateOf(result->epochs.front());
  QDateTime to = dateOf(result->epochs.back());
  if (from == to) to = from.addDays(1);
  dates->setRange(from, to);
}

VelocityMap::VelocityMap(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("VelocityMap"));
  setMinimumSize(200, 200);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
}

void VelocityMap::showResult(const SharedDeformation& result) {
  result_ = result;
  places_ = layoutBenchmarks(*result);
  update();
}

void VelocityMap::clear() {
  result_.reset();
  places_.clear();
  update();
}

void VelocityMap::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintOn(painter, QRectF(rect()), 1.0);
}

void VelocityMap::paintOn(QPainter& painter, const QRectF& area, double pixel) const {
  if (!result_) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const deformation::DeformationResult& r = *result_;
  const QFontMetricsF metrics(painter.font());
  const double legendHeight = metrics.height() * 2.4;
  const double margin = 24 * pixel;
  const QRectF field = area.adjusted(margin, margin + legendHeight, -margin, -margin);
  const double side = std::min(field.width(), field.height());
  const QRectF square(field.center().x() - side / 2, field.center().y() - side / 2, side, side);
  auto place = [&](int b) { return square.topLeft() + QPointF(places_[b].x() * side, places_[b].y() * side); };

  double scale = r.options.rateLimitMm;
  for (const deformation::VelocityRow& v : r.velocities) {
    if (v.velocityMmPerYear) scale = std::max(scale, std::abs(*v.velocityMmPerYear));
  }
  scale = std::max(scale, 1.0);

  // The sections, light, under the benchmarks.
  std::map<std::string, int> index;
  for (int b = 0; b < int(r.benchmarks.size()); ++b) index.emplace(r.benchmarks[b], b);
  painter.setPen(QPen(QColor(190, 190, 190), pixel));
  for (const deformation::EpochResult& epoch : r.epochs) {
    for (const analysis::ObservationResult& o : epoch.analysis.observations) {
      if (o.removedAtStep > 0 || o.from < 0 || o.to < 0) continue;
      if (o.from >= int(epoch.analysis.points.size()) || o.to >= int(epoch.analysis.points.size())) continue;
      const auto a = index.find(epoch.analysis.points[o.from].name);
      const auto b = index.find(epoch.analysis.points[o.to].name);
      if (a != index.end() && b != index.end()) painter.drawLine(place(a->second), place(b->second));
    }
  }
  const double radius = 6 * pixel;
  for (const deformation::VelocityRow& v : r.velocities) {
    if (v.benchmark < 0 || v.benchmark >= int(places_.size())) continue;
    const QPointF p = place(v.benchmark);
    painter.setPen(QPen(velocityFlagged(v) ? QColor(Qt::black) : QColor(90, 90, 90), pixel * (velocityFlagged(v) ? 2 : 1)));
    painter.setBrush(v.velocityMmPerYear ? QBrush(velocityColour(*v.velocityMmPerYear, scale)) : QBrush(Qt::NoBrush));
    if (v.stable || v.kind == deformation::VelocityClass::Reference) {
      // The stable set: triangles.
      const QPolygonF triangle({p + QPointF(0, -radius * 1.3), p + QPointF(radius * 1.15, radius * 0.75),
                                p + QPointF(-radius * 1.15, radius * 0.75)});
      painter.drawPolygon(triangle);
    } else {
      painter.drawEllipse(p, radius, radius);
    }
    painter.setPen(Qt::black);
    painter.drawText(p + QPointF(radius + 2 * pixel, -radius), benchmarkName(r, v.benchmark) +
                                                                   (v.velocityMmPerYear ? QString(QStringLiteral(" ") + number(v.velocityMmPerYear, 1)) : QString()));
  }
  // The legend: the colour scale and the marks.
  const double barWidth = std::min(area.width() / 3, 240 * pixel);
  const QRectF bar(area.left() + margin, area.top() + margin / 2, barWidth, metrics.height() * 0.8);
  QLinearGradient gradient(bar.topLeft(), bar.topRight());
  gradient.setColorAt(0.0, velocityColour(-scale, scale));
  gradient.setColorAt(0.5, velocityColour(0, scale));
  gradient.setColorAt(1.0, velocityColour(scale, scale));
  painter.setPen(QPen(Qt::gray, pixel));
  painter.setBrush(gradient);
  painter.drawRect(bar);
  painter.setPen(Qt::black);
  painter.drawText(QRectF(bar.left(), bar.bottom(), bar.width(), metrics.height()), Qt::AlignLeft, number(-scale, 1));
  painter.drawText(QRectF(bar.left(), bar.bottom(), bar.width(), metrics.height()), Qt::AlignRight, number(scale, 1));
  const QRectF words(bar.right() + 12 * pixel, bar.top() - metrics.height() * 0.1, area.right() - bar.right() - 12 * pixel,
                     metrics.height() * 2.4);
  painter.drawText(words, Qt::AlignLeft | Qt::TextWordWrap,
                   QStringLiteral("速度 mm/年（紅：沉陷，藍：上升）\n▲ 穩定點　粗框：移動或超過速率限值"));
  painter.restore();
}

}  // namespace korvane::shell
