// One least-squares adjustment of the model, repeatable with observations switched off (data
// snooping): the ordering and the factor's pattern are made once, each adjustment fills in the
// numbers, factorises, solves and inverts along the factor's pattern.
//
// A group of known heights observed together adds its weight matrix P to the normal matrix as a
// dense block: the points of a group are joined pairwise in N's pattern (so the selected inverse
// holds Q on the group), and P enters as pair terms of weight -P(i, j) between members and a
// term of weight sum_j P(i, j) on each member's own height, which sum to P exactly.
#pragma once

#include "adjustment_model.h"
#include "cholesky_factor.h"
#include "known_groups.h"
#include "network.h"
#include "normal_system.h"
#include "selected_inverse.h"

#include <Eigen/Core>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace korvane::analysis {

// The cofactors of an equation's heights: Q(from, from), Q(to, to), Q(from, to); 0 for a held
// height and for the missing from-point of a known height.
struct PairCofactors {
    double from = 0.0;
    double to = 0.0;
    double between = 0.0;
};

// a'Qa of the equation's adjusted value.
double adjustedValueCofactor(const Equation& equation, const PairCofactors& q);

struct AdjustmentState {
    Eigen::VectorXd heights;      // per point, m: approximate plus correction (held points as held)
    Eigen::VectorXd residualsMm;  // per equation: adjusted minus observed value, mm (switched-off ones too)
    double vtpv = 0.0;            // sum of p v^2 over the equations in use, v in mm
    int dof = 0;                  // equations in use minus unknowns
};

class Adjuster {
public:
    // The symbolic step. `pause` is called between and inside the long steps; it may throw.
    Adjuster(const Network& network, const AdjustmentModel& model, std::function<void()> pause = {});

    // Adjusts with the equations for which `inUse` is true. Throws AnalysisFailure naming the
    // point whose height the normal equations do not determine.
    AdjustmentState adjust(const std::vector<bool>& inUse);

    // Cofactor of the heights of two points (of one part, joined by an observation or the same
    // point) in the last adjustment: times sigma0^2 it is their covariance in mm^2. A held height
    // has none (0).
    double cofactor(int pointA, int pointB) const;
    // The cofactors of equation e's heights, and a'Qa of its adjusted value.
    PairCofactors equationCofactors(int e) const;
    // Asks the memory for what equationCofactors(e) will read: a loop over the equations that
    // calls this a few equations ahead waits far less on a large network, whose inverse is far
    // larger than the processor's caches and is read out of order.
    void prefetchCofactors(int e) const;
    double equationCofactor(int e) const;
    // Per point, the sum of its row of Q over the datum points of its part (Q e_D, 0 for a held
    // height), for a model with datum points: one more solve in each adjustment of such a model.
    const Eigen::VectorXd& inverseTimesDatum() const { return rowSums_; }

    // A pair term of a group of known heights: two of its members.
    struct GroupPair {
        int group = 0;
        int first = 0;
        int second = 0;
    };

private:
    void findPlaces();
    void findRowSums();
    // Fills the weights and reduced values of the groups' equations and pair terms (after the
    // model's equations) for the equations in use; gives back each group's part in use.
    std::vector<ActiveGroup> fillGroups(const std::vector<bool>& inUse, std::vector<double>& weights,
                                        std::vector<double>& reduced) const;

    const Network& network_;
    const AdjustmentModel& model_;
    std::function<void()> pause_;
    std::vector<GroupPair> pairs_;  // the pair terms of the groups, after the model's equations
    NormalSystem system_;
    CholeskyFactor factor_;
    std::optional<SelectedInverse> inverse_;  // in the factor's place
    Eigen::VectorXd rowSums_;
    // Per equation, where Q(from, from), Q(to, to) and Q(from, to) stand in the selected inverse
    // (-1 for none); the factor's pattern never changes, so they are found once.
    std::vector<std::array<int, 3>> places_;
};

}  // namespace korvane::analysis
