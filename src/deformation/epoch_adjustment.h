// The free adjustment of one epoch's observations in use, in benchmark numbers: each connected
// part holds its first benchmark at height 0, which leaves every residual as it is; heights are
// in mm relative to that benchmark. The comparisons of epochs move them onto the stable set.
#pragma once

#include "sparse_normals.h"

#include <memory>
#include <vector>

namespace korvane::deformation {

struct EpochObservation {
    int from = 0;  // benchmarks
    int to = 0;
    double dhMm = 0.0;
    double weight = 0.0;  // 1/mm^2 or 1/km, as in the analysis
};

struct EpochAdjustment {
    std::vector<EpochObservation> observations;
    std::vector<int> part;      // per benchmark: its part in this epoch, or -1 when not observed
    int principalPart = -1;     // the part with the most benchmarks
    std::vector<int> heldOfPart;
    std::vector<int> unknown;   // per benchmark: its unknown, or -1 (held, or not observed)
    std::vector<double> heightMm;   // per benchmark, relative to its part's held benchmark
    std::vector<double> cofactor;   // per benchmark: Q(j, j), 0 when held
    double vtpv = 0.0;              // all parts
    int dof = 0;
    double principalVtpv = 0.0;     // the observations of the principal part alone
    int principalObservations = 0;
    std::unique_ptr<SparseNormals> normals;

    bool observed(int benchmark) const { return part[benchmark] >= 0; }
    bool inPrincipal(int benchmark) const { return part[benchmark] == principalPart && principalPart >= 0; }

    // Per benchmark, (Q w)_j for weights w given per benchmark (held and unobserved ones: 0).
    std::vector<double> inverseTimes(const std::vector<double>& weights) const;
};

// Throws analysis::AnalysisFailure naming a benchmark whose height cannot be determined.
EpochAdjustment adjustEpoch(std::vector<EpochObservation> observations, const std::vector<std::string>& names);

}  // namespace korvane::deformation
