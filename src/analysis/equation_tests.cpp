#include "equation_tests.h"

#include <algorithm>
#include <cmath>

namespace korvane::analysis {

namespace {

// The largest height change per unit bias, over the weight (see EquationFigures). A bias in an
// observation from i to j moves the heights by p * bias * Q a, a potential that is harmonic at
// every point but i and j (each height the weighted mean of its neighbours' and, at a known
// point, of its given height); so its extremes lie at j and i, where it is Q(j,j) - Q(i,j) and
// Q(i,j) - Q(i,i). No other column of Q is needed.
template <typename Cofactor>
double effectCofactor(const Equation& equation, const Cofactor& q)
{
    if (equation.from < 0)
        return q(equation.to, equation.to);
    const double between = q(equation.from, equation.to);
    return std::max(std::abs(q(equation.to, equation.to) - between), std::abs(between - q(equation.from, equation.from)));
}

}  // namespace

Evaluation evaluate(const AdjustmentModel& model, const NetworkGraph& graph, const Adjuster& adjuster,
                    const AdjustmentState& state, const std::vector<bool>& inUse, const AnalysisOptions& options,
                    const MinimumTraceDatum* freeDatum)
{
    Evaluation evaluation;
    evaluation.global = globalTest(state.vtpv, state.dof, model.sigma0Apriori, options.alpha);
    evaluation.levels = testLevels(options, state.dof);
    evaluation.tests.resize(model.equations.size());
    auto plain = [&](int a, int b) { return adjuster.cofactor(a, b); };
    auto minimumTrace = [&](int a, int b) { return freeDatum->cofactor(a, b); };

    for (int e = 0; e < model.equationCount(); ++e) {
        const Equation& equation = model.equations[e];
        if (!inUse[e]) {
            evaluation.tests[e].residual = computed(state.residualsMm[e]);
            continue;
        }
        EquationFigures figures;
        figures.residualMm = state.residualsMm[e];
        figures.weight = equation.weight;
        figures.cofactor = adjuster.equationCofactor(equation);
        const int part = graph.partOfPoint[equation.to];
        if (model.partHasDatum[part])
            figures.effectCofactor = effectCofactor(equation, plain);
        else if (freeDatum)
            figures.effectCofactor = effectCofactor(equation, minimumTrace);
        evaluation.tests[e] = testEquation(figures, evaluation.global, evaluation.levels);
    }
    return evaluation;
}

}  // namespace korvane::analysis
