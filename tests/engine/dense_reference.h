// An independent dense least-squares adjustment of a levelling network, for cross-checking the
// engine: full normal matrix, Gauss-Jordan inverse, heights solved directly (no approximate
// heights, no profile).
#pragma once

#include <vector>

namespace tarnex_test {

using DenseMatrix = std::vector<std::vector<double>>;

// Inverse of a symmetric positive definite matrix by Gauss-Jordan elimination with pivoting.
DenseMatrix denseInverse(DenseMatrix matrix);
std::vector<double> multiply(const DenseMatrix& matrix, const std::vector<double>& vector);

struct DenseObservation {
    int from;  // point numbers counted from 1, as in the engine's point table
    int to;
    double dh;
    double distance;
    double grade;
};

struct DenseKnownPoint {
    int point;
    double elevation;
    double sigma;
};

struct DenseResult {
    std::vector<double> heights;     // [point - 1]
    std::vector<double> deviations;  // metres
    std::vector<double> residuals;   // metres, per observation
    std::vector<double> redundancy;  // r per observation
    double sigma0 = 0.0;
    int freedom = 0;
};

// Weights as the engine defines them: grade weighting p = 1/((1000 g)^2 d) or distance
// weighting p = 1/d; known points 1/sigma^2 (1e12 for sigma <= 0), counting in the degree of
// freedom when above 1.
DenseResult adjustDense(int points, const std::vector<DenseObservation>& observations,
                        const std::vector<DenseKnownPoint>& known, bool gradeWeighting);

}  // namespace tarnex_test
