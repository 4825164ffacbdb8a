#pragma once
// The network picture as drawn: points at the places of the layout, the lines between them in
// the style of what the analysis found, the selection, and the legend. One painting serves the
// screen and the printer: sizes are given in pixels of a 96-dpi screen and scaled by `pixel`.

#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "analysis_result.h"
#include "workbench/network_picture_graph.h"

namespace korvane::shell {

enum class LineState { Normal, FailingClosure, Flagged, Removed };

// One stroke of the picture's lines, in the order they are painted (a later one lies above).
// A flagged line is as wide and as dark as its test statistic is large against the critical
// value, the most likely gross error the widest and darkest; a loop or line between known points
// beyond tolerance is drawn dashed above every line, the flagged ones too.
struct LineStroke {
  int line = 0;  // of graph().lines
  LineState state = LineState::Normal;  // FailingClosure: the dashes of a closure beyond tolerance
  QPen pen;
};

struct PictureSelection {
  enum class Kind { None, Point, Observation };
  Kind kind = Kind::None;
  int index = -1;  // a point or an observation of the result
};

class NetworkDrawing {
 public:
  NetworkDrawing() = default;
  // Places the picture's points at the layout's places (scaled so that the usual line is a
  // comfortable length, y downwards) and styles every line and point from the result.
  NetworkDrawing(const analysis::AnalysisResult& result, const workbench::PictureGraph& graph,
                 const workbench::PicturePlaces& places);

  bool isEmpty() const { return points_.empty(); }
  QRectF bounds() const { return bounds_; }
  const workbench::PictureGraph& graph() const { return graph_; }

  // Where a point or an observation's line stands, when it is drawn.
  std::optional<QPointF> placeOfPoint(int point) const;
  std::optional<QPointF> placeOfObservation(int observation) const;
  bool showsPoint(int point) const { return pictureIndexOf(point) >= 0; }
  LineState stateOfObservation(int observation) const;
  // The line of the most likely gross error (of graph().lines), or -1.
  int mostLikelyLine() const { return mostLikelyLine_; }
  // The lines' strokes for a device of `pixel` device pixels to a screen pixel, bottom first.
  std::vector<LineStroke> strokes(double pixel) const;

  // What lies at `place` (picture coordinates) within `reach` (picture units): a point before a
  // line; the nearest of each.
  PictureSelection hit(QPointF place, double reach) const;

  void select(PictureSelection selection) { selection_ = selection; }
  PictureSelection selection() const { return selection_; }

  // Paints the picture through `toDevice` (picture to device coordinates). Names are written
  // when `withNames`.
  void paint(QPainter& painter, const QTransform& toDevice, double pixel, bool withNames) const;

 private:
  struct Line {
    int a = 0;
    int b = 0;
    LineState state = LineState::Normal;
    bool inFailingClosure = false;
    double strength = 0.0;  // flagged: |deciding statistic| / its critical value
  };
  struct Point {
    QPointF place;
    bool known = false;
    bool fails = false;
    QString name;
  };
  int pictureIndexOf(int point) const;

  workbench::PictureGraph graph_;
  std::vector<Point> points_;
  std::vector<Line> lines_;
  std::vector<int> lineOfObservation_;  // per observation of the result, or -1
  std::vector<int> pictureOfPoint_;     // per point of the result, or -1
  QRectF bounds_;
  int mostLikelyLine_ = -1;
  PictureSelection selection_;
};

// The length a usual line has in picture units.
inline constexpr double kUsualLineLength = 80.0;

// The legend: the marks, the line styles and what the places mean. `note` is added (a part of a
// large network). Returns the height used.
double paintLegend(QPainter& painter, const QRectF& area, double pixel, const QString& note);
// The legend's words, for a reader without the picture.
QString legendText();

}  // namespace korvane::shell
