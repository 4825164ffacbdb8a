#include "shortest_paths.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

namespace korvane::analysis {

namespace {

using Entry = std::pair<double, int>;  // distance, point
using MinQueue = std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>>;

// Points a local search may settle before it gives up: loops in a mesh close within a few.
constexpr int kLocalSearchReach = 400;

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
    ShortestPathForest forest;
    forest.distance.assign(points, -1.0);
    forest.parentSection.assign(points, -1);
    forest.depth.assign(points, 0);
    forest.root.assign(points, -1);
    MinQueue queue;
    std::vector<bool> settled(points, false);
    for (int root : roots) {
        forest.distance[root] = 0.0;
        forest.root[root] = root;
        queue.emplace(0.0, root);
    }
    while (!queue.empty()) {
        const auto [distance, point] = queue.top();
        queue.pop();
        if (settled[point])
            continue;
        settled[point] = true;
        for (int k = graph.adjacencyStart[point]; k < graph.adjacencyStart[point + 1]; ++k) {
            const int section = graph.adjacent[k];
            const int next = graph.otherEnd(section, point);
            const double through = distance + graph.sections[section].length;
            if (!settled[next] && (forest.distance[next] < 0.0 || through < forest.distance[next])) {
                forest.distance[next] = through;
                forest.parentSection[next] = section;
                forest.depth[next] = forest.depth[point] + 1;
                forest.root[next] = forest.root[point];
                queue.emplace(through, next);
            }
        }
    }
    return forest;
}

LocalSearch::LocalSearch(const NetworkGraph& graph, int points)
    : graph_(graph), distance_(points, 0.0), parentSection_(points, -1), visitedIn_(points, -1)
{
}

std::vector<int> LocalSearch::way(int from, int to, const std::vector<bool>& usable)
{
    ++search_;
    heap_.clear();
    const auto later = std::greater<Entry>();
    distance_[from] = 0.0;
    parentSection_[from] = -1;
    visitedIn_[from] = search_;
    heap_.emplace_back(0.0, from);
    int settled = 0;
    while (!heap_.empty() && settled < kLocalSearchReach) {
        std::pop_heap(heap_.begin(), heap_.end(), later);
        const auto [distance, point] = heap_.back();
        heap_.pop_back();
        if (distance > distance_[point])
            continue;
        if (point == to) {
            std::vector<int> sections;
            for (int at = to; at != from; at = graph_.otherEnd(parentSection_[at], at))
                sections.push_back(parentSection_[at]);
            std::reverse(sections.begin(), sections.end());
            return sections;
        }
        ++settled;
        for (int k = graph_.adjacencyStart[point]; k < graph_.adjacencyStart[point + 1]; ++k) {
            const int section = graph_.adjacent[k];
            if (!usable[section])
                continue;
            const int next = graph_.otherEnd(section, point);
            const double through = distance + graph_.sections[section].length;
            if (visitedIn_[next] != search_ || through < distance_[next]) {
                visitedIn_[next] = search_;
                distance_[next] = through;
                parentSection_[next] = section;
                heap_.emplace_back(through, next);
                std::push_heap(heap_.begin(), heap_.end(), later);
            }
        }
    }
    return {};
}

}  // namespace korvane::analysis
