#include "deformation_summary.h"

#include "deformation_rows.h"
#include "number_format.h"
#include "result_words.h"
#include "text_columns.h"

#include <array>
#include <string>
#include <vector>

namespace korvane::deformation {

namespace {

using analysis::fixed;
using analysis::fixedOr;
using analysis::significant;

constexpr std::string_view kNone = "-";

std::string padded(const std::string& text, int columns)
{
    const int used = analysis::columnCount(text);
    return used >= columns ? text : text + std::string(columns - used, ' ');
}

std::string leftPadded(const std::string& text, int columns)
{
    const int used = analysis::columnCount(text);
    return used >= columns ? text : std::string(columns - used, ' ') + text;
}

std::string percent(double share)
{
    return significant(100.0 * share, 4) + " %";
}

std::string nameList(const DeformationResult& result, const std::vector<int>& benchmarks, std::size_t most = 20)
{
    std::string text;
    for (std::size_t i = 0; i < benchmarks.size() && i < most; ++i)
        text += (i == 0 ? "" : ", ") + benchmarkName(result, benchmarks[i]);
    if (benchmarks.size() > most)
        text += ", ... (" + std::to_string(benchmarks.size()) + " in all)";
    return text;
}

std::string varianceText(const Quantity& ratio, const Quantity& lower, const Quantity& upper, bool agrees)
{
    if (!ratio)
        return "not computable";
    return fixed(*ratio, 3) + " in [" + fixedOr(lower, 3, kNone) + ", " + fixedOr(upper, 3, kNone) + "] " +
           (agrees ? "agrees" : "DISAGREES");
}

void writeHeading(const DeformationResult& result, std::ostream& out)
{
    const DeformationOptions& o = result.options;
    out << "Subsidence monitoring 沉陷監測\n";
    out << "  Epochs 期數 " << result.epochs.size() << ", benchmarks 水準點 " << result.benchmarks.size() << "\n";
    out << "  Tests at alpha " << percent(o.alpha) << ", rate limit 速率限值 " << significant(o.rateLimitMm, 6)
        << " mm/year, stable benchmarks 穩定點 by " << stableSearchName(o.stable);
    if (o.stable == StableSearch::Given) {
        std::string names;
        for (const std::string& name : o.stableNames)
            names += (names.empty() ? "" : ", ") + name;
        out << ": " << names;
    }
    out << "\n";
    if (!result.notes.empty()) {
        out << "\nNotes 說明:\n";
        for (const std::string& note : result.notes)
            out << "  - " << note << "\n";
    }
}

void writeEpochs(const DeformationResult& result, std::ostream& out)
{
    out << "\nEpochs 各期\n";
    out << "    no  date        " << padded("source 資料", 24)
        << "   obs  sigma0   dof  global test   variance F (ratio to the others)\n";
    for (std::size_t i = 0; i < result.epochs.size(); ++i) {
        const EpochResult& e = result.epochs[i];
        out << "    " << leftPadded(std::to_string(i + 1), 2) << "  " << padded(e.date, 10) << "  " << padded(e.source, 24)
            << leftPadded(std::to_string(e.observations), 6) << leftPadded(fixedOr(e.sigma0, 3, kNone), 8)
            << leftPadded(std::to_string(e.dof), 6) << "  " << padded(std::string(analysis::wordFor(e.analysis.global.verdict)), 12)
            << "  " << varianceText(e.varianceRatio, e.varianceLower, e.varianceUpper, e.varianceAgrees) << "\n";
        if (!e.cutOff.empty())
            out << "        not compared (apart from the network's principal part): " << nameList(result, e.cutOff) << "\n";
    }
    out << "  Pooled sigma0 合併 " << fixedOr(result.pooledSigma0, 3, "not computable") << " (degrees of freedom "
        << result.pooledDof << "); the epochs' variances " << (result.variancesAgree ? "agree" : "DISAGREE") << "\n";
}

void writeCongruence(const std::string& what, const Congruence& c, std::ostream& out)
{
    out << "  Congruence 全等性 of " << what << " (" << c.benchmarks << " benchmarks): F = " << fixedOr(c.statistic, 3, kNone);
    if (c.statistic)
        out << (c.congruent ? " <= " : " > ") << fixedOr(c.critical, 3, kNone) << ": "
            << (c.congruent ? "congruent" : "NOT congruent");
    out << "\n";
}

void writeComparison(const DeformationResult& result, const EpochComparison& c, std::ostream& out)
{
    out << "\nComparison 比較 " << epochDate(result, c.from) << " -> " << epochDate(result, c.to) << "\n";
    if (c.varianceRatio)
        out << "  Variance ratio " << varianceText(c.varianceRatio, c.varianceLower, c.varianceUpper, c.varianceAgrees)
            << "\n";
    writeCongruence("all common benchmarks", c.all, out);
    writeCongruence("the stable set", c.stable, out);
    out << "  Stable set 穩定點 " << c.stableSet.size() << ": " << nameList(result, c.stableSet) << " (" << c.searchSteps
        << " adjustments in the search)\n";
    std::vector<const DisplacementRow*> significantRows;
    for (const DisplacementRow& row : c.displacements)
        if (row.significant)
            significantRows.push_back(&row);
    out << "  Significant displacements 顯著位移: " << significantRows.size() << " of " << c.displacements.size() << "\n";
    if (!significantRows.empty())
        out << "    " << padded("name 點名", 16) << "   d(mm)  sigma(mm)     |t|    crit\n";
    for (std::size_t i = 0; i < significantRows.size() && i < std::size_t(kSummaryDisplacementsUpTo); ++i) {
        const DisplacementRow& row = *significantRows[i];
        out << "    " << padded(benchmarkName(result, row.benchmark), 16) << leftPadded(fixedOr(row.displacementMm, 2, kNone), 8)
            << leftPadded(fixedOr(row.sigmaMm, 2, kNone), 11) << leftPadded(fixedOr(row.statistic, 2, kNone), 8)
            << leftPadded(fixedOr(row.critical, 2, kNone), 8) << "\n";
    }
    if (significantRows.size() > std::size_t(kSummaryDisplacementsUpTo))
        out << "    ... " << significantRows.size() - kSummaryDisplacementsUpTo
            << " more: see the result files (--json, --csv, --html)\n";
    for (const std::string& note : c.notes)
        out << "  - " << note << "\n";
}

void writeVelocities(const DeformationResult& result, std::ostream& out)
{
    const KinematicAdjustment& k = result.kinematic;
    out << "\nVelocities 速度 (kinematic adjustment from " << fixed(k.referenceYear, 4) << ": sigma0 "
        << fixedOr(k.sigma0, 3, "not computable") << ", degrees of freedom " << k.dof << "; datum: "
        << k.stableSet.size() << " stable benchmarks of mean velocity zero)\n";
    constexpr std::array kinds = {VelocityClass::Reference, VelocityClass::Still, VelocityClass::Moving,
                                  VelocityClass::BeyondLimit, VelocityClass::NoVelocity};
    out << "  ";
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        int count = 0;
        for (const VelocityRow& row : result.velocities)
            count += row.kind == kinds[i];
        out << (i == 0 ? "" : ", ") << velocityClassName(kinds[i]) << " " << count;
    }
    out << "\n";
    const std::vector<std::size_t> rows = fastestFlagged(result, result.velocities.size());
    if (rows.empty()) {
        out << "  no benchmark moves significantly\n";
        return;
    }
    out << "    " << padded("name 點名", 16) << "  v(mm/yr)  sigma  class\n";
    for (std::size_t i : rows) {
        const VelocityRow& row = result.velocities[i];
        out << "    " << padded(benchmarkName(result, row.benchmark), 16) << leftPadded(fixedOr(row.velocityMmPerYear, 2, kNone), 10)
            << leftPadded(fixedOr(row.sigmaMmPerYear, 2, kNone), 7) << "  " << velocityClassName(row.kind) << "\n";
    }
}

}  // namespace

void writeDeformationSummary(const DeformationResult& result, std::ostream& out)
{
    writeHeading(result, out);
    writeEpochs(result, out);
    for (const EpochComparison& comparison : result.comparisons)
        writeComparison(result, comparison, out);
    writeVelocities(result, out);
}

}  // namespace korvane::deformation
