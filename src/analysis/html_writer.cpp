#include "html_writer.h"

#include "number_format.h"
#include "result_words.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace korvane::analysis {

namespace {

// A table of up to kWholeTableUpTo rows is shown whole. A longer one (a large network has tens
// of thousands of loops and observations, more than a browser lays out in reasonable time)
// shows what matters: its flagged rows, at most kFlaggedRowsMost of them, and the kWorstRows
// worst of the others; the whole table is in the CSV and JSON files.
constexpr std::size_t kWholeTableUpTo = 2000;
constexpr std::size_t kWorstRows = 300;
constexpr std::size_t kFlaggedRowsMost = 2000;

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:2em;color:#111}"
    "h1{font-size:1.5em}h2{font-size:1.2em;margin-top:1.6em;border-bottom:1px solid #888}"
    "table{border-collapse:collapse;margin:.5em 0}"
    "th,td{border:1px solid #aaa;padding:2px 6px;font-size:.9em}"
    "td.n{text-align:right;font-variant-numeric:tabular-nums}"
    ".pass{color:#1a6b1a}.fail{color:#b00000;font-weight:bold}"
    "tr.flag td{background:#fde8e8}tr.removed td{color:#777;text-decoration:line-through}"
    "@media print{body{margin:0}h2{page-break-after:avoid}}";

std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string verdictCell(bool passes)
{
    return passes ? "<td class=\"pass\">&#10004; pass</td>" : "<td class=\"fail\">&#10008; FAIL</td>";
}

std::string numberCell(const Quantity& value, int decimals)
{
    return "<td class=\"n\">" + fixedOr(value, decimals, "&ndash;") + "</td>";
}

std::string textCell(std::string_view text)
{
    return "<td>" + escaped(text) + "</td>";
}

void headerRow(std::ostream& out, std::initializer_list<std::string_view> titles)
{
    out << "<tr>";
    for (std::string_view title : titles)
        out << "<th>" << title << "</th>";
    out << "</tr>\n";
}

std::string walk(const AnalysisResult& result, const std::vector<int>& points)
{
    std::string text;
    for (int point : points)
        text += (text.empty() ? "" : " &rsaquo; ") + escaped(result.points[point].name);
    return text;
}

// The rows of a table that the report shows, in table order.
struct ShownRows {
    std::vector<std::size_t> rows;
    std::size_t count = 0;            // rows of the whole table
    std::size_t flaggedLeftOut = 0;   // flagged rows beyond kFlaggedRowsMost
    bool whole() const { return rows.size() == count; }
};

// Every row of a table of up to kWholeTableUpTo rows; of a longer one the flagged rows and the
// kWorstRows others of the largest `badness`.
ShownRows shownRows(std::size_t count, const std::function<bool(std::size_t)>& flagged,
                    const std::function<double(std::size_t)>& badness)
{
    ShownRows shown;
    shown.count = count;
    if (count <= kWholeTableUpTo) {
        for (std::size_t i = 0; i < count; ++i)
            shown.rows.push_back(i);
        return shown;
    }
    std::vector<std::pair<double, std::size_t>> others;
    for (std::size_t i = 0; i < count; ++i) {
        if (!flagged(i))
            others.emplace_back(-badness(i), i);
        else if (shown.rows.size() < kFlaggedRowsMost)
            shown.rows.push_back(i);
        else
            ++shown.flaggedLeftOut;
    }
    const std::size_t worst = std::min(kWorstRows, others.size());
    std::partial_sort(others.begin(), others.begin() + std::ptrdiff_t(worst), others.end());
    for (std::size_t i = 0; i < worst; ++i)
        shown.rows.push_back(others[i].second);
    std::sort(shown.rows.begin(), shown.rows.end());
    return shown;
}

// Under a table that is not shown whole: what it shows and where the rest is.
void shownNote(std::ostream& out, const ShownRows& shown, std::string_view flagged, std::string_view worst)
{
    if (shown.whole())
        return;
    out << "<p>" << shown.rows.size() << " of " << shown.count << " rows: " << flagged;
    if (shown.flaggedLeftOut > 0)
        out << " (the first " << kFlaggedRowsMost << "; " << shown.flaggedLeftOut << " more)";
    out << " and the " << kWorstRows << " " << worst
        << ". The full table is in the CSV and JSON files (--csv, --json).</p>\n";
}

double closureRatio(const ClosureCheck& check)
{
    return check.toleranceMm > 0.0 ? std::abs(check.misclosureMm) / check.toleranceMm : std::abs(check.misclosureMm);
}

void closureRow(std::ostream& out, const AnalysisResult& result, const ClosureCheck& c, std::size_t number)
{
    out << "<tr" << (c.passes ? "" : " class=\"flag\"") << "><td class=\"n\">" << number << "</td><td>"
        << walk(result, c.points) << "</td>" << numberCell(c.lengthKm, 3) << numberCell(c.misclosureMm, 2)
        << numberCell(c.toleranceMm, 2) << verdictCell(c.passes) << "</tr>\n";
}

void closureHeader(std::ostream& out)
{
    headerRow(out, {"No.", "Points", "Length (km)", "Misclosure (mm)", "Tolerance (mm)", "Result"});
}

void closureTable(std::ostream& out, const AnalysisResult& result, const std::vector<ClosureCheck>& checks,
                  std::string_view title)
{
    out << "<h3>" << title << " (" << checks.size() << ")</h3>\n";
    if (checks.empty())
        return;
    const ShownRows shown = shownRows(
        checks.size(), [&](std::size_t i) { return !checks[i].passes; },
        [&](std::size_t i) { return closureRatio(checks[i]); });
    out << "<table>\n";
    closureHeader(out);
    for (std::size_t i : shown.rows)
        closureRow(out, result, checks[i], i + 1);
    out << "</table>\n";
    shownNote(out, shown, "every one beyond tolerance", "nearest to it (largest misclosure / tolerance)");
}

void writeGlobal(std::ostream& out, const GlobalTest& test, const AnalysisOptions& o, std::string_view title)
{
    out << "<h3>" << title << "</h3>\n<table>\n";
    out << "<tr><th>Degrees of freedom</th>" << numberCell(double(test.dof), 0) << "</tr>\n";
    out << "<tr><th>vTPv</th>" << numberCell(test.vtpv, 4) << "</tr>\n";
    out << "<tr><th>&sigma;<sub>0</sub> a-posteriori</th>" << numberCell(test.sigma0Posterior, 4) << "</tr>\n";
    out << "<tr><th>&sigma;<sub>0</sub> a-priori</th>" << numberCell(test.sigma0Apriori, 4) << "</tr>\n";
    if (test.verdict == GlobalVerdict::NotPossible) {
        out << "<tr><th>Test</th><td>not possible: " << escaped(test.reason) << "</td></tr>\n</table>\n";
        return;
    }
    out << "<tr><th>vTPv / &sigma;<sub>0</sub>&sup2; (&chi;&sup2;)</th>" << numberCell(test.statistic, 3) << "</tr>\n";
    out << "<tr><th>Accepted between (&alpha; = " << significant(100 * o.alpha, 4) << " %)</th><td class=\"n\">"
        << fixedOr(test.lower, 3, "") << " &ndash; " << fixedOr(test.upper, 3, "") << "</td></tr>\n";
    out << "<tr><th>Result</th>" << verdictCell(test.verdict == GlobalVerdict::Passes) << "</tr>\n</table>\n";
    if (test.verdict != GlobalVerdict::Passes)
        out << "<p>" << (test.verdict == GlobalVerdict::TooLarge ? "Too large: gross errors, or observations less "
                                                                    "precise than their weights say."
                                                                  : "Too small: the observations are more precise than "
                                                                    "their weights say.")
            << "</p>\n";
}

bool knownHeightFlagged(const PointResult& p)
{
    return p.knownTest && p.knownTest->fails;
}

void pointHeader(std::ostream& out)
{
    headerRow(out, {"No.", "Name", "Part", "Known", "Given height (m)", "Height (m)", "&sigma; (mm)", "Status",
                    "Known-height w", "Free offset (mm)"});
}

void pointRow(std::ostream& out, const AnalysisResult& result, std::size_t i)
{
    const PointResult& p = result.points[i];
    out << "<tr" << (knownHeightFlagged(p) ? " class=\"flag\"" : "") << "><td class=\"n\">" << i + 1 << "</td>"
        << textCell(p.name) << numberCell(double(p.part + 1), 0) << textCell(wordFor(p.known))
        << numberCell(p.givenHeight, 5) << numberCell(p.height, 5) << numberCell(p.sigma, 2)
        << textCell(wordFor(p.status)) << numberCell(p.knownTest ? p.knownTest->w : std::nullopt, 2)
        << numberCell(p.freeOffset, 2) << "</tr>\n";
}

void observationHeader(std::ostream& out)
{
    headerRow(out, {"No.", "From", "To", "dh (m)", "Dist. (km)", "v (mm)", "r", "w", "&tau;", "MDB (mm)",
                    "Effect (mm)", "Gross error (mm)", "Flag"});
}

void observationRow(std::ostream& out, const AnalysisResult& result, std::size_t i)
{
    const ObservationResult& o = result.observations[i];
    const ObservationTest& t = o.test;
    const char* rowClass = o.removedAtStep > 0 ? " class=\"removed\"" : (o.flagged() ? " class=\"flag\"" : "");
    std::string flag = o.removedAtStep > 0 ? "removed (step " + std::to_string(o.removedAtStep) + ")"
                       : o.flagged()      ? "&#10008; flagged"
                       : !t.controlled    ? "no check"
                                          : "";
    out << "<tr" << rowClass << "><td class=\"n\">" << i + 1 << "</td>" << textCell(result.points[o.from].name)
        << textCell(result.points[o.to].name) << numberCell(o.dh, 5) << numberCell(o.distance, 3)
        << numberCell(t.residual, 2) << numberCell(t.redundancy, 3) << numberCell(t.w, 2) << numberCell(t.tau, 2)
        << numberCell(t.mdb, 2) << numberCell(t.mdbEffect, 2) << numberCell(t.grossError, 2) << "<td>" << flag
        << "</td></tr>\n";
}

// Largest |w|, or |tau| where w is not computable; -1 for an observation without a test.
double testSize(const ObservationTest& t)
{
    return t.w ? std::abs(*t.w) : t.tau ? std::abs(*t.tau) : -1.0;
}

void criticalValues(std::ostream& out, const AnalysisResult& result)
{
    out << "<p>Critical values: |w| &gt; " << fixed(result.levels.wCritical, 2) << ", |&tau;| &gt; "
        << fixedOr(result.levels.tauCritical, 2, "&ndash;") << " (&alpha;<sub>0</sub> = "
        << significant(100 * result.options.alpha0, 4) << " %, power " << significant(100 * result.options.power, 4)
        << " %); MDB from the " << result.mdbSigma0 << " &sigma;<sub>0</sub>.</p>\n";
}

// The verdicts first: flagged observations and known heights (those snooping removed are in its
// section).
void writeFlagged(std::ostream& out, const AnalysisResult& result)
{
    std::vector<std::size_t> observations, points;
    std::size_t leftOut = 0;
    for (std::size_t i = 0; i < result.observations.size(); ++i)
        if (result.observations[i].removedAtStep == 0 && result.observations[i].flagged()) {
            if (observations.size() < kFlaggedRowsMost)
                observations.push_back(i);
            else
                ++leftOut;
        }
    for (std::size_t i = 0; i < result.points.size(); ++i)
        if (result.points[i].removedAtStep == 0 && knownHeightFlagged(result.points[i]))
            points.push_back(i);
    out << "<h2>超限 Flagged observations (" << observations.size() + leftOut + points.size() << ")</h2>\n";
    criticalValues(out, result);
    if (observations.empty() && points.empty()) {
        out << "<p>No observation is flagged.</p>\n";
        return;
    }
    if (!observations.empty()) {
        out << "<table>\n";
        observationHeader(out);
        for (std::size_t i : observations)
            observationRow(out, result, i);
        out << "</table>\n";
        if (leftOut > 0)
            out << "<p>The first " << kFlaggedRowsMost << " of " << kFlaggedRowsMost + leftOut
                << " flagged observations. The full table is in the CSV and JSON files (--csv, --json).</p>\n";
    }
    if (!points.empty()) {
        out << "<h3>Known heights</h3>\n<table>\n";
        pointHeader(out);
        for (std::size_t i : points)
            pointRow(out, result, i);
        out << "</table>\n";
    }
}

void writeBeyondTolerance(std::ostream& out, const AnalysisResult& result)
{
    const Checks& checks = result.checks;
    std::size_t failing = 0;
    for (const std::vector<ClosureCheck>* list : {&checks.repeats, &checks.loops, &checks.knownLines})
        failing +=
            std::size_t(std::count_if(list->begin(), list->end(), [](const ClosureCheck& c) { return !c.passes; }));
    out << "<h2>閉合差超限 Misclosures beyond tolerance (" << failing << ")</h2>\n";
    if (failing == 0) {
        out << "<p>Every repeated section, loop and line between known points is within tolerance.</p>\n";
        return;
    }
    auto table = [&](const std::vector<ClosureCheck>& list, std::string_view title) {
        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < list.size(); ++i)
            if (!list[i].passes)
                rows.push_back(i);
        if (rows.empty())
            return;
        out << "<h3>" << title << " (" << rows.size() << " of " << list.size() << ")</h3>\n<table>\n";
        closureHeader(out);
        for (std::size_t i = 0; i < rows.size() && i < kFlaggedRowsMost; ++i)
            closureRow(out, result, list[rows[i]], rows[i] + 1);
        out << "</table>\n";
        if (rows.size() > kFlaggedRowsMost)
            out << "<p>The first " << kFlaggedRowsMost
                << ". The full table is in the CSV and JSON files (--csv, --json).</p>\n";
    };
    table(checks.repeats, "Repeated sections (spread of the measurements)");
    table(checks.loops, "Loops");
    table(checks.knownLines, "Lines between known points");
}

void writeChecks(std::ostream& out, const AnalysisResult& result)
{
    const Checks& checks = result.checks;
    out << "<h2>檢核 Checks</h2>\n<h3>Parts of the network (" << checks.parts.size() << ")</h3>\n<table>\n";
    headerRow(out, {"Part", "Points", "Observations", "Known points", "Heights"});
    const ShownRows parts = shownRows(
        checks.parts.size(), [&](std::size_t i) { return !checks.parts[i].hasDatum; },
        [&](std::size_t i) { return double(checks.parts[i].points.size()); });
    for (std::size_t i : parts.rows) {
        const PartCheck& part = checks.parts[i];
        std::string known;
        for (int point : part.knownPoints)
            known += (known.empty() ? "" : ", ") + escaped(result.points[point].name);
        out << "<tr" << (part.hasDatum ? "" : " class=\"flag\"") << "><td class=\"n\">" << i + 1 << "</td>"
            << numberCell(double(part.points.size()), 0) << numberCell(double(part.observations), 0) << "<td>"
            << (known.empty() ? "none" : known) << "</td>"
            << (part.hasDatum ? "<td class=\"pass\">&#10004; determined</td>"
                                      : "<td class=\"fail\">&#10008; no known point</td>")
            << "</tr>\n";
    }
    out << "</table>\n";
    shownNote(out, parts, "every one without a known point", "largest");
    out << "<p>Tolerance: " << significant(result.options.toleranceK, 6) << " mm &times; &radic;K (K in km)"
        << (result.options.toleranceClass.empty() ? "" : ", class " + escaped(result.options.toleranceClass)) << ".</p>\n";
    closureTable(out, result, checks.repeats, "Repeated sections (spread of the measurements)");
    closureTable(out, result, checks.loops, "Loops");
    closureTable(out, result, checks.knownLines, "Lines between known points");
    if (!checks.names.empty()) {
        const ShownRows names = shownRows(
            checks.names.size(), [](std::size_t) { return false; }, [](std::size_t) { return 0.0; });
        out << "<h3>Names tarnex would treat differently</h3>\n<table>\n";
        headerRow(out, {"Finding", "Points", "Name as tarnex keeps it"});
        for (std::size_t i : names.rows) {
            const NameFinding& finding = checks.names[i];
            out << "<tr>" << textCell(wordFor(finding.kind)) << "<td>" << walk(result, finding.points) << "</td>"
                << textCell(finding.classicName) << "</tr>\n";
        }
        out << "</table>\n";
        if (!names.whole())
            out << "<p>The first " << names.rows.size() << " of " << names.count
                << ". The full list is in the JSON file (--json).</p>\n";
    }
}

void writePoints(std::ostream& out, const AnalysisResult& result)
{
    out << "<h2>成果 Heights</h2>\n<table>\n";
    pointHeader(out);
    const ShownRows shown = shownRows(
        result.points.size(),
        [&](std::size_t i) { return result.points[i].known != KnownRole::None || knownHeightFlagged(result.points[i]); },
        [&](std::size_t i) { return result.points[i].sigma.value_or(-1.0); });
    for (std::size_t i : shown.rows)
        pointRow(out, result, i);
    out << "</table>\n";
    shownNote(out, shown, "every known point", "others of the largest &sigma;");
}

void writeObservations(std::ostream& out, const AnalysisResult& result)
{
    out << "<h2>觀測 Observations</h2>\n";
    criticalValues(out, result);
    out << "<table>\n";
    observationHeader(out);
    const ShownRows shown = shownRows(
        result.observations.size(),
        [&](std::size_t i) { return result.observations[i].flagged() || result.observations[i].removedAtStep > 0; },
        [&](std::size_t i) { return testSize(result.observations[i].test); });
    for (std::size_t i : shown.rows)
        observationRow(out, result, i);
    out << "</table>\n";
    shownNote(out, shown, "every flagged or removed one",
              "others of the largest |w| (|&tau;| where w is not computable)");
}

void writeSnooping(std::ostream& out, const AnalysisResult& result)
{
    if (!result.options.snoop)
        return;
    out << "<h2>資料探測 Data snooping</h2>\n";
    if (result.snooping.empty()) {
        out << "<p>No observation failed its test: nothing removed.</p>\n";
        return;
    }
    out << "<table>\n";
    headerRow(out, {"Step", "Removed", "Statistic", "Critical", "Readmission", "Critical", "Readmissible"});
    for (const SnoopStep& s : result.snooping) {
        std::string what;
        if (s.removed.knownHeight) {
            what = "known height " + escaped(result.points[s.removed.index].name);
        } else {
            const ObservationResult& o = result.observations[s.removed.index];
            what = "observation " + std::to_string(s.removed.index + 1) + " (" + escaped(result.points[o.from].name) +
                   " &rarr; " + escaped(result.points[o.to].name) + ")";
        }
        out << "<tr><td class=\"n\">" << s.step << "</td><td>" << what << "</td><td class=\"n\">" << s.statisticName
            << " = " << fixed(s.statistic, 2) << "</td>" << numberCell(s.critical, 2)
            << numberCell(s.readmissionStatistic, 2) << numberCell(s.readmissionCritical, 2)
            << textCell(s.readmissible ? "yes" : "no") << "</tr>\n";
    }
    out << "</table>\n";
    if (result.globalBeforeSnooping)
        writeGlobal(out, *result.globalBeforeSnooping, result.options, "Global test before snooping");
}

}  // namespace

void writeHtml(const AnalysisResult& result, std::ostream& out)
{
    out << "<!DOCTYPE html>\n<html lang=\"zh-Hant\">\n<head>\n<meta charset=\"utf-8\">\n<title>網形分析 "
        << escaped(result.title) << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n";
    out << "<h1>網形分析 Levelling network analysis</h1>\n<table>\n";
    out << "<tr><th>Project 計畫名稱</th>" << textCell(result.title) << "</tr>\n";
    out << "<tr><th>Data 資料</th>" << textCell(result.sourceName) << "</tr>\n";
    out << "<tr><th>Weighting 定權</th>" << textCell(std::string(wordFor(result.weighting)) + ", weights in " +
                                                      std::string(weightUnit(result.weighting)))
        << "</tr>\n";
    out << "<tr><th>Points / observations</th><td>" << result.points.size() << " / " << result.observations.size()
        << "</td></tr>\n";
    out << "<tr><th>Datum</th><td>" << (result.options.freeNetwork ? "free network, on its known points (partial minimum trace)" : "known points")
        << "</td></tr>\n</table>\n";
    for (const std::string& note : result.notes)
        out << "<p>" << escaped(note) << "</p>\n";
    // The verdicts, then the tables.
    out << "<h2>整體檢定 Global test</h2>\n";
    writeGlobal(out, result.global, result.options, "Final adjustment");
    writeFlagged(out, result);
    writeSnooping(out, result);
    writeBeyondTolerance(out, result);
    writeChecks(out, result);
    writePoints(out, result);
    writeObservations(out, result);
    out << "</body>\n</html>\n";
}

}  // namespace korvane::analysis
