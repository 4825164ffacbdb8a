#include "known_groups.h"

#include <Eigen/Cholesky>

namespace korvane::analysis {

ActiveGroup activeGroup(const EquationGroup& group, const std::vector<bool>& inUse)
{
    ActiveGroup active;
    std::vector<int>& members = active.members;
    for (int i = 0; i < int(group.equations.size()); ++i) {
        if (inUse[group.equations[i]]) {
            members.push_back(i);
            active.equations.push_back(group.equations[i]);
        }
    }
    const int n = int(members.size());
    active.cofactors.resize(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            active.cofactors(i, j) = group.cofactors(members[i], members[j]);
    const Eigen::MatrixXd weights = active.cofactors.llt().solve(Eigen::MatrixXd::Identity(n, n));
    active.weights = 0.5 * (weights + weights.transpose());
    return active;
}

}  // namespace korvane::analysis
