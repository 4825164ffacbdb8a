// Known heights observed together with a covariance matrix (AdjustmentModel::groups): the part
// of a group that is in use, with its weight matrix, and the tests of its heights as correlated
// observations.
#pragma once

#include "adjustment_model.h"

#include <Eigen/Core>

#include <vector>

namespace korvane::analysis {

struct ActiveGroup {
    std::vector<int> members;    // the group's members in use
    std::vector<int> equations;  // their equations
    Eigen::MatrixXd cofactors;   // their part of the group's cofactor matrix, Q_ll
    Eigen::MatrixXd weights;     // its inverse, P
};

// The members of `group` in use. A member removed while snooping leaves the others the
// inverse of their part of the cofactor matrix.
ActiveGroup activeGroup(const EquationGroup& group, const std::vector<bool>& inUse);

}  // namespace korvane::analysis
