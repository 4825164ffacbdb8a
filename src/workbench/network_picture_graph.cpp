#include "workbench/network_picture_graph.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace korvane::workbench {
namespace {

std::uint64_t pairKey(int a, int b) {
  return (std::uint64_t(std::uint32_t(std::min(a, b))) << 32) | std::uint32_t(std::max(a, b));
}

// The points of the result next to each point, through its observations.
std::vector<std::vector<int>> neighbours(const analysis::AnalysisResult& result) {
  std::vector<std::vector<int>> next(result.points.size());
  for (const analysis::ObservationResult& o : result.observations) {
    if (o.from == o.to) continue;
    next[o.from].push_back(o.to);
    next[o.to].push_back(o.from);
  }
  return next;
}

std::vector<int> nearestPoints(const analysis::AnalysisResult& result, int centre, int limit) {
  const std::vector<std::vector<int>> next = neighbours(result);
  std::vector<char> seen(result.points.size(), 0);
  std::vector<int> chosen;
  std::deque<int> queue{centre};
  seen[centre] = 1;
  while (!queue.empty() && int(chosen.size()) < limit) {
    const int point = queue.front();
    queue.pop_front();
    chosen.push_back(point);
    for (int other : next[point]) {
      if (!seen[other]) {
        seen[other] = 1;
        queue.push_back(other);
      }
    }
  }
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}

// Graphviz keeps global state: one layout at a time in the whole program.
std::mutex& graphvizLock() {
  static std::mutex lock;
  return lock;
}

// One Graphviz context for the life of the program, taken under graphvizLock(). Its text-layout
// plugin remembers the last font it measured by a pointer into the context's font table; a
// context freed after each layout would leave that pointer dangling for the next one.
GVC_t* graphvizContext() {
  static GVC_t* const context = [] {
    agseterr(AGMAX);  // Graphviz's warnings would go to standard error
    return gvContext();
  }();
  return context;
}

char* text(const char* literal) { return const_cast<char*>(literal); }

// The springs' lengths for neato: each section's length against the median one, kept within a
// range where a very long or very short section still leaves a readable picture.
std::vector<double> springLengths(const PictureGraph& graph) {
  std::vector<double> lengths;
  for (const PictureLine& line : graph.lines) {
    if (line.length > 0.0) lengths.push_back(line.length);
  }
  std::vector<double> springs(graph.lines.size(), 1.0);
  if (lengths.empty()) return springs;
  std::nth_element(lengths.begin(), lengths.begin() + lengths.size() / 2, lengths.end());
  const double median = lengths[lengths.size() / 2];
  for (std::size_t i = 0; i < graph.lines.size(); ++i) {
    if (graph.lines[i].length > 0.0) springs[i] = std::clamp(graph.lines[i].length / median, 0.4, 2.5);
  }
  return springs;
}

}  // namespace

PictureGraph choosePicture(const analysis::AnalysisResult& result, int centre, int limit) {
  PictureGraph graph;
  graph.totalPoints = int(result.points.size());
  if (graph.totalPoints == 0) return graph;
  if (graph.totalPoints <= limit) {
    graph.points.resize(result.points.size());
    for (int i = 0; i < graph.totalPoints; ++i) graph.points[i] = i;
  } else {
    graph.centre = std::clamp(centre, 0, graph.totalPoints - 1);
    graph.points = nearestPoints(result, graph.centre, limit);
  }
  std::vector<int> pictureIndex(result.points.size(), -1);
  for (int i = 0; i < int(graph.points.size()); ++i) pictureIndex[graph.points[i]] = i;

  std::unordered_map<std::uint64_t, int> lineOfPair;
  for (int i = 0; i < int(result.observations.size()); ++i) {
    const analysis::ObservationResult& o = result.observations[i];
    const int a = pictureIndex[o.from];
    const int b = pictureIndex[o.to];
    if (a < 0 || b < 0 || a == b) continue;
    const auto [place, added] = lineOfPair.try_emplace(pairKey(a, b), int(graph.lines.size()));
    if (added) graph.lines.push_back({std::min(a, b), std::max(a, b), {}, 0.0});
    PictureLine& line = graph.lines[place->second];
    line.length += (o.distance - line.length) / double(line.observations.size() + 1);
    line.observations.push_back(i);
  }
  return graph;
}

PicturePlaces layOutPicture(const PictureGraph& graph) {
  PicturePlaces places;
  const int count = int(graph.points.size());
  places.x.assign(count, 0.0);
  places.y.assign(count, 0.0);
  if (count <= 1) return places;

  const std::lock_guard<std::mutex> hold(graphvizLock());
  GVC_t* context = graphvizContext();
  Agraph_t* g = agopen(text("network"), Agundirected, nullptr);
  agattr(g, AGRAPH, text("pack"), text("true"));
  // Removing overlaps takes sfdp ten times as long as the layout; its points seldom meet.
  if (count <= kNeatoPointLimit) agattr(g, AGRAPH, text("overlap"), text("false"));
  agattr(g, AGRAPH, text("splines"), text("false"));
  agattr(g, AGNODE, text("shape"), text("point"));
  agattr(g, AGNODE, text("width"), text("0.05"));
  Agsym_t* springLength = agattr(g, AGEDGE, text("len"), text("1"));
  std::vector<Agnode_t*> nodes(count);
  for (int i = 0; i < count; ++i) nodes[i] = agnode(g, const_cast<char*>(("p" + std::to_string(i)).c_str()), 1);
  const std::vector<double> springs = springLengths(graph);
  for (std::size_t i = 0; i < graph.lines.size(); ++i) {
    Agedge_t* edge = agedge(g, nodes[graph.lines[i].a], nodes[graph.lines[i].b], nullptr, 1);
    agxset(edge, springLength, const_cast<char*>(std::to_string(springs[i]).c_str()));
  }
  const char* engine = count <= kNeatoPointLimit ? "neato" : "sfdp";
  // The same network gets the same picture on every run: Graphviz draws its random start from
  // the C library's generators, which go on from wherever the last layout (or anyone) left them.
  std::srand(1);
  srand48(1);
  if (gvLayout(context, g, engine) != 0) {
    places.problem = std::string("Graphviz (") + engine + ") could not lay out the network";
  } else {
    for (int i = 0; i < count; ++i) {
      places.x[i] = ND_coord(nodes[i]).x;
      places.y[i] = ND_coord(nodes[i]).y;
    }
    gvFreeLayout(context, g);
  }
  agclose(g);
  return places;
}

}  // namespace korvane::workbench
