#include "snooping.h"

#include "equation_tests.h"
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
            const double misfit = runs.final.residualsMm[e];
            step.misfit = computed(misfit);
            const double spread = 1.0 / equation.weight + adjuster.equationCofactor(e);
            if (sigma0 && *sigma0 > 0.0 && spread > 0.0)
                step.readmissionStatistic = computed(misfit / (*sigma0 * std::sqrt(spread)));
            step.readmissionCritical = critical;
            step.readmissible = step.readmissionStatistic && critical && std::abs(*step.readmissionStatistic) <= *critical;
        }
    }
}

}  // namespace korvane::analysis
