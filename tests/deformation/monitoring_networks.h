// Levelling networks of several epochs for the monitoring tests: a grid of benchmarks with true
// heights and velocities, observed each epoch with noise of a given mm per square root of a km.
#pragma once

#include "deformation.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace korvane::deformation::testing {

struct Section {
    int from = 0;
    int to = 0;
    double km = 1.0;
};

struct Field {
    std::vector<std::string> names;
    std::vector<double> heightM;         // at the first epoch
    std::vector<double> velocityMm;      // per year
    std::vector<Section> sections;
    int known = 0;                        // the benchmark given as known point in every epoch
};

// rows x columns benchmarks 1 km apart, joined to their right and lower neighbours.
Field gridField(int rows, int columns);

struct EpochPlan {
    std::string date;
    double yearsSinceFirst = 0.0;
    // Per section: observed in this epoch. Per benchmark: present (destroyed ones and new ones not).
    std::vector<char> observed;
    std::vector<char> present;
    int known = 0;
    double knownHeightM = 0.0;  // its given height; NaN: the true one
};

// One epoch observed: height differences of the true heights at its date plus noise, or plus
// the exact errors `errors` (mm, per section) when given.
EpochInput observeEpoch(const Field& field, const EpochPlan& plan, double noiseMmPerRootKm, std::mt19937& random,
                        const std::vector<double>* errors = nullptr);

EpochPlan fullPlan(const Field& field, const std::string& date, double yearsSinceFirst);

}  // namespace korvane::deformation::testing
