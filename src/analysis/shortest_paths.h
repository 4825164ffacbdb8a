// Searches over the sections of the network, for the closure checks.
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

// A forest grown breadth first (fewest sections) from the given roots; `distance` is the length
// of each point's way to its root, km.
ShortestPathForest breadthFirstForest(const NetworkGraph& graph, int points, std::span<const int> roots);

// A way from `from` to `to` through the sections that `usable` allows, with the fewest sections,
// if a search from both ends finds it before it has reached a few hundred points; the sections in
// walking order, or empty.
class LocalSearch {
public:
    LocalSearch(const NetworkGraph& graph, int points);
    std::vector<int> way(int from, int to, const std::vector<bool>& usable);

private:
    // The sections from `point` back to the end its side started from, in that order.
    std::vector<int> wayBack(int point) const;

    const NetworkGraph& graph_;
    std::vector<int> parentSection_;
    std::vector<int> mark_;  // 2 * search + side (0: from the start, 1: from the end)
    std::vector<int> frontier_;
    std::vector<int> nextFrontier_[2];
    int search_ = 0;
};

}  // namespace korvane::analysis
