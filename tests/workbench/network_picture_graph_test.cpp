// The network picture's part and layout: a network within the limit is drawn whole; a larger
// one around a point, as the nearest points through the sections; Graphviz gives every drawn
// point a place of its own, in one piece per part of the network. In the window a large
// network says that it is drawn in part and can be drawn again around the selection.

#include <QPushButton>
#include <cmath>
#include <set>

#include "analysis_window_support.h"
#include "workbench/network_picture_graph.h"

using namespace korvane::workbench;
using korvane::analysis::AnalysisResult;

namespace {

korvane::analysis::ObservationResult between(int from, int to) {
  korvane::analysis::ObservationResult observation;
  observation.from = from;
  observation.to = to;
  return observation;
}

// A result with only what the picture reads: names, known points and the observations' ends.
AnalysisResult gridResult(int columns, int rows) {
  AnalysisResult result;
  auto index = [columns](int r, int c) { return r * columns + c; };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      korvane::analysis::PointResult point;
      point.name = "P" + std::to_string(r) + "-" + std::to_string(c);
      result.points.push_back(point);
      if (c + 1 < columns) result.observations.push_back(between(index(r, c), index(r, c + 1)));
      if (r + 1 < rows) result.observations.push_back(between(index(r, c), index(r + 1, c)));
    }
  }
  for (auto& o : result.observations) o.distance = 1.0;
  return result;
}

// The number of sections between each point and `from`.
std::vector<int> sectionsFrom(const AnalysisResult& result, int from) {
  std::vector<std::vector<int>> next(result.points.size());
  for (const auto& o : result.observations) {
    next[o.from].push_back(o.to);
    next[o.to].push_back(o.from);
  }
  std::vector<int> steps(result.points.size(), -1);
  std::vector<int> queue{from};
  steps[from] = 0;
  for (std::size_t i = 0; i < queue.size(); ++i) {
    for (int other : next[queue[i]]) {
      if (steps[other] < 0) {
        steps[other] = steps[queue[i]] + 1;
        queue.push_back(other);
      }
    }
  }
  return steps;
}

}  // namespace

TEST(NetworkPictureGraph, ALargeNetworkIsDrawnAsTheNearestPointsAroundTheCentre) {
  struct Case {
    int columns, rows, centre, limit;
  };
  for (const Case c : {Case{10, 8, 5, 100}, Case{120, 100, 6060, kPicturePointLimit}, Case{120, 100, 0, 50}}) {
    SCOPED_TRACE(c.columns * c.rows);
    const AnalysisResult result = gridResult(c.columns, c.rows);
    // A repeated measurement and one from a point to itself: one line, and none.
    AnalysisResult withRepeats = result;
    withRepeats.observations.push_back(between(1, 0));
    withRepeats.observations.back().distance = 1.0;
    withRepeats.observations.push_back(between(2, 2));
    const PictureGraph graph = choosePicture(withRepeats, c.centre, c.limit);
    const int total = c.columns * c.rows;
    EXPECT_EQ(graph.totalPoints, total);
    EXPECT_EQ(int(graph.points.size()), std::min(total, c.limit));
    EXPECT_EQ(graph.isPartial(), total > c.limit);

    std::set<int> drawn(graph.points.begin(), graph.points.end());
    if (graph.isPartial()) {
      // Nearest first: no point left out is nearer to the centre than one drawn.
      EXPECT_TRUE(drawn.count(c.centre));
      const std::vector<int> steps = sectionsFrom(result, c.centre);
      int farthestDrawn = 0, nearestLeftOut = 1 << 30;
      for (int p = 0; p < total; ++p) {
        if (drawn.count(p)) farthestDrawn = std::max(farthestDrawn, steps[p]);
        else nearestLeftOut = std::min(nearestLeftOut, steps[p]);
      }
      EXPECT_LE(farthestDrawn, nearestLeftOut);
    }
    // Every observation between two drawn points has its line; the repeat shares one.
    std::size_t inLines = 0;
    for (const PictureLine& line : graph.lines) {
      inLines += line.observations.size();
      for (int o : line.observations) {
        const auto& ob = withRepeats.observations[o];
        EXPECT_EQ(std::minmax(graph.points[line.a], graph.points[line.b]), std::minmax(ob.from, ob.to));
      }
    }
    std::size_t between = 0;
    for (const auto& o : withRepeats.observations) between += o.from != o.to && drawn.count(o.from) && drawn.count(o.to);
    EXPECT_EQ(inLines, between);
  }
}

TEST(NetworkPictureGraph, GraphvizGivesEveryPointAPlaceOfItsOwnAndKeepsNeighboursNear) {
  for (const auto& [columns, rows] : {std::pair{6, 5}, std::pair{40, 30}}) {  // neato, then sfdp
    SCOPED_TRACE(columns * rows);
    AnalysisResult result = gridResult(columns, rows);
    // A second part: two points joined by one section.
    korvane::analysis::PointResult lone;
    lone.name = "Q1";
    result.points.push_back(lone);
    lone.name = "Q2";
    result.points.push_back(lone);
    result.observations.push_back(between(int(result.points.size()) - 2, int(result.points.size()) - 1));
    result.observations.back().distance = 1.0;
    const PictureGraph graph = choosePicture(result, 0);
    const PicturePlaces places = layOutPicture(graph);
    ASSERT_TRUE(places.problem.empty()) << places.problem;
    ASSERT_EQ(places.x.size(), graph.points.size());
    std::set<std::pair<long, long>> seen;
    for (std::size_t i = 0; i < places.x.size(); ++i) {
      ASSERT_TRUE(std::isfinite(places.x[i]) && std::isfinite(places.y[i]));
      EXPECT_TRUE(seen.insert({std::lround(places.x[i] * 10), std::lround(places.y[i] * 10)}).second) << "two points at one place";
    }
    // Joined points lie nearer each other than points picked at random.
    auto distance = [&](int a, int b) { return std::hypot(places.x[a] - places.x[b], places.y[a] - places.y[b]); };
    double joined = 0, apart = 0;
    for (const PictureLine& line : graph.lines) joined += distance(line.a, line.b);
    joined /= graph.lines.size();
    const int n = int(graph.points.size());
    for (int i = 0; i < n; ++i) apart += distance(i, (i * 7919 + 13) % n);
    apart /= n;
    EXPECT_LT(joined * 2, apart);
  }
}

// The same network gets the same picture on every run (重新計算), whatever was laid out before:
// Graphviz's random start would otherwise go on from where the last layout left it.
TEST(NetworkPictureGraph, TheSameNetworkIsLaidOutTheSameEveryTime) {
  for (const auto& [columns, rows] : {std::pair{6, 5}, std::pair{40, 30}}) {  // neato, then sfdp
    SCOPED_TRACE(columns * rows);
    const PictureGraph graph = choosePicture(gridResult(columns, rows), 0);
    const PictureGraph other = choosePicture(gridResult(7, 3), 0);
    const PicturePlaces first = layOutPicture(graph);
    layOutPicture(other);
    const PicturePlaces again = layOutPicture(graph);
    ASSERT_TRUE(first.problem.empty()) << first.problem;
    EXPECT_EQ(first.x, again.x);
    EXPECT_EQ(first.y, again.y);
  }
}

// In the window: a network beyond the limit says that the picture is a part of it, and is drawn
// again around a point selected far from the first centre.
TEST(NetworkPictureGraph, TheWindowDrawsALargeNetworkInPartAndAgainAroundTheSelection) {
  korvane::testing::workbench::AnalysisWindowFixture f;
  korvane::testing::workbench::writeGrid(f.database, 80, 50);  // 4,000 points
  f.window->show();
  f.analyse(QStringLiteral("大網"));
  ASSERT_TRUE(f.window->result()) << f.window->problemText().toStdString();
  korvane::shell::AnalysisTabs& tabs = f.window->tabs();
  tabs.setCurrentIndex(korvane::shell::AnalysisTabs::Picture);
  korvane::shell::NetworkPicture& picture = tabs.picture();
  ASSERT_TRUE(QTest::qWaitFor([&] { return picture.isLaidOut(); }, korvane::testing::workbench::kRunWaitMs));
  const PictureGraph first = picture.drawing()->graph();
  EXPECT_TRUE(first.isPartial());
  QPushButton* redraw = f.find<QPushButton>("RedrawAround");
  EXPECT_FALSE(redraw->isHidden());
  EXPECT_FALSE(redraw->isEnabled());  // nothing selected yet

  // A point left out of the picture; selected, the picture is drawn around it.
  int far = -1;
  for (int p = int(f.window->result()->points.size()) - 1; p >= 0 && far < 0; --p) {
    if (!picture.drawing()->showsPoint(p)) far = p;
  }
  ASSERT_GE(far, 0);
  tabs.selectPoint(far);
  EXPECT_TRUE(redraw->isEnabled());
  redraw->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return picture.isLaidOut() && picture.drawing()->showsPoint(far); },
                              korvane::testing::workbench::kRunWaitMs));
  EXPECT_EQ(picture.drawing()->graph().centre, far);
  EXPECT_TRUE(picture.drawing()->placeOfPoint(far).has_value());
}
