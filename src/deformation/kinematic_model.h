// The kinematic adjustment of all epochs' observations together. A benchmark observed in two
// epochs or more has two unknowns, its height H at the first epoch's date t0 and its velocity v;
// one observed in a single epoch has its height at that epoch only. An observation of epoch k
// (date t_k, tau = t_k - t0) from i to j reads
//
//   dh = (H_j + v_j tau) - (H_i + v_i tau).
//
// Each connected part holds one benchmark's height and velocity; the heights and velocities are
// then moved onto the stable set (their means over it: velocity zero, height as the first epoch's
// analysis gives it) by an S-transformation, with the cofactors from the selected inverse and one
// solve per datum.
#pragma once

#include "deformation.h"
#include "epoch_adjustment.h"

#include <functional>
#include <vector>

namespace korvane::deformation {

struct KinematicInput {
    const std::vector<EpochAdjustment>* epochs = nullptr;
    std::vector<double> years;               // per epoch
    const std::vector<std::string>* names = nullptr;
    std::vector<char> stable;                // per benchmark
    std::vector<double> referenceHeightM;    // per benchmark: the first epoch's adjusted height, or NaN
    double sigma0 = 1.0;                     // pooled, for the tests
    int dof = 1;
    double alpha = 0.05;
    double rateLimitMm = 30.0;
    std::function<void()> pause;
};

struct KinematicOutput {
    KinematicAdjustment summary;
    std::vector<VelocityRow> velocities;  // per benchmark
    // Per benchmark, its height at a decimal year (m) as the model gives it, or NaN.
    std::vector<double> heightM;
    std::vector<double> velocityMm;
    bool hasModel(int benchmark) const { return !std::isnan(heightM[benchmark]); }
};

KinematicOutput adjustKinematic(const KinematicInput& input);

}  // namespace korvane::deformation
