// The network as a graph for the checks and the datum: one section per pair of points that
// observations join (its repeated measurements merged), the observations from a point to
// itself, and the connected parts.
#pragma once

#include "network.h"

#include <span>
#include <vector>

namespace korvane::analysis {

struct Section {
    int a = 0;  // the smaller point number
    int b = 0;
    double dh = 0.0;      // height of b minus height of a: weighted mean of the measurements, m
    double length = 0.0;  // mean distance of the measurements, km
    int firstObservation = 0;  // its measurements: sectionObservations[first .. first + count)
    int observationCount = 0;
};

struct NetworkGraph {
    std::vector<Section> sections;
    std::vector<int> sectionObservations;  // the measurements of every section, section by section
    std::vector<int> selfObservations;     // observations whose two ends are one point

    // Sections at each point: adjacent[adjacencyStart[p] .. adjacencyStart[p + 1]), and the point
    // at the other end of each (neighbour[k] for adjacent[k]), so that a search stays in these
    // arrays instead of reading every section.
    std::vector<int> adjacencyStart;
    std::vector<int> adjacent;
    std::vector<int> neighbour;

    std::vector<int> partOfPoint;             // per point
    std::vector<std::vector<int>> partPoints;  // per part, in point order; parts ordered by first point

    int partCount() const { return int(partPoints.size()); }
    std::span<const int> observationsOf(int section) const
    {
        const Section& s = sections[section];
        return {sectionObservations.data() + s.firstObservation, std::size_t(s.observationCount)};
    }
    int otherEnd(int section, int point) const
    {
        const Section& s = sections[section];
        return s.a == point ? s.b : s.a;
    }
    // The height difference of `section` walked from `point` to its other end, m.
    double dhFrom(int section, int point) const
    {
        const Section& s = sections[section];
        return s.a == point ? s.dh : -s.dh;
    }
};

NetworkGraph buildNetworkGraph(const Network& network);

}  // namespace korvane::analysis
