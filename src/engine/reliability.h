// Reliability of one observation from I to J: its redundancy number r = 1 - p q with
// q = Z(I,I) - 2 Z(I,J) + Z(J,J), its standardized residual w for data snooping, and its marks.
#pragma once

#include "channels.h"
#include "profile.h"

#include <vector>

namespace tarnex {

inline constexpr double kSnoopingLimit = 3.0;      // |w| above this: "R"
inline constexpr double kUncheckable = 1e-6;       // r below this: "N", w = 999
inline constexpr double kNegativeRedundancy = -0.001;
inline constexpr double kWarningRedundancy = 0.25; // r below this: first mark "1"
inline constexpr double kQuestionableCm = 2.0;     // |v| above this many cm: third mark "?"

struct SnoopingResult {
    double w = 0.0;  // absolute value
    char mark = '.';
};

// TEST: w = v sqrt(p) / (sqrt(r) sigma0) and the second mark. Without redundancy in the network
// (`hasFreedom` false) or with r < 1e-6 no test is possible: w = 999 and "N". With sigma0 = 0
// (every residual zero) w is 0 and the mark ".".
// (The name stands in parentheses so that a function-like macro TEST cannot capture it.)
SnoopingResult(TEST)(double v, double p, double r, double sigma0, bool hasFreedom);

struct RedundancyResult {
    double r = 0.0;
    SnoopingResult test;
    bool negative = false;  // r < -0.001: reported, not tested
};

// RELIO: r, then TEST. An r below -0.001 writes " *** rt < 0 of obs. no. " with the sequence
// number to the console and the report, and the row shows "N" with w = 999.
RedundancyResult RELIO(int sequence, const std::vector<double>& z, const Profile& profile, int from, int to,
                       double v, double p, double sigma0, bool hasFreedom, Console& console, RecordFile& report);

// The three marks of a report row.
struct Marks {
    char first;
    char second;
    char third;
};
Marks observationMarks(double r, char secondMark, double vCm);

}  // namespace tarnex
