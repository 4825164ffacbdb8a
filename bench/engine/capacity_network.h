// A levelling network at the engine's capacity limits: 1500 points, 2000 observations, and a
// profile of the normal matrix just under 90000 values. A traverse runs through every point
// (benchmarks at its start, a third, two thirds and its end) and ties close loops back along it;
// the tie span is the longest that keeps the profile within 90000 values.
#pragma once

#include "profile.h"

#include <string>
#include <vector>

namespace tarnex_bench {

struct NetworkObservation {
    int from;  // point numbers as the engine numbers them (benchmarks 1..4 first)
    int to;
    double dh;
    double distance;
};

struct CapacityNetwork {
    std::vector<std::string> names;  // [number - 1]
    std::vector<NetworkObservation> observations;
    std::vector<double> heights;     // true heights, [number - 1]
    int benchmarks = 4;
    int tieSpan = 0;
    long profileStorage = 0;

    std::string inputFile() const;  // the engine input file, CR LF lines
};

CapacityNetwork capacityNetwork();

// The normal matrix of the network (grade weighting as in the input file), in the profile the
// engine computes for it, with its right-hand side.
struct NormalSystem {
    tarnex::Profile profile;
    std::vector<double> matrix;  // profile storage, element 0 unused
    std::vector<double> rhs;     // index 0 unused
};

NormalSystem normalSystem(const CapacityNetwork& network);

}  // namespace tarnex_bench
