#include "analyse.h"

#include "adjuster.h"
#include "adjustment_model.h"
#include "analysis_failure.h"
#include "closure_checks.h"
#include "equation_tests.h"
#include "datum_transform.h"
#include "network_checks.h"
#include "network_graph.h"
#include "result_tables.h"
#include "snooping.h"

#include <algorithm>
#include <memory>

namespace korvane::analysis {

namespace {

class ProgressSteps {
public:
    explicit ProgressSteps(const Progress& progress) : progress_(progress) {}

    void pause() const
    {
        if (progress_.cancel && progress_.cancel->load(std::memory_order_relaxed))
            throw AnalysisCancelled{};
    }
    void reached(std::string_view stage, double done) const
    {
        pause();
        if (progress_.report)
            progress_.report(stage, done);
    }
    std::function<void()> pauser() const
    {
        return [this] { pause(); };
    }

private:
    const Progress& progress_;
};

// Without --free some part with observations must have a known point that enters.
void requireDatum(const Network& network, const std::vector<PartCheck>& parts, const AnalysisOptions& options)
{
    if (options.freeNetwork)
        return;
    std::vector<std::string> names;
    for (const PartCheck& part : parts) {
        if (part.observations == 0)
            continue;
        if (part.hasDatum)
            return;
        for (int point : part.points)
            if (names.size() < 20)
                names.push_back(network.names[point]);
    }
    throw AnalysisFailure(network.known.empty()
                              ? "no known point: the heights have no datum (give known points, or adjust a free "
                                "network with --free)"
                              : "no known point lies in a part of the network that has observations: the heights "
                                "have no datum (or adjust a free network with --free)",
                          names);
}

// Per point its given height (0 for a point that is not known).
Eigen::VectorXd givenHeights(const Network& network)
{
    Eigen::VectorXd given = Eigen::VectorXd::Zero(network.pointCount());
    for (const KnownPoint& known : network.known)
        given[known.point] = known.height;
    return given;
}

}  // namespace

AnalysisResult analyse(const Network& network, const AnalysisOptions& options, const Progress& progress)
{
    if (const std::string problem = checkOptions(options); !problem.empty())
        throw AnalysisFailure(problem);
    const ProgressSteps steps(progress);

    steps.reached("checks", 0.0);
    const NetworkGraph graph = buildNetworkGraph(network);
    const AdjustmentModel model = buildAdjustmentModel(network, graph, options);
    AnalysisResult result;
    result.title = network.title;
    result.sourceName = network.sourceName;
    result.observationPlace = network.observationPlace;
    result.options = options;
    result.weighting = network.weighting;
    result.notes = model.notes;
    result.checks.parts = partChecks(network, graph, model);
    result.checks.names = nameChecks(network);
    result.checks.repeats = repeatedSectionChecks(network, graph, options.toleranceK);
    result.checks.loops = loopChecks(network, graph, options.toleranceK, steps.pauser());
    result.checks.knownLines = knownLineChecks(network, graph, options.toleranceK);
    requireDatum(network, result.checks.parts, options);

    steps.reached("ordering", 0.15);
    auto adjuster = std::make_unique<Adjuster>(network, model, steps.pauser());
    steps.reached("adjustment", 0.25);
    // Snooping runs an unknown number of steps: each moves the bar by its share of the steps it
    // has taken and the failing tests still ahead of it (an upper bound of the steps to come).
    AdjustmentRuns runs = runAdjustments(model, graph, *adjuster, options, [&](int step, int failing) {
        const double share = double(step) / double(step + std::max(failing - 1, 0));
        steps.reached("snooping step " + std::to_string(step), 0.25 + 0.6 * share);
    });

    steps.reached("statistics", 0.85);
    std::unique_ptr<DatumTransform> freeDatum;
    if (options.freeNetwork)
        freeDatum = std::make_unique<DatumTransform>(graph.partOfPoint, model.datumPoints, adjuster->inverseTimesDatum());
    const Evaluation evaluation = evaluate(model, graph, *adjuster, runs.final, runs.inUse, options, freeDatum.get());
    if (const std::string problem = redundancySumProblem(evaluation, runs.inUse, runs.final.dof); !problem.empty())
        throw AnalysisFailure(problem);
    testReadmission(runs.steps, model, *adjuster, runs, evaluation.global, evaluation.levels);
    // What the tables need of the adjustment; its memory (the factor above all) is given back
    // before the tables take theirs.
    const Eigen::VectorXd heights =
        freeDatum ? freeDatum->heights(runs.final.heights, givenHeights(network)) : runs.final.heights;
    const std::vector<double> cofactors = heightCofactors(network, *adjuster, freeDatum.get());
    freeDatum.reset();
    adjuster.reset();

    result.datumDefect = model.datumDefect();
    result.unknowns = model.unknownCount() + result.datumDefect;
    result.equations = model.equationCount();
    result.global = evaluation.global;
    result.globalBeforeSnooping = runs.firstGlobal;
    result.levels = evaluation.levels;
    result.mdbSigma0 = model.sigma0Apriori ? "a-priori" : "a-posteriori";
    result.snooping = runs.steps;
    fillPointResults(result, network, graph, model, heights, cofactors, runs, evaluation);
    fillObservationResults(result, network, model, runs, evaluation);
    steps.reached("done", 1.0);
    return result;
}

}  // namespace korvane::analysis
