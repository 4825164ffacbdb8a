#include "equation_tests.h"

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
