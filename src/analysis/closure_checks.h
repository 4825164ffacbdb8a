// Checks of the field data before the adjustment: how well the measured height differences
// close, each against the tolerance k * sqrt(K) mm with K the length in km.
//
// - Repeated measurements of one section (the same two points, either direction): the spread of
//   the measurements turned into one direction (largest minus smallest).
// - Loops: an independent set, one per section beyond a spanning tree, so that together they
//   hold every condition the sections put on the heights. A spanning tree is grown breadth first
//   from a known point of each part; the sections outside it are taken nearest the root first,
//   and each closes its loop along the way with the fewest sections through the tree and the
//   sections taken before it, found by a search from both ends of limited reach (the tree path
//   when the search finds nothing). Each loop holds a section no earlier loop holds, so the
//   loops are independent; in a mesh they are its meshes. An observation from a point to itself
//   is a loop of its own.
// - Lines between known points: each known point owns the points nearest to it; the links
//   between neighbouring known points, the shortest first, join the known points of each part
//   as a tree (one line fewer than known points). Misclosure: the measured height difference
//   along the line minus the difference of the known heights.
#pragma once

#include "network.h"
#include "network_graph.h"

#include <functional>
#include <vector>

namespace korvane::analysis {

enum class ClosureKind { Loop, KnownLine, Repeat };

struct ClosureCheck {
    ClosureKind kind = ClosureKind::Loop;
    std::vector<int> points;        // in walking order; a loop returns to its first point
    std::vector<int> observations;  // every measurement of its sections
    double misclosureMm = 0.0;
    double lengthKm = 0.0;
    double toleranceMm = 0.0;
    bool passes = true;
};

std::vector<ClosureCheck> repeatedSectionChecks(const Network& network, const NetworkGraph& graph, double k);
std::vector<ClosureCheck> loopChecks(const Network& network, const NetworkGraph& graph, double k,
                                     const std::function<void()>& pause = {});
std::vector<ClosureCheck> knownLineChecks(const Network& network, const NetworkGraph& graph, double k);

}  // namespace korvane::analysis
