#include "summary_writer.h"

#include "number_format.h"
#include "result_words.h"
#include "text_columns.h"

#include <algorithm>
#include <string>
#include <vector>

namespace korvane::analysis {

namespace {

constexpr std::string_view kNotComputable = "-";

std::string padded(const std::string& text, int columns)
{
    const int used = columnCount(text);
    return used >= columns ? text : text + std::string(columns - used, ' ');
}

std::string leftPadded(const std::string& text, int columns)
{
    const int used = columnCount(text);
    return used >= columns ? text : std::string(columns - used, ' ') + text;
}

std::string percent(double share)
{
    return significant(100.0 * share, 4) + " %";
}

// How alpha0 came about, when not as given.
std::string alpha0RuleText(const AnalysisOptions& o)
{
    switch (o.alpha0Rule) {
    case LocalLevelRule::BMethod:
        return " by the B-method from alpha " + percent(o.alpha);
    case LocalLevelRule::FamilyWise:
        return ", family-wise alpha " + percent(o.alpha) + " over all tests";
    case LocalLevelRule::Given:
        break;
    }
    return "";
}

const std::string& nameOf(const AnalysisResult& result, int point)
{
    return result.points[point].name;
}

std::string walkText(const AnalysisResult& result, const std::vector<int>& points)
{
    std::string text;
    for (int point : points)
        text += (text.empty() ? "" : " > ") + nameOf(result, point);
    return text;
}

std::string nameList(const AnalysisResult& result, const std::vector<int>& points, std::size_t most = 20)
{
    std::string text;
    for (std::size_t i = 0; i < points.size() && i < most; ++i)
        text += (i == 0 ? "" : ", ") + nameOf(result, points[i]);
    if (points.size() > most)
        text += ", ... (" + std::to_string(points.size()) + " in all)";
    return text;
}

void writeHeading(const AnalysisResult& result, std::ostream& out)
{
    const AnalysisOptions& o = result.options;
    int fixedCount = 0, weightedCount = 0, comparedCount = 0;
    for (const PointResult& p : result.points) {
        fixedCount += p.known == KnownRole::Fixed;
        weightedCount += p.known == KnownRole::Weighted;
        comparedCount += p.known == KnownRole::Compared;
    }
    out << "Network analysis 網形分析\n";
    out << "  Project 計畫名稱: " << result.title << "\n";
    out << "  Data 資料: " << result.sourceName << "\n";
    out << "  Weighting 定權: " << wordFor(result.weighting) << " weighting, weights in " << weightUnit(result.weighting);
    if (result.weighting == Weighting::Grade)
        out << ", a-priori sigma0 = 1\n";
    else if (o.sigma0)
        out << ", a-priori sigma0 = " << significant(*o.sigma0, 6) << " mm/√km\n";
    else
        out << ", no a-priori sigma0 (give it with --sigma0 MM)\n";
    out << "  Points 點數 " << result.points.size() << " (known " << fixedCount + weightedCount + comparedCount;
    if (comparedCount > 0)
        out << ", compared only: free network";
    else
        out << ": " << fixedCount << " fixed, " << weightedCount << " weighted";
    out << "), observations 觀測 " << result.observations.size() << ", unknowns " << result.unknowns;
    if (result.datumDefect > 0)
        out << " (datum defect 基準虧秩 " << result.datumDefect << ")";
    out << ", degrees of freedom 自由度 " << result.global.dof << "\n";
    if (!result.notes.empty()) {
        out << "\nNotes 說明:\n";
        for (const std::string& note : result.notes)
            out << "  - " << note << "\n";
    }
}

void writeClosures(const AnalysisResult& result, std::ostream& out, const std::vector<ClosureCheck>& checks,
                   const std::string& title, const std::string& unit)
{
    int failing = 0;
    for (const ClosureCheck& check : checks)
        failing += !check.passes;
    out << "  " << title << ": " << checks.size() << " " << unit;
    if (checks.empty()) {
        out << "\n";
        return;
    }
    out << (failing == 0 ? ", all within tolerance\n" : ", " + std::to_string(failing) + " beyond tolerance:\n");
    const bool all = int(checks.size()) <= kSummaryClosuresUpTo;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const ClosureCheck& check = checks[i];
        if (!all && check.passes)
            continue;
        out << "    " << leftPadded(std::to_string(i + 1), 4) << "  " << walkText(result, check.points)
            << "  misclosure " << fixed(check.misclosureMm, 2) << " mm  length " << fixed(check.lengthKm, 3)
            << " km  tolerance " << fixed(check.toleranceMm, 2) << " mm  " << (check.passes ? "pass" : "FAIL") << "\n";
    }
}

void writeChecks(const AnalysisResult& result, std::ostream& out)
{
    const Checks& checks = result.checks;
    const AnalysisOptions& o = result.options;
    out << "\nChecks 檢核\n";
    out << "  Parts 連通區塊: " << checks.parts.size() << "\n";
    for (std::size_t i = 0; i < checks.parts.size(); ++i) {
        const PartCheck& part = checks.parts[i];
        if (checks.parts.size() == 1 && part.hasDatum)
            break;
        out << "    part " << i + 1 << ": " << part.points.size() << " points, " << part.observations << " observations, ";
        if (part.knownPoints.empty())
            out << "no known point: " << nameList(result, part.points);
        else
            out << "known " << nameList(result, part.knownPoints);
        out << (part.hasDatum ? "\n" : "  (heights not determined)\n");
    }
    std::string tolerance = significant(o.toleranceK, 6) + " mm x sqrt(K km)";
    if (!o.toleranceClass.empty())
        tolerance += ", class " + o.toleranceClass;
    out << "  Tolerance 限差: " << tolerance << "\n";
    writeClosures(result, out, checks.repeats, "Repeated sections 重複觀測", "section(s) measured more than once");
    writeClosures(result, out, checks.loops, "Loops 環線閉合差", "independent loop(s)");
    writeClosures(result, out, checks.knownLines, "Lines between known points 附合路線", "line(s)");
    for (const NameFinding& finding : checks.names) {
        out << "  Names 點名: ";
        switch (finding.kind) {
        case NameFinding::Kind::MergedByEightColumns:
            out << nameList(result, finding.points) << " agree in their first eight columns (\"" << finding.classicName
                << "\"): tarnex would take them for one point\n";
            break;
        case NameFinding::Kind::KnownNameBeyondEight:
            out << "known point " << nameList(result, finding.points)
                << " has more than eight columns: tarnex would join none of its observations to it\n";
            break;
        case NameFinding::Kind::TooLongForEngineFile:
            out << nameList(result, finding.points) << " has more than ten columns: it does not fit the engine input file\n";
            break;
        }
    }
}

void writeGlobal(const GlobalTest& test, const AnalysisOptions& o, std::ostream& out)
{
    out << "  sigma0 a-posteriori " << fixedOr(test.sigma0Posterior, 3, "not computable") << " (a-priori "
        << fixedOr(test.sigma0Apriori, 3, "not given") << "), degrees of freedom " << test.dof << "\n";
    if (test.verdict == GlobalVerdict::NotPossible) {
        out << "  global test not possible: " << test.reason << "\n";
        return;
    }
    out << "  vTPv / sigma0^2 = " << fixed(*test.statistic, 3) << ", accepted between " << fixed(*test.lower, 3)
        << " and " << fixed(*test.upper, 3) << " (chi-square, alpha " << percent(o.alpha) << "): ";
    switch (test.verdict) {
    case GlobalVerdict::Passes:
        out << "passes\n";
        break;
    case GlobalVerdict::TooLarge:
        out << "FAILS, too large: gross errors, or observations less precise than their weights say\n";
        break;
    case GlobalVerdict::TooSmall:
        out << "FAILS, too small: the observations are more precise than their weights say\n";
        break;
    case GlobalVerdict::NotPossible:
        break;
    }
}

void writeTestRow(std::ostream& out, const std::string& label, const ObservationTest& t)
{
    out << "    " << padded(label, 28) << leftPadded(fixedOr(t.residual, 2, kNotComputable), 9)
        << leftPadded(fixedOr(t.redundancy, 3, kNotComputable), 7) << leftPadded(fixedOr(t.w, 2, kNotComputable), 8)
        << leftPadded(fixedOr(t.tau, 2, kNotComputable), 8) << leftPadded(fixedOr(t.mdb, 2, kNotComputable), 9)
        << leftPadded(fixedOr(t.mdbEffect, 2, kNotComputable), 9)
        << leftPadded(fixedOr(t.grossError, 2, kNotComputable), 9) << "\n";
}

void writeTests(const AnalysisResult& result, std::ostream& out)
{
    const AnalysisOptions& o = result.options;
    out << "\nGlobal test 整體檢定\n";
    writeGlobal(result.global, o, out);
    out << "\nObservation tests 觀測檢定 (alpha0 " << percent(result.levels.alpha0) << alpha0RuleText(o)
        << ", power " << percent(o.power) << "; flagged by " << decidingStatistic(result)
        << "): |w| > " << fixed(result.levels.wCritical, 2) << ", |tau| > "
        << fixedOr(result.levels.tauCritical, 2, "(not computable)") << "; MDB from the " << result.mdbSigma0
        << " sigma0\n";
    std::vector<int> uncontrolled;
    bool header = false;
    auto flaggedRow = [&](const std::string& label, const ObservationTest& t) {
        if (!header)
            out << "    " << padded("flagged 超限", 28) << "    v(mm)      r       w     tau  MDB(mm) effect(mm) gross(mm)\n";
        header = true;
        writeTestRow(out, label, t);
    };
    for (std::size_t i = 0; i < result.observations.size(); ++i) {
        const ObservationResult& ob = result.observations[i];
        if (ob.removedAtStep == 0 && !ob.test.controlled)
            uncontrolled.push_back(ob.to);
        if (ob.removedAtStep == 0 && ob.flagged())
            flaggedRow(std::to_string(i + 1) + " " + nameOf(result, ob.from) + " -> " + nameOf(result, ob.to), ob.test);
    }
    for (const PointResult& p : result.points)
        if (p.knownTest && p.removedAtStep == 0 && p.knownTest->fails)
            flaggedRow("known height " + p.name, *p.knownTest);
    const bool anyTested = std::any_of(result.observations.begin(), result.observations.end(), [](const ObservationResult& o) {
        return o.removedAtStep == 0 && o.test.controlled && (o.test.w || o.test.tau);
    });
    if (!header && !anyTested)
        out << "    no observation could be tested: w needs an a-priori sigma0 (--sigma0), tau needs 2 or more "
               "degrees of freedom (here "
            << result.global.dof << ")\n";
    else if (!header)
        out << "    no observation is flagged\n";
    if (!uncontrolled.empty())
        out << "    " << uncontrolled.size()
            << " observation(s) controlled by no other (redundancy 0): no test, e.g. the one to "
            << nameOf(result, uncontrolled.front()) << "\n";
}

void writeSnooping(const AnalysisResult& result, std::ostream& out)
{
    if (!result.options.snoop)
        return;
    out << "\nData snooping 資料探測 (by " << decidingStatistic(result)
        << (result.options.snoopStop == SnoopStop::GlobalTestPasses ? ", until the global test passes"
                                                                   : ", until none fails")
        << "): " << result.snooping.size() << " removed\n";
    for (const SnoopStep& step : result.snooping) {
        std::string what;
        if (step.removed.knownHeight) {
            what = "known height of " + nameOf(result, step.removed.index);
        } else {
            const ObservationResult& ob = result.observations[step.removed.index];
            what = "observation " + std::to_string(step.removed.index + 1) + " " + nameOf(result, ob.from) + " -> " +
                   nameOf(result, ob.to) + " (" + result.observationOrigin(step.removed.index) + ")";
        }
        out << "    step " << step.step << ": " << what << ", " << step.statisticName << " = " << fixed(step.statistic, 2)
            << " > " << fixed(step.critical, 2) << "; readmission " << fixedOr(step.readmissionStatistic, 2, "-")
            << (step.readmissible ? " within " : " beyond ") << fixedOr(step.readmissionCritical, 2, "-")
            << (step.readmissible ? ": could be readmitted\n" : ": stays out\n");
    }
    if (result.globalBeforeSnooping) {
        out << "  before snooping:\n";
        writeGlobal(*result.globalBeforeSnooping, result.options, out);
    }
}

void writeHeights(const AnalysisResult& result, std::ostream& out)
{
    out << "\nHeights 高程 (sigma from the a-posteriori sigma0)\n";
    if (int(result.points.size()) > kSummaryHeightsUpTo) {
        out << "  " << result.points.size() << " points: see the result files (--json, --csv, --html)\n";
        return;
    }
    const bool free = result.options.freeNetwork;
    out << "    " << padded("name 點名", 16) << "  height(m)  sigma(mm)" << (free ? "  offset(mm)" : "") << "\n";
    for (const PointResult& p : result.points) {
        out << "    " << padded(p.name, 16) << leftPadded(fixedOr(p.height, 5, "-"), 11)
            << leftPadded(fixedOr(p.sigma, 2, "-"), 11);
        if (free && p.freeOffset)
            out << leftPadded(fixed(*p.freeOffset, 2), 12);
        if (p.status == HeightStatus::Held)
            out << "  known, held";
        else if (p.status == HeightStatus::NoDatum)
            out << "  no known point in its part";
        else if (p.known == KnownRole::Weighted)
            out << "  known, weighted";
        else if (p.known == KnownRole::Compared)
            out << "  known, compared only";
        out << "\n";
    }
}

}  // namespace

void writeSummary(const AnalysisResult& result, std::ostream& out)
{
    writeHeading(result, out);
    writeChecks(result, out);
    writeTests(result, out);
    writeSnooping(result, out);
    writeHeights(result, out);
}

}  // namespace korvane::analysis
