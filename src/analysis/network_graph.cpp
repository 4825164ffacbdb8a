#include "network_graph.h"

#include "large_memory.h"

#include <algorithm>
#include <numeric>
#include <tuple>
#include <utility>

namespace korvane::analysis {

namespace {

std::pair<int, int> endsOf(const Observation& o)
{
    return std::minmax(o.from, o.to);
}

// `items` (observation numbers) ordered by key, those of one key in their given order: a
// counting sort, linear in the items and the keys (point numbers).
std::vector<int> stableByKey(const std::vector<int>& items, const std::vector<int>& keyOf, int keys)
{
    std::vector<int> start(keys + 1, 0);
    for (int item : items)
        ++start[keyOf[item] + 1];
    for (int k = 0; k < keys; ++k)
        start[k + 1] += start[k];
    std::vector<int> sorted(items.size());
    for (int item : items)
        sorted[start[keyOf[item]]++] = item;
    return sorted;
}

void groupSections(const Network& network, NetworkGraph& graph)
{
    const int observations = network.observationCount();
    std::vector<int> order;
    order.reserve(observations);
    std::vector<int> lower(observations);
    std::vector<int> higher(observations);
    for (int i = 0; i < observations; ++i) {
        const Observation& o = network.observations[i];
        std::tie(lower[i], higher[i]) = endsOf(o);
        if (o.from == o.to)
            graph.selfObservations.push_back(i);
        else
            order.push_back(i);
    }
    // By the smaller end, then the larger, each section's measurements in input order.
    order = stableByKey(stableByKey(order, higher, network.pointCount()), lower, network.pointCount());

    reserveLarge(graph.sections, order.size());
    graph.sectionObservations = order;
    for (std::size_t at = 0; at < order.size();) {
        Section section;
        section.firstObservation = int(at);
        section.a = lower[order[at]];
        section.b = higher[order[at]];
        double weightSum = 0.0;
        double weightedDh = 0.0;
        double lengthSum = 0.0;
        for (; at < order.size() && lower[order[at]] == section.a && higher[order[at]] == section.b; ++at) {
            const Observation& o = network.observations[order[at]];
            const double forward = o.from == section.a ? o.dh : -o.dh;
            weightSum += o.weight;
            weightedDh += o.weight * forward;
            lengthSum += o.distance;
            ++section.observationCount;
        }
        section.dh = weightedDh / weightSum;
        section.length = lengthSum / section.observationCount;
        graph.sections.push_back(section);
    }
}

void buildAdjacency(int points, NetworkGraph& graph)
{
    graph.adjacencyStart.assign(points + 1, 0);
    for (const Section& s : graph.sections) {
        ++graph.adjacencyStart[s.a + 1];
        ++graph.adjacencyStart[s.b + 1];
    }
    std::partial_sum(graph.adjacencyStart.begin(), graph.adjacencyStart.end(), graph.adjacencyStart.begin());
    graph.adjacent.assign(graph.adjacencyStart.back(), 0);
    graph.neighbour.assign(graph.adjacencyStart.back(), 0);
    std::vector<int> fill(graph.adjacencyStart.begin(), graph.adjacencyStart.end() - 1);
    for (int i = 0; i < int(graph.sections.size()); ++i) {
        const Section& s = graph.sections[i];
        graph.adjacent[fill[s.a]] = i;
        graph.neighbour[fill[s.a]++] = s.b;
        graph.adjacent[fill[s.b]] = i;
        graph.neighbour[fill[s.b]++] = s.a;
    }
}

void findParts(int points, NetworkGraph& graph)
{
    graph.partOfPoint.assign(points, -1);
    std::vector<int> stack;
    for (int start = 0; start < points; ++start) {
        if (graph.partOfPoint[start] >= 0)
            continue;
        const int part = graph.partCount();
        std::vector<int>& members = graph.partPoints.emplace_back();
        graph.partOfPoint[start] = part;
        stack.push_back(start);
        while (!stack.empty()) {
            const int point = stack.back();
            stack.pop_back();
            members.push_back(point);
            for (int k = graph.adjacencyStart[point]; k < graph.adjacencyStart[point + 1]; ++k) {
                const int next = graph.neighbour[k];
                if (graph.partOfPoint[next] < 0) {
                    graph.partOfPoint[next] = part;
                    stack.push_back(next);
                }
            }
        }
        std::sort(members.begin(), members.end());
    }
}

}  // namespace

NetworkGraph buildNetworkGraph(const Network& network)
{
    NetworkGraph graph;
    groupSections(network, graph);
    buildAdjacency(network.pointCount(), graph);
    findParts(network.pointCount(), graph);
    return graph;
}

}  // namespace korvane::analysis
