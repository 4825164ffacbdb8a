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

#include "shell/analysis_words.h"

namespace korvane::shell {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Sweeps of the layout: fewer on a large network, whose every sweep costs n².
int sweeps(int benchmarks) { return benchmarks > 800 ? 30 : benchmarks > 200 ? 80 : 250; }

QDateTime dateOf(const deformation::EpochResult& epoch) {
  return QDate::fromString(QString::fromStdString(epoch.date), QStringLiteral("yyyy-MM-dd")).startOfDay(Qt::UTC);
}

}  // namespace

std::vector<QPointF> layoutBenchmarks(const deformation::DeformationResult& result) {
  const int n = int(result.benchmarks.size());
  std::vector<QPointF> places(n);
  if (n == 0) return places;
  std::map<std::string, int> index;
  for (int b = 0; b < n; ++b) index.emplace(result.benchmarks[b], b);
  std::set<std::pair<int, int>> edges;
  for (const deformation::EpochResult& epoch : result.epochs) {
    const auto& points = epoch.analysis.points;
    for (const analysis::ObservationResult& o : epoch.analysis.observations) {
      if (o.removedAtStep > 0 || o.from < 0 || o.to < 0 || o.from >= int(points.size()) || o.to >= int(points.size())) {
        continue;
      }
      const auto a = index.find(points[o.from].name);
      const auto b = index.find(points[o.to].name);
      if (a == index.end() || b == index.end() || a->second == b->second) continue;
      edges.emplace(std::min(a->second, b->second), std::max(a->second, b->second));
    }
  }
  // Fruchterman and Reingold, starting from a circle in benchmark order.
  for (int b = 0; b < n; ++b) {
    const double angle = 2.0 * kPi * b / n;
    places[b] = QPointF(0.5 + 0.4 * std::cos(angle), 0.5 + 0.4 * std::sin(angle));
  }
  const double k = std::sqrt(1.0 / n);
  double temperature = 0.1;
  const int rounds = sweeps(n);
  std::vector<QPointF> shift(n);
  for (int round = 0; round < rounds; ++round) {
    std::fill(shift.begin(), shift.end(), QPointF());
    for (int a = 0; a < n; ++a) {
      for (int b = a + 1; b < n; ++b) {
        QPointF d = places[a] - places[b];
        double length = std::hypot(d.x(), d.y());
        if (length < 1e-9) {
          // Two benchmarks on one place part along a fixed direction.
          d = QPointF(1e-3 * std::cos(a + b), 1e-3 * std::sin(a + b));
          length = 1e-3;
        }
        const QPointF push = d / length * (k * k / length);
        shift[a] += push;
        shift[b] -= push;
      }
    }
    for (const auto& [a, b] : edges) {
      const QPointF d = places[a] - places[b];
      const double length = std::hypot(d.x(), d.y());
      const QPointF pull = d * (length / k);
      shift[a] -= pull;
      shift[b] += pull;
    }
    for (int b = 0; b < n; ++b) {
      const double length = std::hypot(shift[b].x(), shift[b].y());
      if (length > 0) places[b] += shift[b] / length * std::min(length, temperature);
    }
    temperature *= 0.98;
  }
  // Into the unit square, keeping the shape.
  double left = places[0].x(), right = left, top = places[0].y(), bottom = top;
  for (const QPointF& p : places) {
    left = std::min(left, p.x());
    right = std::max(right, p.x());
    top = std::min(top, p.y());
    bottom = std::max(bottom, p.y());
  }
  const double size = std::max({right - left, bottom - top, 1e-9});
  for (QPointF& p : places) {
    p = QPointF(0.5 + (p.x() - (left + right) / 2) / size, 0.5 + (p.y() - (top + bottom) / 2) / size);
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
