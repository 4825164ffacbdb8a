// What the surveyor chooses for an analysis: the misclosure tolerance, the test levels, the
// a-priori standard deviation under distance weighting, the datum and data snooping. A plain
// struct, filled by `korvane analyse` from its options or by a window from its controls.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::analysis {

// A named order of precise levelling and its misclosure tolerance k * sqrt(K) mm (K in km).
struct ToleranceClass {
    std::string_view name;
    std::string_view description;
    double k;  // mm
};

// first-I 4 mm, first-II 5 mm, second-I 6 mm, second-II 8 mm, third 12 mm.
std::span<const ToleranceClass> toleranceClasses();
const ToleranceClass* findToleranceClass(std::string_view name);

inline constexpr std::string_view kDefaultToleranceClass = "third";

// How the level alpha0 of each observation's test is chosen.
enum class LocalLevelRule {
    Given,       // alpha0 as set
    BMethod,     // Baarda's B-method: the level at which the test of one observation finds, with the
                 // chosen power, the same bias as the global test at alpha with its degrees of freedom
    FamilyWise,  // alpha spread over all the observations' tests (Sidak): the chance of any false
                 // alarm in the whole network is alpha
};

// When data snooping stops: once no test fails, or already once the global test passes.
enum class SnoopStop { NoneFails, GlobalTestPasses };

struct AnalysisOptions {
    double toleranceK = 12.0;  // mm per square root of a km
    // The class `toleranceK` comes from, or empty when k was given directly.
    std::string toleranceClass = std::string(kDefaultToleranceClass);

    double alpha = 0.05;    // level of the global test
    double alpha0 = 0.001;  // level of each observation's test (w and tau) under LocalLevelRule::Given
    LocalLevelRule alpha0Rule = LocalLevelRule::Given;
    double power = 0.80;    // power of each observation's test, for the minimal detectable bias

    // A-priori standard deviation of unit weight under distance weighting, mm per square root of
    // a km. Under grade weighting the a-priori value is 1 and this is not used.
    std::optional<double> sigma0;

    bool freeNetwork = false;  // adjust without the known points; the datum comes from them (below)
    // Under freeNetwork, the known points that give each part its datum: the corrections of
    // their adjusted heights to their given heights sum to zero. Empty: every known point of
    // the part. Names as given; each must be a known point.
    std::vector<std::string> datumPoints;
    bool snoop = false;        // remove the worst observation and adjust again, while one fails
    int snoopLimit = 0;        // most removals; 0 allows as many as the redundancy permits
    SnoopStop snoopStop = SnoopStop::NoneFails;
};

// A description of what is wrong with the options, or empty when they can be used.
std::string checkOptions(const AnalysisOptions& options);

}  // namespace korvane::analysis
