#include "reliability.h"

#include "fixed_fields.h"

#include <algorithm>
#include <cmath>

namespace tarnex {

namespace {

double inverseElement(const std::vector<double>& z, const Profile& profile, int i, int j)
{
    return z[profile.at(std::max(i, j), std::min(i, j))];
}

}  // namespace

SnoopingResult(TEST)(double v, double p, double r, double sigma0, bool hasFreedom)
{
    if (!hasFreedom || r < kUncheckable)
        return {999.0, 'N'};
    if (sigma0 <= 0.0)
        return {0.0, '.'};
    const double w = std::fabs(v * std::sqrt(p) / (std::sqrt(r) * sigma0));
    return {w, w > kSnoopingLimit ? 'R' : '.'};
}

RedundancyResult RELIO(int sequence, const std::vector<double>& z, const Profile& profile, int from, int to,
                       double v, double p, double sigma0, bool hasFreedom, Console& console, RecordFile& report)
{
    RedundancyResult result;
    double q = 0.0;
    if (from != to)
        q = inverseElement(z, profile, from, from) - 2.0 * inverseElement(z, profile, from, to) +
            inverseElement(z, profile, to, to);
    result.r = 1.0 - p * q;
    if (result.r < kNegativeRedundancy) {
        const Record line = Record().A(" *** rt < 0 of obs. no. ").I(sequence, 3).A(" ***");
        console.write(line);
        report.write(line);
        result.negative = true;
        result.test = {999.0, 'N'};
        return result;
    }
    result.test = (TEST)(v, p, result.r, sigma0, hasFreedom);
    return result;
}

Marks observationMarks(double r, char secondMark, double vCm)
{
    return {r < kWarningRedundancy ? '1' : '.', secondMark, std::fabs(vCm) > kQuestionableCm ? '?' : ' '};
}

}  // namespace tarnex
