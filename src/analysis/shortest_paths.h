// Shortest-distance searches over the sections of the network, for the closure checks.
#pragma once

#include "network_graph.h"

#include <span>
#include <vector>

namespace korvane::analysis {

// A forest grown by shortest distance from the given roots: every reached point knows its
// distance, the section to its parent, its number of steps from the root and its root.
struct ShortestPathForest {
    std::vector<double> distance;  // km; negative when not reached
    std::vector<int> parentSection;  // -1 at a root and where not reached
    std::vector<int> depth;
    std::vector<int> root;

    bool reached(int point) const { return distance[point] >= 0.0; }
    // The sections from `point` up to its root, in that order.
    std::vector<int> sectionsToRoot(int point, const NetworkGraph& graph) const;
};

ShortestPathForest shortestPathForest(const NetworkGraph& graph, int points, std::span<const int> roots);

// The way from `from` to `to` through the sections that `usable` allows, shortest by distance,
// if the search finds it before it has settled a few hundred points; the sections in walking
// order, or empty.
class LocalSearch {
public:
    LocalSearch(const NetworkGraph& graph, int points);
    std::vector<int> way(int from, int to, const std::vector<bool>& usable);

private:
    const NetworkGraph& graph_;
    std::vector<double> distance_;
    std::vector<int> parentSection_;
    std::vector<int> visitedIn_;
    std::vector<std::pair<double, int>> heap_;  // distance, point: a min-heap kept between searches
    int search_ = 0;
};

}  // namespace korvane::analysis
