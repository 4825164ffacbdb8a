// An independent adjustment for the tests: dense matrices, no ordering, no selected inversion,
// the textbook formulas (N = A'PA, Q = N^-1, Qvv = P^-1 - A Q A', r = (Qvv P)_ii). Every part of
// the network must hold a known point. Known points with sigma <= 0 are held; the others are
// observations of their height with weight unit^2 / (1000 sigma)^2, or, in a group observed
// together, with the weight matrix unit^2 C^-1 (C in mm^2): P is a full matrix.
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
    Eigen::MatrixXd weights;  // P
    Eigen::MatrixXd cofactors;  // Q = N^-1, per unknown
    Eigen::VectorXd heights;     // per point, m
    Eigen::VectorXd residualsMm;  // per equation
    Eigen::VectorXd redundancy;   // per equation
    Eigen::VectorXd residualCofactors;  // Qvv diagonal, mm^2 per unit weight
    Eigen::VectorXd reducedWeights;  // (P Qvv P)_ii
    Eigen::VectorXd standardized;  // (P v)_i / sqrt((P Qvv P)_ii): w times the a-priori sigma0
    Eigen::VectorXd grossErrors;   // -(P v)_i / (P Qvv P)_ii, mm
    double vtpv = 0.0;
    int dof = 0;
    double sigma0Posterior = 0.0;

    // Q of two points' heights (0 for a held point).
    double cofactor(int a, int b) const;
};

DenseAdjustment denseAdjustment(const Network& network, double unitSigma0);

}  // namespace korvane::analysis::testing
