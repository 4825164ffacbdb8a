#include "shell/network_drawing.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>

#include "result_words.h"
#include "shell/analysis_columns.h"
#include "shell/analysis_words.h"

namespace korvane::shell {
namespace {

const QColor kLineColour(95, 95, 95);
const QColor kClosureColour(225, 130, 0);
const QColor kSelectionColour(40, 110, 235, 150);
const QColor kKnownColour(20, 20, 20);

// The most likely gross error: wider and darker than any other flagged line.
const QColor kMostLikelyColour(120, 0, 0);
const QColor kWeakFlagColour(235, 110, 95);
constexpr double kWidestFlag = 8.0;
constexpr double kMostLikelyWidth = 10.0;

// A flagged line whose statistic is `strength` times its critical value: from 2.5 px in a light
// red at the critical value to 8 px in the full red at four times it.
QPen flaggedPen(double strength, bool mostLikely, double pixel) {
  if (mostLikely) return QPen(kMostLikelyColour, kMostLikelyWidth * pixel, Qt::SolidLine, Qt::RoundCap);
  const double t = std::clamp((strength - 1.0) / 3.0, 0.0, 1.0);
  const QColor weak = kWeakFlagColour, strong = failColour();
  const QColor colour(int(std::lround(weak.red() + t * (strong.red() - weak.red()))),
                      int(std::lround(weak.green() + t * (strong.green() - weak.green()))),
                      int(std::lround(weak.blue() + t * (strong.blue() - weak.blue()))));
  return QPen(colour, (2.5 + t * (kWidestFlag - 2.5)) * pixel, Qt::SolidLine, Qt::RoundCap);
}

// The dashes of a closure beyond tolerance over a flagged line: narrower, so the red shows.
QPen closureOverFlagPen(double pixel) { return QPen(kClosureColour, 2.0 * pixel, Qt::DashLine); }

QPen linePen(LineState state, double pixel) {
  switch (state) {
    case LineState::Normal:
      return QPen(kLineColour, 1.3 * pixel);
    case LineState::Removed:
      return QPen(failColour(), 2.2 * pixel, Qt::DotLine);
    case LineState::FailingClosure:
      return QPen(kClosureColour, 3.0 * pixel, Qt::DashLine);
    case LineState::Flagged:
      return flaggedPen(2.5, false, pixel);
  }
  return {};
}

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
  const QPointF ab = b - a;
  const double length2 = QPointF::dotProduct(ab, ab);
  const double t = length2 > 0.0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
  const QPointF nearest = a + t * ab;
  return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

QPolygonF triangle(QPointF centre, double size) {
  return QPolygonF({centre + QPointF(0, -size), centre + QPointF(size * 0.87, size * 0.5),
                    centre + QPointF(-size * 0.87, size * 0.5)});
}

void paintPointMark(QPainter& painter, QPointF at, bool known, bool fails, double pixel) {
  painter.setPen(QPen(kKnownColour, 1.2 * pixel));
  if (known) {
    painter.setBrush(fails ? failColour() : kKnownColour);
    painter.drawPolygon(triangle(at, 7.0 * pixel));
  } else {
    painter.setBrush(fails ? failColour() : QColor(Qt::white));
    painter.drawEllipse(at, 4.0 * pixel, 4.0 * pixel);
  }
}

}  // namespace

NetworkDrawing::NetworkDrawing(const analysis::AnalysisResult& result, const workbench::PictureGraph& graph,
                               const workbench::PicturePlaces& places)
    : graph_(graph) {
  std::vector<double> lengths;
  for (const workbench::PictureLine& line : graph.lines) {
    lengths.push_back(std::hypot(places.x[line.a] - places.x[line.b], places.y[line.a] - places.y[line.b]));
  }
  double scale = 1.0;
  if (!lengths.empty()) {
    std::nth_element(lengths.begin(), lengths.begin() + lengths.size() / 2, lengths.end());
    if (lengths[lengths.size() / 2] > 0.0) scale = kUsualLineLength / lengths[lengths.size() / 2];
  }

  pictureOfPoint_.assign(result.points.size(), -1);
  for (int i = 0; i < int(graph.points.size()); ++i) {
    const int point = graph.points[i];
    pictureOfPoint_[point] = i;
    points_.push_back({QPointF(places.x[i] * scale, -places.y[i] * scale),
                       result.points[point].known != analysis::KnownRole::None, pointFails(result, point),
                       QString::fromStdString(result.points[point].name)});
  }
  // (QRectF::united passes over rectangles without area, so the corners are found by hand.)
  if (!points_.empty()) {
    double left = points_[0].place.x(), right = left, top = points_[0].place.y(), bottom = top;
    for (const Point& p : points_) {
      left = std::min(left, p.place.x());
      right = std::max(right, p.place.x());
      top = std::min(top, p.place.y());
      bottom = std::max(bottom, p.place.y());
    }
    bounds_ = QRectF(QPointF(left, top), QPointF(right, bottom));
  }

  std::vector<char> inFailingClosure(result.observations.size(), 0);
  for (const analysis::ClosureCheck* check : closureRows(result)) {
    if (check->passes) continue;
    for (int observation : check->observations) inFailingClosure[observation] = 1;
  }
  const bool byW = analysis::decidingStatistic(result) == "w";
  const double critical = byW ? result.levels.wCritical : result.levels.tauCritical.value_or(0.0);
  const int mostLikely = analysis::mostLikelyError(result).value_or(-1);
  lineOfObservation_.assign(result.observations.size(), -1);
  for (int i = 0; i < int(graph.lines.size()); ++i) {
    const workbench::PictureLine& line = graph.lines[i];
    bool flagged = false, allRemoved = true, closure = false;
    double strength = 0.0;
    for (int observation : line.observations) {
      lineOfObservation_[observation] = i;
      const analysis::ObservationResult& o = result.observations[observation];
      if (observationFails(o)) {
        flagged = true;
        const double size = analysis::decidingSize(result, o.test).value_or(0.0);
        strength = std::max(strength, critical > 0.0 ? size / critical : 1.0);
      }
      allRemoved = allRemoved && o.removedAtStep > 0;
      closure = closure || inFailingClosure[observation];
      if (observation == mostLikely) mostLikelyLine_ = i;
    }
    const LineState state = flagged      ? LineState::Flagged
                            : allRemoved ? LineState::Removed
                            : closure    ? LineState::FailingClosure
                                         : LineState::Normal;
    lines_.push_back({line.a, line.b, state, closure, strength});
  }
}

int NetworkDrawing::pictureIndexOf(int point) const {
  return point >= 0 && point < int(pictureOfPoint_.size()) ? pictureOfPoint_[point] : -1;
}

std::optional<QPointF> NetworkDrawing::placeOfPoint(int point) const {
  const int index = pictureIndexOf(point);
  if (index < 0) return std::nullopt;
  return points_[index].place;
}

std::optional<QPointF> NetworkDrawing::placeOfObservation(int observation) const {
  if (observation < 0 || observation >= int(lineOfObservation_.size()) || lineOfObservation_[observation] < 0) {
    return std::nullopt;
  }
  const Line& line = lines_[lineOfObservation_[observation]];
  return (points_[line.a].place + points_[line.b].place) / 2.0;
}

LineState NetworkDrawing::stateOfObservation(int observation) const {
  if (observation < 0 || observation >= int(lineOfObservation_.size()) || lineOfObservation_[observation] < 0) {
    return LineState::Normal;
  }
  return lines_[lineOfObservation_[observation]].state;
}

std::vector<LineStroke> NetworkDrawing::strokes(double pixel) const {
  std::vector<LineStroke> strokes;
  strokes.reserve(lines_.size() + 8);
  for (const LineState state : {LineState::Normal, LineState::Removed}) {
    for (int i = 0; i < int(lines_.size()); ++i) {
      if (lines_[i].state == state) strokes.push_back({i, state, linePen(state, pixel)});
    }
  }
  // The flagged lines by their statistic, the largest above.
  std::vector<int> flagged;
  for (int i = 0; i < int(lines_.size()); ++i) {
    if (lines_[i].state == LineState::Flagged) flagged.push_back(i);
  }
  std::stable_sort(flagged.begin(), flagged.end(), [&](int a, int b) {
    return std::pair(a == mostLikelyLine_, lines_[a].strength) < std::pair(b == mostLikelyLine_, lines_[b].strength);
  });
  for (const int i : flagged) {
    strokes.push_back({i, LineState::Flagged, flaggedPen(lines_[i].strength, i == mostLikelyLine_, pixel)});
  }
  // The closures beyond tolerance above everything, so that their loops stay in view.
  for (int i = 0; i < int(lines_.size()); ++i) {
    if (!lines_[i].inFailingClosure) continue;
    strokes.push_back({i, LineState::FailingClosure,
                       lines_[i].state == LineState::Flagged ? closureOverFlagPen(pixel)
                                                             : linePen(LineState::FailingClosure, pixel)});
  }
  return strokes;
}

PictureSelection NetworkDrawing::hit(QPointF place, double reach) const {
  int nearestPoint = -1;
  double pointDistance = std::numeric_limits<double>::max();
  for (int i = 0; i < int(points_.size()); ++i) {
    const double d = std::hypot(place.x() - points_[i].place.x(), place.y() - points_[i].place.y());
    if (d < pointDistance) {
      pointDistance = d;
      nearestPoint = i;
    }
  }
  if (nearestPoint >= 0 && pointDistance <= reach) return {PictureSelection::Kind::Point, graph_.points[nearestPoint]};
  int nearestLine = -1;
  double lineDistance = std::numeric_limits<double>::max();
  for (int i = 0; i < int(lines_.size()); ++i) {
    const double d = distanceToSegment(place, points_[lines_[i].a].place, points_[lines_[i].b].place);
    if (d < lineDistance) {
      lineDistance = d;
      nearestLine = i;
    }
  }
  if (nearestLine < 0 || lineDistance > reach) return {};
  // A line stands for every measurement of its section: the one that fails, else the first.
  const std::vector<int>& observations = graph_.lines[nearestLine].observations;
  int chosen = observations.front();
  if (lines_[nearestLine].state == LineState::Flagged) {
    for (int observation : observations) {
      if (stateOfObservation(observation) == LineState::Flagged) {
        chosen = observation;
        break;
      }
    }
  }
  return {PictureSelection::Kind::Observation, chosen};
}

void NetworkDrawing::paint(QPainter& painter, const QTransform& toDevice, double pixel, bool withNames) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  // Marks shrink with a picture zoomed out far enough that they would cover the lines.
  const double lineOnScreen = kUsualLineLength * std::abs(toDevice.m11()) / pixel;
  const double mark = pixel * std::clamp(lineOnScreen / 40.0, 0.25, 1.0);
  auto at = [&](int index) { return toDevice.map(points_[index].place); };

  if (selection_.kind == PictureSelection::Kind::Observation && selection_.index >= 0 &&
      selection_.index < int(lineOfObservation_.size()) && lineOfObservation_[selection_.index] >= 0) {
    const Line& line = lines_[lineOfObservation_[selection_.index]];
    painter.setPen(QPen(kSelectionColour, 10.0 * pixel, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(at(line.a), at(line.b));
  }
  for (const LineStroke& stroke : strokes(pixel)) {
    painter.setPen(stroke.pen);
    painter.drawLine(at(lines_[stroke.line].a), at(lines_[stroke.line].b));
  }
  if (lineOnScreen >= 24.0) {
    // The symbol as well as the colour, for a page printed without colour; the most likely gross
    // error is named beside its symbol.
    QFont font = painter.font();
    font.setPixelSize(std::max(1, int(std::lround(13.0 * pixel))));
    font.setBold(true);
    painter.setFont(font);
    for (int i = 0; i < int(lines_.size()); ++i) {
      if (lines_[i].state != LineState::Flagged) continue;
      const QPointF centre = (at(lines_[i].a) + at(lines_[i].b)) / 2.0;
      const QRectF box(centre - QPointF(8, 8) * pixel, QSizeF(16, 16) * pixel);
      painter.fillRect(box, Qt::white);
      painter.setPen(i == mostLikelyLine_ ? kMostLikelyColour : failColour());
      painter.drawText(box, Qt::AlignCenter, kFailSymbol);
      if (i == mostLikelyLine_) {
        const QRectF words(box.topRight() + QPointF(3, 0) * pixel, QSizeF(120, 16) * pixel);
        painter.drawText(words, Qt::AlignLeft | Qt::AlignVCenter, kMostLikelyError);
      }
    }
  }

  if (selection_.kind == PictureSelection::Kind::Point) {
    const int index = pictureIndexOf(selection_.index);
    if (index >= 0) {
      painter.setPen(QPen(kSelectionColour, 4.0 * pixel));
      painter.setBrush(Qt::NoBrush);
      const double ring = 11.0 * std::max(mark, 0.8 * pixel);
      painter.drawEllipse(at(index), ring, ring);
    }
  }
  for (int i = 0; i < int(points_.size()); ++i) {
    paintPointMark(painter, at(i), points_[i].known, points_[i].fails, points_[i].known ? std::max(mark, 0.6 * pixel) : mark);
  }

  if (withNames) {
    QFont font = painter.font();
    font.setBold(false);
    font.setPixelSize(std::max(1, int(std::lround(11.0 * pixel))));
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int i = 0; i < int(points_.size()); ++i) painter.drawText(at(i) + QPointF(7.0, -6.0) * pixel, points_[i].name);
  }
  painter.restore();
}

QString legendText() {
  return QStringLiteral(
      "▲ 已知點　● 新點　— 觀測　✘ 紅線：檢定未過的觀測，統計量越大越粗越深，最粗的深紅線為最可能的粗差　"
      "橘虛線：閉合差超限的環線或已知點間路線　"
      "點線：資料探測移除的觀測\n"
      "點位由 Graphviz 依網形的連接排列：水準資料沒有平面坐標，圖上的位置與方向不代表實地。");
}

double paintLegend(QPainter& painter, const QRectF& area, double pixel, const QString& note) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  QFont font = painter.font();
  font.setPixelSize(std::max(1, int(std::lround(12.0 * pixel))));
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double row = std::max(metrics.height(), 18.0 * pixel);
  double x = area.left();
  double y = area.top();
  // One sample and its words; a sample that would pass the right edge starts a new row.
  auto entry = [&](const QString& words, const std::function<void(QPointF centre)>& sample) {
    const double width = 34.0 * pixel + metrics.horizontalAdvance(words) + 16.0 * pixel;
    if (x > area.left() && x + width > area.right()) {
      x = area.left();
      y += row;
    }
    sample(QPointF(x + 14.0 * pixel, y + row / 2));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(x + 32.0 * pixel, y, width, row), Qt::AlignVCenter | Qt::AlignLeft, words);
    x += width;
  };
  auto line = [&](LineState state) {
    return [&, state](QPointF centre) {
      painter.setPen(linePen(state, pixel));
      painter.drawLine(centre - QPointF(12, 0) * pixel, centre + QPointF(12, 0) * pixel);
    };
  };
  entry(QStringLiteral("已知點"), [&](QPointF c) { paintPointMark(painter, c, true, false, pixel); });
  entry(QStringLiteral("新點"), [&](QPointF c) { paintPointMark(painter, c, false, false, pixel); });
  entry(QStringLiteral("觀測"), line(LineState::Normal));
  entry(kFailSymbol + QStringLiteral(" 檢定未過的觀測（越大越粗）"), line(LineState::Flagged));
  entry(kMostLikelyError, [&](QPointF centre) {
    painter.setPen(flaggedPen(0.0, true, pixel));
    painter.drawLine(centre - QPointF(10, 0) * pixel, centre + QPointF(10, 0) * pixel);
  });
  entry(QStringLiteral("閉合差超限的環線或已知點間路線"), line(LineState::FailingClosure));
  entry(QStringLiteral("資料探測移除的觀測"), line(LineState::Removed));
  y += row;
  const QString words = legendText().section(u'\n', 1) + (note.isEmpty() ? QString() : QStringLiteral("\n") + note);
  const QRectF textArea(area.left(), y, area.width(), area.bottom() - y);
  const QRectF used = painter.boundingRect(textArea, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, words);
  painter.drawText(textArea, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, words);
  painter.restore();
  return used.bottom() - area.top();
}

}  // namespace korvane::shell
