#include "network_graph.h"

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

void groupSections(const Network& network, NetworkGraph& graph)
{
    std::vector<int> order;
    for (int i = 0; i < network.observationCount(); ++i) {
        const Observation& o = network.observations[i];
        if (o.from == o.to)
            graph.selfObservations.push_back(i);
        else
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        return endsOf(network.observations[x]) < endsOf(network.observations[y]);
    });

    graph.sections.reserve(order.size());
    graph.sectionObservations = order;
    for (std::size_t at = 0; at < order.size();) {
        Section section;
        section.firstObservation = int(at);
        std::tie(section.a, section.b) = endsOf(network.observations[order[at]]);
        double weightSum = 0.0;
        double weightedDh = 0.0;
        double lengthSum = 0.0;
        for (; at < order.size() && endsOf(network.observations[order[at]]) == std::pair(section.a, section.b); ++at) {
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
    std::vector<int> fill(graph.adjacencyStart.begin(), graph.adjacencyStart.end() - 1);
    for (int i = 0; i < int(graph.sections.size()); ++i) {
        graph.adjacent[fill[graph.sections[i].a]++] = i;
        graph.adjacent[fill[graph.sections[i].b]++] = i;
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
                const int next = graph.otherEnd(graph.adjacent[k], point);
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
