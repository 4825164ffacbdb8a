// The minimum-trace datum of a free network. The adjustment holds one point of each part at its
// approximate height (a particular solution x_p with cofactors Q_p); the minimum-trace solution
// of a part P with n points is its S-transform
//
//   x(i)   = x_p(i) - mean over P of x_p
//   Q(a,b) = Q_p(a,b) - (g(a) + g(b)) / n + c / n^2,   g = Q_p 1 (row sums), c = sum over P of g
//
// where g comes from one more solve with the factor, N g = 1 (N falls apart into the parts).
// Residuals and redundancy numbers are the same in every datum; only the heights, their
// standard deviations and the effects on heights change.
#pragma once

#include "adjuster.h"
#include "adjustment_model.h"
#include "network_graph.h"

#include <Eigen/Core>

namespace korvane::analysis {

class MinimumTraceDatum {
public:
    MinimumTraceDatum(const NetworkGraph& graph, const AdjustmentModel& model, const Adjuster& adjuster,
                      const Eigen::VectorXd& heights);

    const Eigen::VectorXd& heights() const { return heights_; }
    // Cofactor of two heights of one part in the minimum-trace datum (pairs as Adjuster::cofactor).
    double cofactor(int pointA, int pointB) const;
    // An equation's cofactors moved into the minimum-trace datum.
    PairCofactors transform(const Equation& equation, const PairCofactors& plain) const;

private:
    double moved(int pointA, int pointB, double plain) const;

    const NetworkGraph& graph_;
    const Adjuster& adjuster_;
    Eigen::VectorXd heights_;
    Eigen::VectorXd rowSums_;  // g per point (0 at the held point)
    Eigen::VectorXd partSums_;  // c per part
};

}  // namespace korvane::analysis
