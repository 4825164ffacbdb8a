#include "closure_checks.h"

#include "large_memory.h"
#include "shortest_paths.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace korvane::analysis {

namespace {

constexpr int kLoopsBetweenPauses = 4096;

// Walks `sections` from `start`, adding each to the check; returns the point reached.
int walk(const NetworkGraph& graph, int start, const std::vector<int>& sections, ClosureCheck& check)
{
    int point = start;
    for (int section : sections) {
        check.misclosureMm += 1000.0 * graph.dhFrom(section, point);
        check.lengthKm += graph.sections[section].length;
        const std::span<const int> observations = graph.observationsOf(section);
        check.observations.insert(check.observations.end(), observations.begin(), observations.end());
        point = graph.otherEnd(section, point);
        check.points.push_back(point);
    }
    return point;
}

void judge(ClosureCheck& check, double k)
{
    check.toleranceMm = k * std::sqrt(check.lengthKm);
    check.passes = std::abs(check.misclosureMm) <= check.toleranceMm;
}

// The first known point of each part, or its first point.
std::vector<int> rootsOfParts(const Network& network, const NetworkGraph& graph)
{
    std::vector<int> roots(graph.partCount(), -1);
    for (const KnownPoint& known : network.known) {
        int& root = roots[graph.partOfPoint[known.point]];
        if (root < 0)
            root = known.point;
    }
    for (int part = 0; part < graph.partCount(); ++part)
        if (roots[part] < 0)
            roots[part] = graph.partPoints[part].front();
    return roots;
}

// The sections from `a` to `b` through the forest (up from both to where their ways meet).
std::vector<int> treeWay(const ShortestPathForest& forest, const NetworkGraph& graph, int a, int b)
{
    std::vector<int> up;    // from a upwards
    std::vector<int> down;  // from b upwards, reversed at the end
    while (a != b) {
        if (forest.depth[a] >= forest.depth[b]) {
            up.push_back(forest.parentSection[a]);
            a = graph.otherEnd(forest.parentSection[a], a);
        } else {
            down.push_back(forest.parentSection[b]);
            b = graph.otherEnd(forest.parentSection[b], b);
        }
    }
    up.insert(up.end(), down.rbegin(), down.rend());
    return up;
}

}  // namespace

std::vector<ClosureCheck> repeatedSectionChecks(const Network& network, const NetworkGraph& graph, double k)
{
    std::vector<ClosureCheck> checks;
    for (int s = 0; s < int(graph.sections.size()); ++s) {
        const Section& section = graph.sections[s];
        if (section.observationCount < 2)
            continue;
        double lowest = 0.0;
        double highest = 0.0;
        bool first = true;
        for (int i : graph.observationsOf(s)) {
            const Observation& o = network.observations[i];
            const double forward = o.from == section.a ? o.dh : -o.dh;
            lowest = first ? forward : std::min(lowest, forward);
            highest = first ? forward : std::max(highest, forward);
            first = false;
        }
        ClosureCheck check;
        check.kind = ClosureKind::Repeat;
        check.points = {section.a, section.b};
        check.observations.assign(graph.observationsOf(s).begin(), graph.observationsOf(s).end());
        check.misclosureMm = 1000.0 * (highest - lowest);
        check.lengthKm = section.length;
        judge(check, k);
        checks.push_back(std::move(check));
    }
    return checks;
}

std::vector<ClosureCheck> loopChecks(const Network& network, const NetworkGraph& graph, double k,
                                     const std::function<void()>& pause)
{
    std::vector<ClosureCheck> checks;
    const int independentLoops = int(graph.sections.size()) - network.pointCount() + graph.partCount();
    reserveLarge(checks, graph.selfObservations.size() + independentLoops);
    for (int i : graph.selfObservations) {
        const Observation& o = network.observations[i];
        ClosureCheck check;
        check.points = {o.from, o.to};
        check.observations = {i};
        check.misclosureMm = 1000.0 * o.dh;
        check.lengthKm = o.distance;
        judge(check, k);
        checks.push_back(std::move(check));
    }

    const std::vector<int> roots = rootsOfParts(network, graph);
    const ShortestPathForest forest = breadthFirstForest(graph, network.pointCount(), roots);
    const int sections = int(graph.sections.size());
    std::vector<bool> usable(sections, false);
    std::vector<int> closing;
    for (int point = 0; point < network.pointCount(); ++point)
        if (forest.parentSection[point] >= 0)
            usable[forest.parentSection[point]] = true;
    // The closing sections nearest their roots first (of equally near ones the first first).
    std::vector<std::pair<double, int>> byReach;
    for (int s = 0; s < sections; ++s)
        if (!usable[s])
            byReach.emplace_back(std::max(forest.distance[graph.sections[s].a], forest.distance[graph.sections[s].b]), s);
    std::sort(byReach.begin(), byReach.end());
    closing.reserve(byReach.size());
    for (const auto& [reach, s] : byReach)
        closing.push_back(s);

    LocalSearch search(graph, network.pointCount());
    for (std::size_t n = 0; n < closing.size(); ++n) {
        if (pause && n % kLoopsBetweenPauses == 0)
            pause();
        const int s = closing[n];
        const Section& section = graph.sections[s];
        std::vector<int> back = search.way(section.b, section.a, usable);
        if (back.empty())
            back = treeWay(forest, graph, section.b, section.a);
        ClosureCheck check;
        check.points.reserve(back.size() + 2);
        check.observations.reserve(back.size() + 1);
        check.points.push_back(section.a);
        walk(graph, walk(graph, section.a, {s}, check), back, check);
        judge(check, k);
        checks.push_back(std::move(check));
        usable[s] = true;
    }
    return checks;
}

std::vector<ClosureCheck> knownLineChecks(const Network& network, const NetworkGraph& graph, double k)
{
    std::vector<int> sources;
    for (const KnownPoint& known : network.known)
        sources.push_back(known.point);
    const ShortestPathForest owners = shortestPathForest(graph, network.pointCount(), sources);

    struct Link {
        double length;
        int section;
    };
    std::vector<Link> links;
    for (int s = 0; s < int(graph.sections.size()); ++s) {
        const Section& section = graph.sections[s];
        if (owners.reached(section.a) && owners.root[section.a] != owners.root[section.b])
            links.push_back({owners.distance[section.a] + section.length + owners.distance[section.b], s});
    }
    std::stable_sort(links.begin(), links.end(), [](const Link& x, const Link& y) { return x.length < y.length; });

    std::vector<int> group(network.pointCount());
    std::iota(group.begin(), group.end(), 0);
    auto groupOf = [&](int point) {
        while (group[point] != point)
            point = group[point] = group[group[point]];
        return point;
    };

    std::vector<ClosureCheck> checks;
    for (const Link& link : links) {
        const Section& section = graph.sections[link.section];
        const int from = owners.root[section.a];
        const int to = owners.root[section.b];
        if (groupOf(from) == groupOf(to))
            continue;
        group[groupOf(from)] = groupOf(to);

        std::vector<int> way = owners.sectionsToRoot(section.a, graph);
        std::reverse(way.begin(), way.end());
        way.push_back(link.section);
        const std::vector<int> down = owners.sectionsToRoot(section.b, graph);  // from b to its known point
        way.insert(way.end(), down.begin(), down.end());

        ClosureCheck check;
        check.kind = ClosureKind::KnownLine;
        check.points = {from};
        walk(graph, from, way, check);
        const double knownDifference = network.known[network.knownIndex[to]].height -
                                       network.known[network.knownIndex[from]].height;
        check.misclosureMm -= 1000.0 * knownDifference;
        judge(check, k);
        checks.push_back(std::move(check));
    }
    return checks;
}

}  // namespace korvane::analysis
