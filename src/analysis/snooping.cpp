#include "snooping.h"

#include "equation_tests.h"
#include "known_groups.h"
#include "quantiles.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane::analysis {

namespace {

struct Worst {
    int equation = -1;
    double statistic = 0.0;
    int failing = 0;  // equations whose test fails
};

Worst worstFailing(const Evaluation& evaluation, const std::vector<bool>& inUse, bool byW)
{
    Worst worst;
    for (int e = 0; e < int(evaluation.tests.size()); ++e) {
        const ObservationTest& test = evaluation.tests[e];
        if (!inUse[e] || !test.fails)
            continue;
        ++worst.failing;
        const double value = byW ? *test.w : *test.tau;
        if (worst.equation < 0 || std::abs(value) > std::abs(worst.statistic))
            worst = {e, value, worst.failing};
    }
    return worst;
}

EquationRef referenceTo(const Equation& equation)
{
    return equation.observation >= 0 ? EquationRef{false, equation.observation} : EquationRef{true, equation.to};
}

struct Misfit {
    double value = 0.0;   // mm
    double spread = 0.0;  // its cofactor
};

// A removed equation against the final adjustment. A height of a group is correlated with the
// group's heights in use (g): its misfit is v_i - Q_ig Q_gg^-1 v_g, uncorrelated with them and
// so with the adjusted heights, with the cofactor Q_ii - Q_ig Q_gg^-1 Q_gi + c'Q_xx c for
// c = e_i - Q_gg^-1 Q_gi over the group's points.
Misfit misfitOf(const AdjustmentModel& model, const Adjuster& adjuster, const AdjustmentRuns& runs, int e)
{
    const Equation& equation = model.equations[e];
    Misfit misfit{runs.final.residualsMm[e], 0.0};
    if (model.groupOfEquation[e] < 0) {
        misfit.spread = 1.0 / equation.weight + adjuster.equationCofactor(e);
        return misfit;
    }
    const EquationGroup& group = model.groups[model.groupOfEquation[e]];
    const ActiveGroup active = activeGroup(group, runs.inUse);
    const int self = int(std::find(group.equations.begin(), group.equations.end(), e) - group.equations.begin());
    const int n = int(active.equations.size());
    Eigen::VectorXd between(n);
    for (int j = 0; j < n; ++j)
        between[j] = group.cofactors(active.members[j], self);
    const Eigen::VectorXd a = active.weights * between;
    std::vector<int> points(n);
    for (int j = 0; j < n; ++j) {
        points[j] = model.equations[active.equations[j]].to;
        misfit.value -= a[j] * runs.final.residualsMm[active.equations[j]];
    }
    double adjusted = adjuster.cofactor(equation.to, equation.to);
    for (int j = 0; j < n; ++j) {
        adjusted -= 2.0 * a[j] * adjuster.cofactor(equation.to, points[j]);
        for (int k = 0; k < n; ++k)
            adjusted += a[j] * a[k] * adjuster.cofactor(points[j], points[k]);
    }
    misfit.spread = group.cofactors(self, self) - between.dot(a) + adjusted;
    return misfit;
}

}  // namespace

AdjustmentRuns runAdjustments(const AdjustmentModel& model, const NetworkGraph& graph, Adjuster& adjuster,
                              const AnalysisOptions& options, const std::function<void(int, int)>& stepDone)
{
    AdjustmentRuns runs;
    runs.inUse.assign(model.equations.size(), true);
    runs.final = adjuster.adjust(runs.inUse);
    if (!options.snoop)
        return runs;

    const bool byW = model.sigma0Apriori.has_value();
    while (options.snoopLimit == 0 || int(runs.steps.size()) < options.snoopLimit) {
        // A removal must leave a redundancy of at least one.
        if (runs.final.dof < 2)
            break;
        const Evaluation evaluation = evaluate(model, graph, adjuster, runs.final, runs.inUse, options, nullptr);
        const Worst worst = worstFailing(evaluation, runs.inUse, byW);
        if (worst.equation < 0)
            break;
        if (options.snoopStop == SnoopStop::GlobalTestPasses &&
            (evaluation.global.verdict == GlobalVerdict::Passes || evaluation.global.verdict == GlobalVerdict::TooSmall))
            break;
        if (runs.steps.empty())
            runs.firstGlobal = evaluation.global;
        SnoopStep step;
        step.step = int(runs.steps.size()) + 1;
        step.removed = referenceTo(model.equations[worst.equation]);
        step.statisticName = byW ? "w" : "tau";
        step.statistic = worst.statistic;
        step.critical = byW ? evaluation.levels.wCritical : *evaluation.levels.tauCritical;
        step.dof = runs.final.dof;
        step.sigma0Posterior = evaluation.global.sigma0Posterior;
        runs.steps.push_back(step);
        runs.inUse[worst.equation] = false;
        runs.final = adjuster.adjust(runs.inUse);
        if (stepDone)
            stepDone(step.step, worst.failing);
    }
    return runs;
}

void testReadmission(std::vector<SnoopStep>& steps, const AdjustmentModel& model, const Adjuster& adjuster,
                     const AdjustmentRuns& runs, const GlobalTest& finalGlobal, const TestLevels& finalLevels)
{
    const bool apriori = model.sigma0Apriori.has_value();
    const Quantity sigma0 = apriori ? finalGlobal.sigma0Apriori : finalGlobal.sigma0Posterior;
    Quantity critical;
    if (apriori)
        critical = computed(finalLevels.wCritical);
    else if (runs.final.dof >= 1)
        critical = computed(studentUpperQuantile(
            runs.final.dof, std::max(finalLevels.alpha0 / 2.0, std::numeric_limits<double>::min())));

    for (int e = 0; e < model.equationCount(); ++e) {
        if (runs.inUse[e])
            continue;
        const Equation& equation = model.equations[e];
        const EquationRef ref = referenceTo(equation);
        for (SnoopStep& step : steps) {
            if (step.removed.knownHeight != ref.knownHeight || step.removed.index != ref.index)
                continue;
            const auto [misfit, spread] = misfitOf(model, adjuster, runs, e);
            step.misfit = computed(misfit);
            if (sigma0 && *sigma0 > 0.0 && spread > 0.0)
                step.readmissionStatistic = computed(misfit / (*sigma0 * std::sqrt(spread)));
            step.readmissionCritical = critical;
            step.readmissible = step.readmissionStatistic && critical && std::abs(*step.readmissionStatistic) <= *critical;
        }
    }
}

}  // namespace korvane::analysis
