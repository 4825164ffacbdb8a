// Subsidence monitoring over many epochs of levelling: each epoch's network analysis, the
// agreement of the epochs' variance factors and one pooled sigma0, the comparison of two epochs
// (global congruence test, the search of the stable benchmarks, every benchmark's displacement
// in the datum of the stable set with its test and MDB), and the kinematic adjustment of all
// epochs together: every benchmark's height at the first epoch and its velocity.
//
// Benchmarks are matched across epochs by their full name. Indices are 0-based: epochs in date
// order, benchmarks in `DeformationResult::benchmarks` (first appearance over the epochs).
//
// Units: heights in m; displacements, their sigma and MDB in mm; velocities in mm per year;
// dates as decimal years. sigma0 as in the analysis (analysis_result.h): dimensionless under
// grade weighting, mm per square root of a km under distance weighting.
#pragma once

#include "analyse.h"
#include "analysis_options.h"
#include "analysis_result.h"
#include "network.h"
#include "quantity.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane::deformation {

using analysis::Quantity;

// Bad input of a monitoring run: dates not increasing, a repeated date, an epoch without a
// benchmark in common with the others, a stable benchmark that no epoch holds, fewer than two
// epochs. The message says what and names the epochs or benchmarks.
class DeformationFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A date YYYY-MM-DD as a decimal year (2021-01-01 is 2021.0, each day 1/365 or 1/366 of its
// year); nothing when the text is no such date.
std::optional<double> decimalYear(const std::string& date);

struct EpochInput {
    std::string date;    // YYYY-MM-DD
    std::string source;  // as the surveyor named it
    analysis::Network network;
};

enum class StableSearch {
    Iterative,  // drop the benchmark contributing most to the congruence form until the rest is congruent
    Iwst,       // iteratively weighted similarity transformation, then the benchmarks it finds still
    Given,      // the surveyor's list
};

struct DeformationOptions {
    // Per epoch: tolerance, test levels, a-priori sigma0, snooping. Each epoch is adjusted in the
    // datum of its own known points (as --free), whatever freeNetwork says here.
    analysis::AnalysisOptions analysis;
    StableSearch stable = StableSearch::Iterative;
    std::vector<std::string> stableNames;  // under Given
    double rateLimitMm = 30.0;             // mm per year
    double alpha = 0.05;                   // of the congruence, displacement and velocity tests
};

struct EpochResult {
    std::string date;
    double year = 0.0;
    std::string source;
    analysis::AnalysisResult analysis;  // checks, adjustment, global test, snooping
    int observations = 0;               // in use after snooping
    int benchmarks = 0;
    // The free adjustment of the epoch's observations in use (its principal part: the part with
    // the most benchmarks; benchmarks of other parts are not compared, see notes).
    double vtpv = 0.0;
    int dof = 0;
    Quantity sigma0;  // a-posteriori
    // F test of this epoch's variance factor against the pooled one of the other epochs.
    Quantity varianceRatio;  // sigma0^2 / sigma0(others)^2
    Quantity varianceLower;  // F quantiles at alpha/2 and 1 - alpha/2
    Quantity varianceUpper;
    bool varianceAgrees = true;
    std::vector<int> principal;        // benchmarks of the principal part
    std::vector<int> cutOff;           // benchmarks in other parts
    std::vector<Quantity> heights;     // per benchmark (DeformationResult::benchmarks): m, in the stable set's datum; none when not in this epoch
    std::vector<Quantity> heightSigmas;  // per benchmark, mm
};

struct Congruence {
    int benchmarks = 0;          // the set tested
    double quadraticForm = 0.0;  // d' Qd^+ d (in the weights' units)
    int rank = 0;                // of Qd: benchmarks minus one
    Quantity statistic;          // quadraticForm / (rank sigma0^2), F(rank, pooled dof)
    Quantity critical;           // F quantile at 1 - alpha
    bool congruent = true;
};

struct DisplacementRow {
    int benchmark = 0;
    Quantity displacementMm;  // later minus earlier height, in the datum of the stable set
    Quantity sigmaMm;
    Quantity statistic;  // |t|: in the datum of the stable set without the benchmark itself
    Quantity critical;   // t quantile at 1 - alpha/2 with the pooled dof
    Quantity mdbMm;      // the smallest displacement the test finds with power `options.analysis.power`
    bool significant = false;
    bool stable = false;  // in the stable set
};

struct EpochComparison {
    int from = 0;  // epochs
    int to = 0;
    Quantity varianceRatio;  // sigma0(from)^2 / sigma0(to)^2, F test at alpha
    Quantity varianceLower;
    Quantity varianceUpper;
    bool varianceAgrees = true;
    Congruence all;     // every common benchmark
    Congruence stable;  // the stable set found
    std::vector<int> stableSet;
    int searchSteps = 0;  // adjustments the search needed
    std::vector<DisplacementRow> displacements;  // the common benchmarks, in benchmark order
    std::vector<std::string> notes;
};

enum class VelocityClass { Reference, Still, Moving, BeyondLimit, NoVelocity };

struct VelocityRow {
    int benchmark = 0;
    std::vector<int> epochs;   // the epochs it was observed in
    Quantity heightM;          // at the first epoch's date
    Quantity heightSigmaMm;
    Quantity velocityMmPerYear;
    Quantity sigmaMmPerYear;
    Quantity statistic;  // |t|
    Quantity critical;
    bool significant = false;
    bool stable = false;  // in the velocity datum's set
    VelocityClass kind = VelocityClass::NoVelocity;
    std::string note;  // e.g. why it has no velocity
};

struct KinematicAdjustment {
    double referenceYear = 0.0;  // the first epoch
    int unknowns = 0;
    int observations = 0;
    int dof = 0;
    double vtpv = 0.0;
    Quantity sigma0;  // a-posteriori, of the kinematic model
    std::vector<int> stableSet;  // velocities of these have mean zero
};

struct DeformationResult {
    DeformationOptions options;
    std::vector<std::string> benchmarks;
    std::vector<EpochResult> epochs;
    // sigma0 pooled over the epochs' free adjustments: sqrt(sum vtpv / sum dof).
    Quantity pooledSigma0;
    int pooledDof = 0;
    bool variancesAgree = true;
    std::vector<EpochComparison> comparisons;  // consecutive pairs, then first against last (when more than two)
    KinematicAdjustment kinematic;
    std::vector<VelocityRow> velocities;  // per benchmark
    std::vector<std::string> notes;
};

// Runs the whole monitoring. `progress` as in the analysis (stages in words, share done, cancel).
// Throws DeformationFailure for bad input, analysis::AnalysisFailure when an epoch cannot be
// adjusted (with the epoch's date in the message), analysis::AnalysisCancelled when cancelled.
DeformationResult analyseDeformation(std::vector<EpochInput> epochs, const DeformationOptions& options,
                                     const analysis::Progress& progress = {});

const char* velocityClassName(VelocityClass kind);  // "reference", "still", "moving", "beyond-limit", "none"

}  // namespace korvane::deformation
