// Everything an analysis finds, in one structure that the writers and a window read alike:
// the checks, the global test, every point and observation with its tests and flags, and the
// snooping steps. Indices are 0-based: points as numbered in the network (known points first),
// observations in input order. No value is NaN or infinite (see quantity.h).
//
// Units: heights and height differences in m, residuals, MDB and gross errors in mm, standard
// deviations of heights in mm, distances in km. sigma0 (a-priori and a-posteriori) is
// dimensionless under grade weighting and in mm per square root of a km under distance weighting.
#pragma once

#include "analysis_options.h"
#include "closure_checks.h"
#include "network.h"
#include "quantity.h"
#include "statistics.h"

#include <string>
#include <vector>

namespace korvane::analysis {

struct PartCheck {
    std::vector<int> points;
    std::vector<int> knownPoints;  // points of the part that are known points
    int observations = 0;
    bool hasDatum = false;  // its heights are determined: by a known point that enters, or (--free) by datum points
};

// Names that the classic engine (tarnex) would treat differently from the analysis.
struct NameFinding {
    enum class Kind {
        MergedByEightColumns,  // observation end points whose first eight columns agree: one point in tarnex
        KnownNameBeyondEight,  // a known point of more than eight columns: tarnex joins no observation to it
        TooLongForEngineFile,  // more than ten columns: does not fit the engine input file
    };
    Kind kind = Kind::MergedByEightColumns;
    std::vector<int> points;
    std::string classicName;  // the name as tarnex keeps it (first eight columns)
};

struct Checks {
    std::vector<PartCheck> parts;
    std::vector<ClosureCheck> repeats;
    std::vector<ClosureCheck> loops;
    std::vector<ClosureCheck> knownLines;
    std::vector<NameFinding> names;
};

enum class KnownRole { None, Fixed, Weighted, Compared };
enum class HeightStatus { Adjusted, Held, NoDatum };

struct PointResult {
    std::string name;
    int part = 0;
    KnownRole known = KnownRole::None;
    Quantity givenHeight;  // m
    Quantity givenSigma;   // m
    HeightStatus status = HeightStatus::Adjusted;
    Quantity height;        // m
    Quantity sigma;         // mm, from the a-posteriori sigma0
    Quantity sigmaApriori;  // mm, from the a-priori sigma0
    // A weighted known point: its height tested as an observation (residual adjusted minus given).
    std::optional<ObservationTest> knownTest;
    int removedAtStep = 0;  // snooping step that removed its known height, or 0
    // --free: adjusted minus given height, mm, in the datum of the part's datum points (over
    // which these differences sum to zero).
    Quantity freeOffset;
};

struct ObservationResult {
    int from = 0;
    int to = 0;
    long row = 0;  // where it stands: AnalysisResult::observationOrigin
    double dh = 0.0;
    double distance = 0.0;
    double grade = 0.0;
    double weight = 0.0;
    Quantity adjustedDh;  // m
    // The tests in the final adjustment. For an observation removed by snooping only `residual`
    // is set: its misfit against the final adjustment (adjusted minus observed).
    ObservationTest test;
    int removedAtStep = 0;  // 0 when in use
    bool flagged() const { return test.fails; }
};

// Which equation a snooping step removed: an observation, or the height of a known point.
struct EquationRef {
    bool knownHeight = false;
    int index = 0;  // observation index, or point index for a known height
};

struct SnoopStep {
    int step = 0;  // from 1
    EquationRef removed;
    std::string statisticName;  // "w" or "tau"
    double statistic = 0.0;
    double critical = 0.0;
    int dof = 0;               // of the adjustment it was found in
    Quantity sigma0Posterior;  // of that adjustment
    // The readmission test in the final adjustment: misfit e = predicted minus observed (mm),
    // e / (sigma0 sqrt(1/p + a'Qa)) against the normal (a-priori sigma0) or Student t
    // (a-posteriori) quantile; `readmissible` when it passes.
    Quantity misfit;
    Quantity readmissionStatistic;
    Quantity readmissionCritical;
    bool readmissible = false;
};

struct AnalysisResult {
    std::string title;
    std::string sourceName;
    std::string observationPlace;  // the text before an observation's row number
    AnalysisOptions options;
    Weighting weighting = Weighting::Distance;
    std::vector<std::string> notes;

    Checks checks;
    int unknowns = 0;      // heights adjusted
    int datumDefect = 0;   // heights the observations alone leave undetermined: one per part held for its datum
    int equations = 0;     // observations and weighted known heights
    GlobalTest global;     // of the final adjustment
    std::optional<GlobalTest> globalBeforeSnooping;
    TestLevels levels;     // of the final adjustment
    std::string mdbSigma0;  // "a-priori" or "a-posteriori": the sigma0 of MDB

    std::vector<PointResult> points;
    std::vector<ObservationResult> observations;
    std::vector<SnoopStep> snooping;

    // Where observation i stands, e.g. "net.dat, line 5".
    std::string observationOrigin(int i) const { return observationPlace + std::to_string(observations[i].row); }
};

}  // namespace korvane::analysis
