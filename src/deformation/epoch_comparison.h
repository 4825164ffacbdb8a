// Two epochs compared: the displacements of the benchmarks in both principal parts, the global
// congruence test, the search of the stable benchmarks, and every displacement moved onto the
// stable set by an S-transformation with its test and MDB.
//
// The congruence quadratic form d' Qd^+ d of a set of benchmarks is the growth of the sum of
// weighted squared residuals when both epochs are adjusted together with the set's heights
// shared, which needs no inverse of Qd. For one benchmark j, its displacement in the datum of a
// set S (mean displacement over S zero) and its cofactor are, with u = Qd e_S and s = e_S' Qd e_S
// (m benchmarks in S),
//   d_j - mean_S(d),   Qd(j, j) - 2 u_j / m + s / m^2,
// which do not depend on the datums the two epochs were adjusted in.
#pragma once

#include "deformation.h"
#include "epoch_adjustment.h"

#include <functional>
#include <string>
#include <vector>

namespace korvane::deformation {

struct ComparisonSettings {
    StableSearch method = StableSearch::Iterative;
    std::vector<char> given;  // per benchmark, under StableSearch::Given
    double alpha = 0.05;
    double power = 0.80;
    double sigma0 = 1.0;  // pooled, in the weights' units
    int dof = 1;          // pooled
    std::function<void()> pause;
};

EpochComparison compareEpochs(const EpochAdjustment& a, const EpochAdjustment& b, int from, int to,
                              const ComparisonSettings& settings);

// d' Qd^+ d over the benchmarks of `inSet` (in both principal parts), in the weights' units.
double congruenceForm(const EpochAdjustment& a, const EpochAdjustment& b, const std::vector<char>& inSet);

}  // namespace korvane::deformation
