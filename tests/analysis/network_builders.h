// Networks for the analysis tests: rows written by hand, random connected networks, chains with
// a planted error, and the engine input file text of a set of rows.
#pragma once

#include "network.h"

#include <random>
#include <string>
#include <vector>

namespace korvane::analysis::testing {

ObservationRow observation(std::string from, std::string to, double dh, double distance, double grade = -9.0);
KnownPointRow knownPoint(std::string name, double height, double sigma = 0.0);
NetworkRows rowsOf(std::vector<ObservationRow> observations, std::vector<KnownPointRow> known,
                   std::string title = "test network");

struct RandomNetworkShape {
    int points = 30;
    int extraSections = 20;   // beyond a spanning tree
    int knownPoints = 3;      // the first ones held fixed, unless weighted
    bool weightedKnown = false;
    bool gradeWeighting = true;
    double noiseMm = 1.0;     // per square root of a km
    int nameLength = 6;       // characters of the point names (at most 8 for tarnex)
};

// A connected random network whose true heights are known, observations with normal errors.
struct RandomNetwork {
    NetworkRows rows;
    std::vector<double> trueHeights;  // by point name order of `names`
    std::vector<std::string> names;
};
RandomNetwork randomNetwork(const RandomNetworkShape& shape, std::mt19937& random);

// The rows as an engine input file: fixed columns, CR LF, numbers written with `decimals`.
std::string engineFileText(const NetworkRows& rows, int decimals = 5);

}  // namespace korvane::analysis::testing
