// An independent adjustment for the tests: dense matrices, no ordering, no selected inversion,
// the textbook formulas (N = A'PA, Q = N^-1, Qvv = P^-1 - A Q A', r = p Qvv). Every part of the
// network must hold a known point. Known points with sigma <= 0 are held; the others are
// observations of their height with weight unit^2 / (1000 sigma)^2.
#pragma once

#include "network.h"

#include <Eigen/Dense>

#include <vector>

namespace korvane::analysis::testing {

struct DenseEquation {
    int from;  // -1 for a known height
    int to;
    double value;  // m
    double weight;
};

struct DenseAdjustment {
    std::vector<DenseEquation> equations;  // observations in order, then weighted known heights
    std::vector<int> unknownOfPoint;
    Eigen::MatrixXd design;  // A, rows per equation
    Eigen::MatrixXd cofactors;  // Q = N^-1, per unknown
    Eigen::VectorXd heights;     // per point, m
    Eigen::VectorXd residualsMm;  // per equation
    Eigen::VectorXd redundancy;   // per equation
    Eigen::VectorXd residualCofactors;  // Qvv diagonal, mm^2 per unit weight
    double vtpv = 0.0;
    int dof = 0;
    double sigma0Posterior = 0.0;

    // Q of two points' heights (0 for a held point).
    double cofactor(int a, int b) const;
};

DenseAdjustment denseAdjustment(const Network& network, double unitSigma0);

}  // namespace korvane::analysis::testing
