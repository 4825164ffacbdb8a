// The datum of a part of a free network taken from its datum points: the S-transformation of a
// particular solution onto them.
//
// The adjustment holds one point of each part at its approximate height: a particular solution
// x_p with cofactors Q_p (0 in the held point's row and column). With D the datum points of a
// part P (n of them) and H their given heights, the solution whose corrections to the given
// heights sum to zero over D (the partial minimum trace) is
//
//   x(i)   = x_p(i) - mean over D of (x_p - H)
//   Q(a,b) = Q_p(a,b) - (g(a) + g(b)) / n + c / n^2,   g = Q_p e_D, c = sum over D of g
//
// with e_D 1 at the datum points and 0 elsewhere, so g comes from one more solve with the
// factor (N falls apart into the parts, and one right-hand side serves them all). Neither the
// held point nor the approximate heights leave a trace: the same observations in any order give
// the same heights and cofactors. Residuals and redundancy numbers are the same in every datum;
// only the heights, their standard deviations and the effects on heights change. A part
// without datum points has no heights.
#pragma once

#include "adjuster.h"
#include "adjustment_model.h"

#include <Eigen/Core>

#include <vector>

namespace korvane::analysis {

class DatumTransform {
public:
    // `datumOfPart`: the datum points of each part (empty: no datum); `datumRowSums`: per point
    // g = Q_p e_D (0 at a held point).
    DatumTransform(std::vector<int> partOfPoint, std::vector<std::vector<int>> datumOfPart, Eigen::VectorXd datumRowSums);

    bool hasDatum(int point) const { return !datumOfPart_[partOfPoint_[point]].empty(); }
    // The particular solution moved onto the datum points' `reference` heights (per point; only
    // the datum points' entries are read). Points of a part without datum keep their values.
    Eigen::VectorXd heights(const Eigen::VectorXd& particular, const Eigen::VectorXd& reference) const;
    // The cofactor of two heights of one part with a datum, from their cofactor `plain` in the
    // particular solution.
    double cofactor(int pointA, int pointB, double plain) const;
    // An equation's cofactors moved into the datum.
    PairCofactors transform(const Equation& equation, const PairCofactors& plain) const;

private:
    std::vector<int> partOfPoint_;
    std::vector<std::vector<int>> datumOfPart_;
    Eigen::VectorXd rowSums_;   // g per point
    Eigen::VectorXd partSums_;  // c per part
};

}  // namespace korvane::analysis
