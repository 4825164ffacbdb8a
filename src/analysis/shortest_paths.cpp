#include "shortest_paths.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

namespace korvane::analysis {

namespace {

using Entry = std::pair<double, int>;  // distance, point
using MinQueue = std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>>;

// Points a local search may reach before it gives up: loops in a mesh close within a few.
constexpr int kLocalSearchReach = 400;

// The forest of the roots alone, every other point not reached yet.
ShortestPathForest rootsOnly(int points, std::span<const int> roots)
{
    ShortestPathForest forest;
    forest.distance.assign(points, -1.0);
    forest.parentSection.assign(points, -1);
    forest.depth.assign(points, 0);
    forest.root.assign(points, -1);
    for (int root : roots) {
        forest.distance[root] = 0.0;
        forest.root[root] = root;
    }
    return forest;
}

// `next` reached from `point` over `section`, `distance` from their root.
void reach(ShortestPathForest& forest, int next, int point, int section, double distance)
{
    forest.distance[next] = distance;
    forest.parentSection[next] = section;
    forest.depth[next] = forest.depth[point] + 1;
    forest.root[next] = forest.root[point];
}

}  // namespace

std::vector<int> ShortestPathForest::sectionsToRoot(int point, const NetworkGraph& graph) const
{
    std::vector<int> sections;
    while (parentSection[point] >= 0) {
        sections.push_back(parentSection[point]);
        point = graph.otherEnd(parentSection[point], point);
    }
    return sections;
}

ShortestPathForest shortestPathForest(const NetworkGraph& graph, int points, std::span<const int> roots)
{
    // What the search reads and writes of a point, side by side: on a large network each point
    // it settles then costs one trip to memory, not one per array.
    struct Place {
        double distance = -1.0;
        int parentSection = -1;
        int depth = 0;
        int root = -1;
        bool settled = false;
    };
    std::vector<Place> places(points);
    MinQueue queue;
    for (int root : roots) {
        places[root].distance = 0.0;
        places[root].root = root;
        queue.emplace(0.0, root);
    }
    while (!queue.empty()) {
        const auto [distance, point] = queue.top();
        queue.pop();
        Place& here = places[point];
        if (here.settled)
            continue;
        here.settled = true;
        if (!queue.empty()) {  // most likely the next point: its memory is on the way meanwhile
            __builtin_prefetch(&places[queue.top().second]);
            __builtin_prefetch(&graph.adjacencyStart[queue.top().second]);
        }
        for (int k = graph.adjacencyStart[point]; k < graph.adjacencyStart[point + 1]; ++k) {
            Place& there = places[graph.neighbour[k]];
            if (there.settled)
                continue;
            const int section = graph.adjacent[k];
            const double through = distance + graph.sections[section].length;
            if (there.distance < 0.0 || through < there.distance) {
                there = {through, section, here.depth + 1, here.root, false};
                queue.emplace(through, graph.neighbour[k]);
            }
        }
    }

    ShortestPathForest forest;
    forest.distance.resize(points);
    forest.parentSection.resize(points);
    forest.depth.resize(points);
    forest.root.resize(points);
    for (int point = 0; point < points; ++point) {
        const Place& place = places[point];
        forest.distance[point] = place.distance;
        forest.parentSection[point] = place.parentSection;
        forest.depth[point] = place.depth;
        forest.root[point] = place.root;
    }
    return forest;
}

ShortestPathForest breadthFirstForest(const NetworkGraph& graph, int points, std::span<const int> roots)
{
    ShortestPathForest forest = rootsOnly(points, roots);
    std::vector<int> queue(roots.begin(), roots.end());
    queue.reserve(points);
    for (std::size_t at = 0; at < queue.size(); ++at) {
        const int point = queue[at];
        for (int k = graph.adjacencyStart[point]; k < graph.adjacencyStart[point + 1]; ++k) {
            const int next = graph.neighbour[k];
            if (forest.reached(next))
                continue;
            const int section = graph.adjacent[k];
            reach(forest, next, point, section, forest.distance[point] + graph.sections[section].length);
            queue.push_back(next);
        }
    }
    return forest;
}

LocalSearch::LocalSearch(const NetworkGraph& graph, int points)
    : graph_(graph), parentSection_(points, -1), mark_(points, -1)
{
}

std::vector<int> LocalSearch::wayBack(int point) const
{
    std::vector<int> sections;
    for (; parentSection_[point] >= 0; point = graph_.otherEnd(parentSection_[point], point))
        sections.push_back(parentSection_[point]);
    return sections;
}

std::vector<int> LocalSearch::way(int from, int to, const std::vector<bool>& usable)
{
    ++search_;
    const int ends[2] = {from, to};
    for (int side = 0; side < 2; ++side) {
        mark_[ends[side]] = 2 * search_ + side;
        parentSection_[ends[side]] = -1;
        nextFrontier_[side].assign(1, ends[side]);
    }
    int reached = 2;
    while (!nextFrontier_[0].empty() && !nextFrontier_[1].empty() && reached < kLocalSearchReach) {
        // One more level on the side with the smaller frontier.
        const int side = nextFrontier_[0].size() <= nextFrontier_[1].size() ? 0 : 1;
        frontier_.swap(nextFrontier_[side]);
        nextFrontier_[side].clear();
        for (int point : frontier_) {
            for (int k = graph_.adjacencyStart[point]; k < graph_.adjacencyStart[point + 1]; ++k) {
                const int section = graph_.adjacent[k];
                if (!usable[section])
                    continue;
                const int next = graph_.neighbour[k];
                if (mark_[next] == 2 * search_ + 1 - side) {  // the other side's search is here: met
                    std::vector<int> startHalf = wayBack(side == 0 ? point : next);
                    const std::vector<int> endHalf = wayBack(side == 0 ? next : point);
                    std::reverse(startHalf.begin(), startHalf.end());
                    startHalf.push_back(section);
                    startHalf.insert(startHalf.end(), endHalf.begin(), endHalf.end());
                    return startHalf;
                }
                if (mark_[next] == 2 * search_ + side)
                    continue;
                mark_[next] = 2 * search_ + side;
                parentSection_[next] = section;
                nextFrontier_[side].push_back(next);
                ++reached;
            }
        }
    }
    return {};
}

}  // namespace korvane::analysis
