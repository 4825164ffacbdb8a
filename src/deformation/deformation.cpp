#include "deformation.h"

#include "analysis_failure.h"
#include "epoch_adjustment.h"
#include "epoch_comparison.h"
#include "kinematic_model.h"

#include <boost/math/distributions/fisher_f.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <thread>
#include <unordered_map>

namespace korvane::deformation {

namespace {

bool leapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

double fisherQuantile(int dof1, int dof2, double probability)
{
    return boost::math::quantile(boost::math::fisher_f(dof1, dof2), probability);
}

std::string epochName(const EpochInput& epoch)
{
    return epoch.date + " (" + epoch.source + ")";
}

void checkCancel(const analysis::Progress& progress)
{
    if (progress.cancel && progress.cancel->load())
        throw analysis::AnalysisCancelled{};
}

void report(const analysis::Progress& progress, std::string_view stage, double done)
{
    checkCancel(progress);
    if (progress.report)
        progress.report(stage, done);
}

// The bad input a run refuses before it adjusts anything.
std::vector<double> checkedYears(const std::vector<EpochInput>& epochs, const DeformationOptions& options)
{
    if (epochs.size() < 2)
        throw DeformationFailure("a monitoring run needs two epochs or more; " + std::to_string(epochs.size()) +
                                 (epochs.size() == 1 ? " was given" : " were given"));
    std::vector<double> years;
    for (const EpochInput& epoch : epochs) {
        const std::optional<double> year = decimalYear(epoch.date);
        if (!year)
            throw DeformationFailure("epoch " + epochName(epoch) + ": " + epoch.date + " is no date YYYY-MM-DD");
        years.push_back(*year);
    }
    for (std::size_t k = 1; k < epochs.size(); ++k) {
        if (epochs[k].date == epochs[k - 1].date)
            throw DeformationFailure("two epochs have the same date " + epochs[k].date + ": " + epochName(epochs[k - 1]) +
                                     " and " + epochName(epochs[k]));
        if (years[k] <= years[k - 1])
            throw DeformationFailure("the epochs' dates must increase: " + epochName(epochs[k]) + " comes after " +
                                     epochName(epochs[k - 1]));
    }
    if (const std::string problem = analysis::checkOptions(options.analysis); !problem.empty())
        throw DeformationFailure(problem);
    if (!(options.alpha >= 1e-10 && options.alpha <= 0.5))
        throw DeformationFailure("the level of the tests must lie between 1e-10 and 50 %");
    if (!(options.rateLimitMm > 0.0 && options.rateLimitMm <= 1e4))
        throw DeformationFailure("the rate limit must lie above 0 and at most 10,000 mm per year");
    for (const EpochInput& epoch : epochs)
        if (epoch.network.weighting != epochs.front().network.weighting)
            throw DeformationFailure("epoch " + epochName(epoch) + " weights its observations " +
                                     (epoch.network.weighting == analysis::Weighting::Grade ? "by grade" : "by distance") +
                                     " and epoch " + epochName(epochs.front()) + " the other way: all epochs must weight alike");
    return years;
}

// Runs task(0 .. count-1) on up to two threads; the first exception (in index order) is
// rethrown once all have stopped, and after one no further task starts.
void inParallel(int count, const std::function<void(int)>& task)
{
    std::vector<std::exception_ptr> errors(count);
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    auto worker = [&] {
        for (int k = next++; k < count && !stop; k = next++) {
            try {
                task(k);
            } catch (...) {
                errors[k] = std::current_exception();
                stop = true;
            }
        }
    };
    const unsigned threads = std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), 2u);
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads && int(t) < count; ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool)
        t.join();
    for (const std::exception_ptr& error : errors)
        if (error)
            std::rethrow_exception(error);
}

// Per epoch, in worker threads: its analysis and its free adjustment.
struct EpochWork {
    analysis::AnalysisResult analysis;
    EpochAdjustment adjustment;
};

void runEpochs(const std::vector<EpochInput>& epochs, const DeformationOptions& options,
               const std::unordered_map<std::string, int>& benchmarkOf, const std::vector<std::string>& names,
               const analysis::Progress& progress, std::vector<EpochWork>& work)
{
    analysis::AnalysisOptions epochOptions = options.analysis;
    epochOptions.freeNetwork = true;
    epochOptions.datumPoints.clear();
    work.resize(epochs.size());
    const analysis::Progress inner{{}, progress.cancel};
    inParallel(int(epochs.size()), [&](int k) {
        try {
            const analysis::Network& network = epochs[k].network;
            analysis::AnalysisResult result = analysis::analyse(network, epochOptions, inner);
            std::vector<EpochObservation> observations;
            observations.reserve(result.observations.size());
            for (int i = 0; i < network.observationCount(); ++i) {
                if (result.observations[i].removedAtStep != 0)
                    continue;
                const analysis::Observation& o = network.observations[i];
                observations.push_back({benchmarkOf.at(network.names[o.from]), benchmarkOf.at(network.names[o.to]),
                                        o.dh * 1000.0, o.weight});
            }
            work[k].adjustment = adjustEpoch(std::move(observations), names);
            work[k].analysis = std::move(result);
        } catch (const analysis::AnalysisFailure& failure) {
            throw analysis::AnalysisFailure("epoch " + epochName(epochs[k]) + ": " + failure.what(), failure.names);
        }
    });
    report(progress, "epochs adjusted", 0.6);
}

}  // namespace

std::optional<double> decimalYear(const std::string& date)
{
    if (date.size() != 10 || date[4] != '-' || date[7] != '-')
        return std::nullopt;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (date[i] < '0' || date[i] > '9')
            return std::nullopt;
    const int y = std::stoi(date.substr(0, 4));
    const int m = std::stoi(date.substr(5, 2));
    const int d = std::stoi(date.substr(8, 2));
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return std::nullopt;
    const int inMonth = kDays[m - 1] + (m == 2 && leapYear(y) ? 1 : 0);
    if (d > inMonth)
        return std::nullopt;
    int dayOfYear = d - 1;
    for (int k = 0; k < m - 1; ++k)
        dayOfYear += kDays[k] + (k == 1 && leapYear(y) ? 1 : 0);
    return y + dayOfYear / (leapYear(y) ? 366.0 : 365.0);
}

const char* velocityClassName(VelocityClass kind)
{
    switch (kind) {
    case VelocityClass::Reference: return "reference";
    case VelocityClass::Still: return "still";
    case VelocityClass::Moving: return "moving";
    case VelocityClass::BeyondLimit: return "beyond-limit";
    case VelocityClass::NoVelocity: break;
    }
    return "none";
}

DeformationResult analyseDeformation(std::vector<EpochInput> epochs, const DeformationOptions& options,
                                     const analysis::Progress& progress)
{
    const std::vector<double> years = checkedYears(epochs, options);
    DeformationResult result;
    result.options = options;

    // Benchmarks by full name, in order of first appearance; each epoch must share one.
    std::unordered_map<std::string, int> benchmarkOf;
    std::vector<int> epochsHolding;
    for (const EpochInput& epoch : epochs)
        for (const std::string& name : epoch.network.names)
            if (benchmarkOf.emplace(name, int(result.benchmarks.size())).second) {
                result.benchmarks.push_back(name);
                epochsHolding.push_back(0);
            }
    for (const EpochInput& epoch : epochs)
        for (const std::string& name : epoch.network.names)
            ++epochsHolding[benchmarkOf[name]];
    for (const EpochInput& epoch : epochs)
        if (std::none_of(epoch.network.names.begin(), epoch.network.names.end(),
                         [&](const std::string& name) { return epochsHolding[benchmarkOf[name]] > 1; }))
            throw DeformationFailure("epoch " + epochName(epoch) + " has no benchmark in common with the other epochs");
    const int n = int(result.benchmarks.size());
    std::vector<char> given(n, 0);
    if (options.stable == StableSearch::Given) {
        std::vector<std::string> unknown;
        for (const std::string& name : options.stableNames) {
            const auto at = benchmarkOf.find(name);
            if (at == benchmarkOf.end())
                unknown.push_back(name);
            else
                given[at->second] = 1;
        }
        if (!unknown.empty()) {
            std::string list;
            for (const std::string& name : unknown)
                list += (list.empty() ? "" : ", ") + name;
            throw DeformationFailure("no epoch holds the stable benchmark" + std::string(unknown.size() > 1 ? "s " : " ") + list);
        }
        if (options.stableNames.empty())
            throw DeformationFailure("the list of stable benchmarks is empty");
    }

    report(progress, "adjusting the epochs", 0.0);
    std::vector<EpochWork> work;
    runEpochs(epochs, options, benchmarkOf, result.benchmarks, progress, work);

    // One sigma0 from all epochs, and each epoch's against the others'.
    double vtpv = 0.0;
    for (const EpochWork& w : work) {
        vtpv += w.adjustment.vtpv;
        result.pooledDof += w.adjustment.dof;
    }
    double sigma0 = 0.0;
    int dof = result.pooledDof;
    if (dof > 0) {
        sigma0 = std::sqrt(vtpv / dof);
        result.pooledSigma0 = sigma0;
    } else if (options.analysis.sigma0 || epochs.front().network.weighting == analysis::Weighting::Grade) {
        sigma0 = options.analysis.sigma0.value_or(1.0);
        dof = 1000000;
        result.notes.push_back("no epoch has redundant observations: the tests use the a-priori sigma0");
    } else {
        throw DeformationFailure("no epoch has redundant observations, and without an a-priori sigma0 nothing can be tested");
    }
    if (!(sigma0 > 0.0)) {
        sigma0 = 1e-6;
        result.notes.push_back("the observations fit without residuals: sigma0 is taken as 1e-6");
    }

    for (int k = 0; k < int(epochs.size()); ++k) {
        EpochResult e;
        e.date = epochs[k].date;
        e.year = years[k];
        e.source = epochs[k].source;
        const EpochAdjustment& a = work[k].adjustment;
        e.observations = int(a.observations.size());
        e.benchmarks = epochs[k].network.pointCount();
        e.vtpv = a.vtpv;
        e.dof = a.dof;
        if (a.dof > 0)
            e.sigma0 = std::sqrt(a.vtpv / a.dof);
        const int otherDof = result.pooledDof - a.dof;
        if (a.dof > 0 && otherDof > 0 && vtpv - a.vtpv > 0.0) {
            e.varianceRatio = (a.vtpv / a.dof) / ((vtpv - a.vtpv) / otherDof);
            e.varianceLower = fisherQuantile(a.dof, otherDof, options.alpha / 2.0);
            e.varianceUpper = fisherQuantile(a.dof, otherDof, 1.0 - options.alpha / 2.0);
            e.varianceAgrees = *e.varianceRatio >= *e.varianceLower && *e.varianceRatio <= *e.varianceUpper;
            result.variancesAgree = result.variancesAgree && e.varianceAgrees;
        }
        for (int j = 0; j < n; ++j) {
            if (a.inPrincipal(j))
                e.principal.push_back(j);
            else if (a.observed(j))
                e.cutOff.push_back(j);
        }
        e.analysis = std::move(work[k].analysis);
        result.epochs.push_back(std::move(e));
    }

    // The comparisons: each consecutive pair, then first against last.
    ComparisonSettings settings;
    settings.method = options.stable;
    settings.given = given;
    settings.alpha = options.alpha;
    settings.power = options.analysis.power;
    settings.sigma0 = sigma0;
    settings.dof = dof;
    settings.pause = [&] { checkCancel(progress); };
    std::vector<std::pair<int, int>> pairs;
    for (int k = 1; k < int(epochs.size()); ++k)
        pairs.emplace_back(k - 1, k);
    if (epochs.size() > 2)
        pairs.emplace_back(0, int(epochs.size()) - 1);
    report(progress, "comparing the epochs", 0.6);
    result.comparisons.resize(pairs.size());
    inParallel(int(pairs.size()), [&](int p) {
        const auto [from, to] = pairs[p];
        EpochComparison c = compareEpochs(work[from].adjustment, work[to].adjustment, from, to, settings);
        for (int k : {from, to})
            if (work[k].adjustment.heldOfPart.size() > 1)
                c.notes.push_back("epoch " + epochs[k].date + " holds " + std::to_string(work[k].adjustment.heldOfPart.size() - 1) +
                                  " part(s) cut off from its principal part: their benchmarks are not compared");
        if (c.displacements.size() < 2)
            c.notes.push_back("fewer than two benchmarks in common: no congruence test");
        result.comparisons[p] = std::move(c);
    });

    // The kinematic adjustment in the datum of the stable set.
    report(progress, "kinematic adjustment", 0.85);
    std::vector<EpochAdjustment> adjustments;
    adjustments.reserve(work.size());
    for (EpochWork& w : work)
        adjustments.push_back(std::move(w.adjustment));
    KinematicInput input;
    input.epochs = &adjustments;
    input.years = years;
    input.names = &result.benchmarks;
    input.stable.assign(n, 0);
    if (options.stable == StableSearch::Given) {
        input.stable = given;
    } else {
        for (int j : result.comparisons.back().stableSet)
            input.stable[j] = 1;
    }
    input.referenceHeightM.assign(n, std::nan(""));
    {
        const analysis::AnalysisResult& first = result.epochs.front().analysis;
        for (const analysis::PointResult& point : first.points)
            if (point.height)
                input.referenceHeightM[benchmarkOf[point.name]] = *point.height;
    }
    input.sigma0 = sigma0;
    input.dof = dof;
    input.alpha = options.alpha;
    input.rateLimitMm = options.rateLimitMm;
    input.pause = [&] { checkCancel(progress); };
    KinematicOutput kinematic = adjustKinematic(input);
    result.kinematic = kinematic.summary;
    result.velocities = std::move(kinematic.velocities);

    // Each epoch's heights in the datum of the model: each part moved onto the model's heights at
    // the epoch's date over its stable benchmarks (or all it shares with the model).
    for (int k = 0; k < int(adjustments.size()); ++k) {
        const EpochAdjustment& a = adjustments[k];
        EpochResult& e = result.epochs[k];
        e.heights.assign(n, Quantity());
        e.heightSigmas.assign(n, Quantity());
        const double tau = years[k] - years.front();
        const int parts = int(a.heldOfPart.size());
        std::vector<double> sum(parts, 0.0), stableSum(parts, 0.0);
        std::vector<int> count(parts, 0), stableCount(parts, 0);
        std::vector<double> datumWeights(n, 0.0);
        for (int j = 0; j < n; ++j) {
            if (!a.observed(j) || !kinematic.hasModel(j))
                continue;
            const double offset = kinematic.heightM[j] * 1000.0 + kinematic.velocityMm[j] * tau - a.heightMm[j];
            sum[a.part[j]] += offset;
            ++count[a.part[j]];
            if (input.stable[j]) {
                stableSum[a.part[j]] += offset;
                ++stableCount[a.part[j]];
                if (a.part[j] == a.principalPart)
                    datumWeights[j] = 1.0;
            }
        }
        const double m = std::count(datumWeights.begin(), datumWeights.end(), 1.0);
        const std::vector<double> u = m > 0 ? a.inverseTimes(datumWeights) : std::vector<double>(n, 0.0);
        double s = 0.0;
        for (int j = 0; j < n; ++j)
            s += datumWeights[j] * u[j];
        for (int j = 0; j < n; ++j) {
            if (!a.observed(j))
                continue;
            const int part = a.part[j];
            if (stableCount[part] == 0 && count[part] == 0)
                continue;
            const double shift = stableCount[part] > 0 ? stableSum[part] / stableCount[part] : sum[part] / count[part];
            e.heights[j] = (a.heightMm[j] + shift) / 1000.0;
            const double q = part == a.principalPart && m > 0 ? a.cofactor[j] - 2.0 * u[j] / m + s / (m * m) : a.cofactor[j];
            e.heightSigmas[j] = sigma0 * std::sqrt(std::max(q, 0.0));
        }
    }
    for (const VelocityRow& row : result.velocities)
        if (row.kind == VelocityClass::NoVelocity && row.note == "observed in one epoch only: no velocity")
            result.notes.push_back(result.benchmarks[row.benchmark] + " is observed in one epoch only: it has no velocity");
    report(progress, "done", 1.0);
    return result;
}

}  // namespace korvane::deformation
