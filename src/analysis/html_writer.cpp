#include "html_writer.h"

#include "number_format.h"
#include "result_words.h"

#include <initializer_list>
#include <string>

namespace korvane::analysis {

namespace {

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

void closureTable(std::ostream& out, const AnalysisResult& result, const std::vector<ClosureCheck>& checks,
                  std::string_view title)
{
    out << "<h3>" << title << " (" << checks.size() << ")</h3>\n";
    if (checks.empty())
        return;
    out << "<table>\n";
    headerRow(out, {"No.", "Points", "Length (km)", "Misclosure (mm)", "Tolerance (mm)", "Result"});
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const ClosureCheck& c = checks[i];
        out << "<tr" << (c.passes ? "" : " class=\"flag\"") << "><td class=\"n\">" << i + 1 << "</td><td>"
            << walk(result, c.points) << "</td>" << numberCell(c.lengthKm, 3) << numberCell(c.misclosureMm, 2)
            << numberCell(c.toleranceMm, 2) << verdictCell(c.passes) << "</tr>\n";
    }
    out << "</table>\n";
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

void writeChecks(std::ostream& out, const AnalysisResult& result)
{
    const Checks& checks = result.checks;
    out << "<h2>檢核 Checks</h2>\n<h3>Parts of the network (" << checks.parts.size() << ")</h3>\n<table>\n";
    headerRow(out, {"Part", "Points", "Observations", "Known points", "Heights"});
    for (std::size_t i = 0; i < checks.parts.size(); ++i) {
        const PartCheck& part = checks.parts[i];
        std::string known;
        for (int point : part.knownPoints)
            known += (known.empty() ? "" : ", ") + escaped(result.points[point].name);
        out << "<tr" << (part.hasDatum || result.options.freeNetwork ? "" : " class=\"flag\"") << "><td class=\"n\">"
            << i + 1 << "</td>" << numberCell(double(part.points.size()), 0) << numberCell(double(part.observations), 0)
            << "<td>" << (known.empty() ? "none" : known) << "</td>"
            << (part.hasDatum || result.options.freeNetwork ? "<td class=\"pass\">&#10004; determined</td>"
                                                             : "<td class=\"fail\">&#10008; no known point</td>")
            << "</tr>\n";
    }
    out << "</table>\n<p>Tolerance: " << significant(result.options.toleranceK, 6) << " mm &times; &radic;K (K in km)"
        << (result.options.toleranceClass.empty() ? "" : ", class " + escaped(result.options.toleranceClass)) << ".</p>\n";
    closureTable(out, result, checks.repeats, "Repeated sections (spread of the measurements)");
    closureTable(out, result, checks.loops, "Loops");
    closureTable(out, result, checks.knownLines, "Lines between known points");
    if (!checks.names.empty()) {
        out << "<h3>Names tarnex would treat differently</h3>\n<table>\n";
        headerRow(out, {"Finding", "Points", "Name as tarnex keeps it"});
        for (const NameFinding& finding : checks.names)
            out << "<tr>" << textCell(wordFor(finding.kind)) << "<td>" << walk(result, finding.points) << "</td>"
                << textCell(finding.classicName) << "</tr>\n";
        out << "</table>\n";
    }
}

void writePoints(std::ostream& out, const AnalysisResult& result)
{
    out << "<h2>成果 Heights</h2>\n<table>\n";
    headerRow(out, {"No.", "Name", "Part", "Known", "Given height (m)", "Height (m)", "&sigma; (mm)", "Status",
                    "Known-height w", "Free offset (mm)"});
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const PointResult& p = result.points[i];
        const bool flagged = p.knownTest && (p.knownTest->wFails || p.knownTest->tauFails);
        out << "<tr" << (flagged ? " class=\"flag\"" : "") << "><td class=\"n\">" << i + 1 << "</td>" << textCell(p.name)
            << numberCell(double(p.part + 1), 0) << textCell(wordFor(p.known)) << numberCell(p.givenHeight, 5)
            << numberCell(p.height, 5) << numberCell(p.sigma, 2) << textCell(wordFor(p.status))
            << numberCell(p.knownTest ? p.knownTest->w : std::nullopt, 2) << numberCell(p.freeOffset, 2) << "</tr>\n";
    }
    out << "</table>\n";
}

void writeObservations(std::ostream& out, const AnalysisResult& result)
{
    out << "<h2>觀測 Observations</h2>\n<p>Critical values: |w| &gt; " << fixed(result.levels.wCritical, 2)
        << ", |&tau;| &gt; " << fixedOr(result.levels.tauCritical, 2, "&ndash;") << " (&alpha;<sub>0</sub> = "
        << significant(100 * result.options.alpha0, 4) << " %, power " << significant(100 * result.options.power, 4)
        << " %); MDB from the " << result.mdbSigma0 << " &sigma;<sub>0</sub>.</p>\n<table>\n";
    headerRow(out, {"No.", "From", "To", "dh (m)", "Dist. (km)", "v (mm)", "r", "w", "&tau;", "MDB (mm)",
                    "Effect (mm)", "Gross error (mm)", "Flag"});
    for (std::size_t i = 0; i < result.observations.size(); ++i) {
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
    out << "</table>\n";
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
    out << "<tr><th>Datum</th><td>" << (result.options.freeNetwork ? "free network, minimum trace" : "known points")
        << "</td></tr>\n</table>\n";
    for (const std::string& note : result.notes)
        out << "<p>" << escaped(note) << "</p>\n";
    writeChecks(out, result);
    out << "<h2>整體檢定 Global test</h2>\n";
    writeGlobal(out, result.global, result.options, "Final adjustment");
    writePoints(out, result);
    writeObservations(out, result);
    writeSnooping(out, result);
    out << "</body>\n</html>\n";
}

}  // namespace korvane::analysis
