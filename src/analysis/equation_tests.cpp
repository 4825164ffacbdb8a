#include "equation_tests.h"

#include "known_groups.h"
#include "large_memory.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace korvane::analysis {

namespace {

// The largest height change per unit bias, over the weight (see EquationFigures). A bias in an
// observation from i to j moves the heights by p * bias * Q a, a potential that is harmonic at
// every point but i and j (each height the weighted mean of its neighbours' and, at a known
// point, of its given height); so its extremes lie at j and i, where it is Q(j,j) - Q(i,j) and
// Q(i,j) - Q(i,i). No other column of Q is needed.
double effectCofactor(const Equation& equation, const PairCofactors& q)
{
    if (equation.from < 0)
        return q.to;
    return std::max(std::abs(q.to - q.between), std::abs(q.between - q.from));
}

// The tests of the heights in use of each group of known heights, as correlated observations:
// Qvv = Q_ll - Q_xx on the group, whose heights' cofactors the selected inverse holds. A bias in
// height i moves the heights by Q A'P e_i, harmonic away from the group, so its largest effect
// is on one of the group's heights.
void testGroups(const AdjustmentModel& model, const Adjuster& adjuster, const AdjustmentState& state,
                const std::vector<bool>& inUse, Evaluation& evaluation)
{
    for (const EquationGroup& group : model.groups) {
        const ActiveGroup active = activeGroup(group, inUse);
        const int n = int(active.equations.size());
        if (n == 0)
            continue;
        Eigen::MatrixXd qxx(n, n);
        Eigen::VectorXd v(n);
        for (int i = 0; i < n; ++i) {
            const int pointI = model.equations[active.equations[i]].to;
            v[i] = state.residualsMm[active.equations[i]];
            for (int j = 0; j < n; ++j)
                qxx(i, j) = adjuster.cofactor(pointI, model.equations[active.equations[j]].to);
        }
        const Eigen::MatrixXd& p = active.weights;
        const Eigen::MatrixXd qvvP = (active.cofactors - qxx) * p;
        const Eigen::MatrixXd pQvvP = p * qvvP;
        const Eigen::VectorXd pv = p * v;
        const Eigen::MatrixXd shifts = qxx * p;  // column i: the group's heights moved by a unit bias in height i
        for (int i = 0; i < n; ++i) {
            const CorrelatedFigures figures{v[i], pv[i], qvvP(i, i), pQvvP(i, i), shifts.col(i).cwiseAbs().maxCoeff()};
            evaluation.tests[active.equations[i]] = testCorrelatedEquation(figures, evaluation.global, evaluation.levels);
        }
    }
}

}  // namespace

Evaluation evaluate(const AdjustmentModel& model, const NetworkGraph& graph, const Adjuster& adjuster,
                    const AdjustmentState& state, const std::vector<bool>& inUse, const AnalysisOptions& options,
                    const DatumTransform* freeDatum)
{
    Evaluation evaluation;
    evaluation.global = globalTest(state.vtpv, state.dof, model.sigma0Apriori, options.alpha);
    evaluation.levels = testLevels(options, state.dof, int(std::count(inUse.begin(), inUse.end(), true)));
    reserveLarge(evaluation.tests, model.equations.size());
    constexpr int kPrefetchAhead = 8;
    for (int e = 0; e < model.equationCount(); ++e) {
        if (e + kPrefetchAhead < model.equationCount())
            adjuster.prefetchCofactors(e + kPrefetchAhead);
        const Equation& equation = model.equations[e];
        if (!inUse[e]) {
            evaluation.tests.emplace_back().residual = computed(state.residualsMm[e]);
            continue;
        }
        if (model.groupOfEquation[e] >= 0) {
            evaluation.tests.emplace_back();  // below, with its group
            continue;
        }
        const PairCofactors q = adjuster.equationCofactors(e);
        EquationFigures figures;
        figures.residualMm = state.residualsMm[e];
        figures.weight = equation.weight;
        figures.cofactor = adjustedValueCofactor(equation, q);
        const int part = graph.partOfPoint[equation.to];
        if (model.partHasDatum[part])
            figures.effectCofactor = effectCofactor(equation, q);
        else if (freeDatum && freeDatum->hasDatum(equation.to))
            figures.effectCofactor = effectCofactor(equation, freeDatum->transform(equation, q));
        evaluation.tests.push_back(testEquation(figures, evaluation.global, evaluation.levels));
    }
    testGroups(model, adjuster, state, inUse, evaluation);
    return evaluation;
}

std::string redundancySumProblem(const Evaluation& evaluation, const std::vector<bool>& inUse, int dof)
{
    double sum = 0.0;
    for (std::size_t e = 0; e < inUse.size(); ++e)
        if (inUse[e] && evaluation.tests[e].redundancy)
            sum += *evaluation.tests[e].redundancy;
    if (std::abs(sum - dof) <= 1e-4 * std::max(1, dof))
        return {};
    std::ostringstream text;
    text.precision(8);
    text << "the adjustment is numerically unreliable: its redundancy numbers add up to " << sum << " instead of the "
         << dof << " degrees of freedom (weights too far apart, or observations that nearly cancel)";
    return text.str();
}

}  // namespace korvane::analysis
