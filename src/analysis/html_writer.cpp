#include "html_writer.h"

#include "chinese_sentences.h"
#include "html_text.h"
#include "number_format.h"
#include "result_words.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace korvane::analysis {

namespace {

// A table of up to kWholeTableUpTo rows is shown whole. A longer one (a large network has tens
// of thousands of loops and observations, more than a browser lays out in reasonable time)
// shows what matters: its flagged rows, at most kFlaggedRowsMost of them, and the kWorstRows
// worst of the others; the whole table is in the CSV and JSON files.
//
// The page is in Traditional Chinese throughout, the notes of the result too; numbers, point
// names and the file's structure are those of the other result files.
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
    "tr.flag td{background:#fde8e8}tr.likely td{font-weight:bold;border-top:2px solid #b00000;"
    "border-bottom:2px solid #b00000}tr.removed td{color:#777;text-decoration:line-through}"
    "@media print{body{margin:0}h2{page-break-after:avoid}}";


constexpr std::string_view kFullTable = "完整的表在 CSV 與 JSON 檔中。";
constexpr std::string_view kMostLikely = "最可能的粗差";

// A verdict cell: "✔ 合格" or "✘ 超限" for a closure, "✔ 通過" or "✘ 未通過" for a test.
std::string verdictCell(bool passes, std::string_view pass = "合格", std::string_view fail = "超限")
{
    return passes ? "<td class=\"pass\">&#10004; " + std::string(pass) + "</td>"
                  : "<td class=\"fail\">&#10008; " + std::string(fail) + "</td>";
}

std::string_view chineseWord(KnownRole role)
{
    switch (role) {
    case KnownRole::None:
        return "新點";
    case KnownRole::Fixed:
        return "固定";
    case KnownRole::Weighted:
        return "加權";
    case KnownRole::Compared:
        return "比較";
    }
    return "";
}

std::string_view chineseWord(HeightStatus status)
{
    switch (status) {
    case HeightStatus::Adjusted:
        return "平差";
    case HeightStatus::Held:
        return "固定";
    case HeightStatus::NoDatum:
        return "無高程基準";
    }
    return "";
}

std::string_view chineseWord(NameFinding::Kind kind)
{
    switch (kind) {
    case NameFinding::Kind::MergedByEightColumns:
        return "前八字相同，會併為一點";
    case NameFinding::Kind::KnownNameBeyondEight:
        return "已知點名超過八字，接不上任何觀測";
    case NameFinding::Kind::TooLongForEngineFile:
        return "點名超過十字，放不進平差檔";
    }
    return "";
}

// The levelling classes of the tolerance by their Chinese names; another name as it is.
std::string toleranceClassName(const std::string& name)
{
    static const std::pair<std::string_view, std::string_view> kNames[] = {
        {"first-I", "一等一級"}, {"first-II", "一等二級"}, {"second-I", "二等一級"},
        {"second-II", "二等二級"}, {"third", "三等"}};
    for (const auto& [key, words] : kNames)
        if (key == name)
            return std::string(words);
    return htmlEscaped(name);
}

std::string numberCell(const Quantity& value, int decimals)
{
    return "<td class=\"n\">" + fixedOr(value, decimals, "&ndash;") + "</td>";
}

std::string textCell(std::string_view text)
{
    return "<td>" + htmlEscaped(text) + "</td>";
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
        text += (text.empty() ? "" : " &rsaquo; ") + htmlEscaped(result.points[point].name);
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
    out << "<p>共 " << shown.count << " 列，列出 " << shown.rows.size() << " 列：" << flagged;
    if (shown.flaggedLeftOut > 0)
        out << "（前 " << kFlaggedRowsMost << " 列；另有 " << shown.flaggedLeftOut << " 列）";
    out << "，以及" << worst << "的 " << kWorstRows << " 列。" << kFullTable << "</p>\n";
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
    headerRow(out, {"編號", "路線", "長度 (km)", "閉合差 (mm)", "限值 (mm)", "判定"});
}

void closureTable(std::ostream& out, const AnalysisResult& result, const std::vector<ClosureCheck>& checks,
                  std::string_view title)
{
    out << "<h3>" << title << "（" << checks.size() << "）</h3>\n";
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
    shownNote(out, shown, "每一項超限者", "最接近限值者（閉合差與限值之比最大）");
}

void writeGlobal(std::ostream& out, const GlobalTest& test, const AnalysisOptions& o, std::string_view title)
{
    out << "<h3>" << title << "</h3>\n<table>\n";
    out << "<tr><th>自由度</th>" << numberCell(double(test.dof), 0) << "</tr>\n";
    out << "<tr><th>v<sup>T</sup>Pv</th>" << numberCell(test.vtpv, 4) << "</tr>\n";
    out << "<tr><th>後驗 &sigma;<sub>0</sub></th>" << numberCell(test.sigma0Posterior, 4) << "</tr>\n";
    out << "<tr><th>先驗 &sigma;<sub>0</sub></th>" << numberCell(test.sigma0Apriori, 4) << "</tr>\n";
    if (test.verdict == GlobalVerdict::NotPossible) {
        out << "<tr><th>檢定</th><td>無法檢定：" << htmlEscaped(inChinese(test.reason)) << "</td></tr>\n</table>\n";
        return;
    }
    out << "<tr><th>v<sup>T</sup>Pv / &sigma;<sub>0</sub>&sup2; (&chi;&sup2;)</th>" << numberCell(test.statistic, 3)
        << "</tr>\n";
    out << "<tr><th>接受區間（&alpha; = " << significant(100 * o.alpha, 4) << " %）</th><td class=\"n\">"
        << fixedOr(test.lower, 3, "") << " &ndash; " << fixedOr(test.upper, 3, "") << "</td></tr>\n";
    out << "<tr><th>判定</th>" << verdictCell(test.verdict == GlobalVerdict::Passes, "通過", "未通過")
        << "</tr>\n</table>\n";
    if (test.verdict != GlobalVerdict::Passes)
        out << "<p>"
            << (test.verdict == GlobalVerdict::TooLarge ? "過大：可能有粗差，或觀測不如其權所示的精確。"
                                                        : "過小：觀測比其權所示的更精確。")
            << "</p>\n";
}

bool knownHeightFlagged(const PointResult& p)
{
    return p.knownTest && p.knownTest->fails;
}

void pointHeader(std::ostream& out)
{
    headerRow(out, {"編號", "點號", "部分", "已知點", "已知高程 (m)", "平差高程 (m)", "&sigma; (mm)", "狀態",
                    "已知高程的 w", "與已知高程差 (mm)"});
}

void pointRow(std::ostream& out, const AnalysisResult& result, std::size_t i)
{
    const PointResult& p = result.points[i];
    out << "<tr" << (knownHeightFlagged(p) ? " class=\"flag\"" : "") << "><td class=\"n\">" << i + 1 << "</td>"
        << textCell(p.name) << numberCell(double(p.part + 1), 0) << textCell(chineseWord(p.known))
        << numberCell(p.givenHeight, 5) << numberCell(p.height, 5) << numberCell(p.sigma, 2)
        << textCell(chineseWord(p.status)) << numberCell(p.knownTest ? p.knownTest->w : std::nullopt, 2)
        << numberCell(p.freeOffset, 2) << "</tr>\n";
}

void observationHeader(std::ostream& out)
{
    headerRow(out, {"編號", "起點", "終點", "高差 (m)", "距離 (km)", "v (mm)", "r", "w", "&tau;", "MDB (mm)",
                    "MDB 影響 (mm)", "粗差估值 (mm)", "判定"});
}

// `mostLikely`: the flagged observation of the largest deciding statistic, or none.
void observationRow(std::ostream& out, const AnalysisResult& result, std::size_t i, std::optional<int> mostLikely)
{
    const ObservationResult& o = result.observations[i];
    const ObservationTest& t = o.test;
    const bool likely = mostLikely && std::size_t(*mostLikely) == i;
    const char* rowClass = o.removedAtStep > 0 ? " class=\"removed\""
                           : likely            ? " class=\"flag likely\""
                           : o.flagged()       ? " class=\"flag\""
                                               : "";
    std::string flag = o.removedAtStep > 0 ? "移除（第 " + std::to_string(o.removedAtStep) + " 步）"
                       : likely           ? "&#10008; 未過：" + std::string(kMostLikely)
                       : o.flagged()      ? "&#10008; 未過"
                       : !t.controlled    ? "未受檢核"
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
    out << "<p>臨界值：|w| &gt; " << fixed(result.levels.wCritical, 2) << "，|&tau;| &gt; "
        << fixedOr(result.levels.tauCritical, 2, "&ndash;") << "（&alpha;<sub>0</sub> = "
        << significant(100 * result.options.alpha0, 4) << " %，檢定力 " << significant(100 * result.options.power, 4)
        << " %）；MDB 用" << (result.mdbSigma0 == "a-priori" ? "先驗" : "後驗") << " &sigma;<sub>0</sub>。</p>\n";
}

// The verdicts first: flagged observations, by the size of their deciding statistic so that the
// most likely gross error leads, and known heights (those snooping removed are in its section).
void writeFlagged(std::ostream& out, const AnalysisResult& result)
{
    std::vector<int> observations = flaggedByTestSize(result);
    std::vector<std::size_t> points;
    const std::size_t leftOut = observations.size() > kFlaggedRowsMost ? observations.size() - kFlaggedRowsMost : 0;
    observations.resize(observations.size() - leftOut);
    for (std::size_t i = 0; i < result.points.size(); ++i)
        if (result.points[i].removedAtStep == 0 && knownHeightFlagged(result.points[i]))
            points.push_back(i);
    out << "<h2>檢定未過的觀測（" << observations.size() + leftOut + points.size() << "）</h2>\n";
    criticalValues(out, result);
    if (observations.empty() && points.empty()) {
        out << "<p>沒有觀測未過檢定。</p>\n";
        return;
    }
    if (!observations.empty()) {
        const ObservationResult& most = result.observations[observations.front()];
        out << "<p>" << kMostLikely << "：觀測 " << observations.front() + 1 << "（"
            << htmlEscaped(result.points[most.from].name) << " &rarr; " << htmlEscaped(result.points[most.to].name) << "），|"
            << (decidingStatistic(result) == "w" ? "w" : "&tau;") << "| = "
            << fixed(decidingSize(result, most.test).value_or(0.0), 2) << "。以下依檢定統計量的絕對值由大到小排列。</p>\n";
        out << "<table>\n";
        observationHeader(out);
        for (int i : observations)
            observationRow(out, result, std::size_t(i), observations.front());
        out << "</table>\n";
        if (leftOut > 0)
            out << "<p>共 " << kFlaggedRowsMost + leftOut << " 個檢定未過的觀測，列出統計量最大的前 "
                << kFlaggedRowsMost << " 個。" << kFullTable << "</p>\n";
    }
    if (!points.empty()) {
        out << "<h3>已知高程</h3>\n<table>\n";
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
    out << "<h2>閉合差超限（" << failing << "）</h2>\n";
    if (failing == 0) {
        out << "<p>所有重複測量、環線與已知點間路線的閉合差都在限值內。</p>\n";
        return;
    }
    auto table = [&](const std::vector<ClosureCheck>& list, std::string_view title) {
        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < list.size(); ++i)
            if (!list[i].passes)
                rows.push_back(i);
        if (rows.empty())
            return;
        out << "<h3>" << title << "（" << list.size() << " 項中 " << rows.size() << " 項）</h3>\n<table>\n";
        closureHeader(out);
        for (std::size_t i = 0; i < rows.size() && i < kFlaggedRowsMost; ++i)
            closureRow(out, result, list[rows[i]], rows[i] + 1);
        out << "</table>\n";
        if (rows.size() > kFlaggedRowsMost)
            out << "<p>前 " << kFlaggedRowsMost << " 項。" << kFullTable << "</p>\n";
    };
    table(checks.repeats, "重複測量（各次之差）");
    table(checks.loops, "環線");
    table(checks.knownLines, "已知點間路線");
}

void writeChecks(std::ostream& out, const AnalysisResult& result)
{
    const Checks& checks = result.checks;
    out << "<h2>檢核</h2>\n<h3>網形的連通部分（" << checks.parts.size() << "）</h3>\n<table>\n";
    headerRow(out, {"部分", "點數", "觀測數", "已知點", "高程"});
    const ShownRows parts = shownRows(
        checks.parts.size(), [&](std::size_t i) { return !checks.parts[i].hasDatum; },
        [&](std::size_t i) { return double(checks.parts[i].points.size()); });
    for (std::size_t i : parts.rows) {
        const PartCheck& part = checks.parts[i];
        std::string known;
        for (int point : part.knownPoints)
            known += (known.empty() ? "" : ", ") + htmlEscaped(result.points[point].name);
        out << "<tr" << (part.hasDatum ? "" : " class=\"flag\"") << "><td class=\"n\">" << i + 1 << "</td>"
            << numberCell(double(part.points.size()), 0) << numberCell(double(part.observations), 0) << "<td>"
            << (known.empty() ? "無" : known) << "</td>"
            << (part.hasDatum ? "<td class=\"pass\">&#10004; 已定</td>" : "<td class=\"fail\">&#10008; 無已知點</td>")
            << "</tr>\n";
    }
    out << "</table>\n";
    shownNote(out, parts, "每一個沒有已知點的部分", "點數最多");
    out << "<p>閉合差限值：" << significant(result.options.toleranceK, 6) << " mm &times; &radic;K（K 為路線長，以 km 計）"
        << (result.options.toleranceClass.empty() ? ""
                                                  : "，" + toleranceClassName(result.options.toleranceClass) + "水準")
        << "。</p>\n";
    closureTable(out, result, checks.repeats, "重複測量（各次之差）");
    closureTable(out, result, checks.loops, "環線");
    closureTable(out, result, checks.knownLines, "已知點間路線");
    if (!checks.names.empty()) {
        const ShownRows names = shownRows(
            checks.names.size(), [](std::size_t) { return false; }, [](std::size_t) { return 0.0; });
        out << "<h3>tarnex 會另作處理的點名</h3>\n<table>\n";
        headerRow(out, {"情形", "點號", "tarnex 所存的點名"});
        for (std::size_t i : names.rows) {
            const NameFinding& finding = checks.names[i];
            out << "<tr>" << textCell(chineseWord(finding.kind)) << "<td>" << walk(result, finding.points) << "</td>"
                << textCell(finding.classicName) << "</tr>\n";
        }
        out << "</table>\n";
        if (!names.whole())
            out << "<p>共 " << names.count << " 項，列出前 " << names.rows.size() << " 項。完整的清單在 JSON 檔中。</p>\n";
    }
}

void writePoints(std::ostream& out, const AnalysisResult& result)
{
    out << "<h2>成果：高程</h2>\n<table>\n";
    pointHeader(out);
    const ShownRows shown = shownRows(
        result.points.size(),
        [&](std::size_t i) { return result.points[i].known != KnownRole::None || knownHeightFlagged(result.points[i]); },
        [&](std::size_t i) { return result.points[i].sigma.value_or(-1.0); });
    for (std::size_t i : shown.rows)
        pointRow(out, result, i);
    out << "</table>\n";
    shownNote(out, shown, "每一個已知點", "其他點中 &sigma; 最大");
}

void writeObservations(std::ostream& out, const AnalysisResult& result)
{
    out << "<h2>觀測</h2>\n";
    criticalValues(out, result);
    out << "<table>\n";
    observationHeader(out);
    const ShownRows shown = shownRows(
        result.observations.size(),
        [&](std::size_t i) { return result.observations[i].flagged() || result.observations[i].removedAtStep > 0; },
        [&](std::size_t i) { return testSize(result.observations[i].test); });
    const std::optional<int> mostLikely = mostLikelyError(result);
    for (std::size_t i : shown.rows)
        observationRow(out, result, i, mostLikely);
    out << "</table>\n";
    shownNote(out, shown, "每一個未過或移除的觀測", "其他觀測中 |w| 最大（w 無法計算時依 |&tau;|）");
}

void writeSnooping(std::ostream& out, const AnalysisResult& result)
{
    if (!result.options.snoop)
        return;
    out << "<h2>資料探測</h2>\n";
    if (result.snooping.empty()) {
        out << "<p>沒有觀測未過檢定：未移除任何觀測。</p>\n";
        return;
    }
    out << "<table>\n";
    headerRow(out, {"步驟", "移除", "統計量", "臨界值", "再納入檢定", "臨界值", "可再納入"});
    for (const SnoopStep& s : result.snooping) {
        std::string what;
        if (s.removed.knownHeight) {
            what = "已知點 " + htmlEscaped(result.points[s.removed.index].name) + " 的高程";
        } else {
            const ObservationResult& o = result.observations[s.removed.index];
            what = "觀測 " + std::to_string(s.removed.index + 1) + "（" + htmlEscaped(result.points[o.from].name) +
                   " &rarr; " + htmlEscaped(result.points[o.to].name) + "）";
        }
        out << "<tr><td class=\"n\">" << s.step << "</td><td>" << what << "</td><td class=\"n\">"
            << (s.statisticName == "tau" ? "&tau;" : s.statisticName) << " = " << fixed(s.statistic, 2) << "</td>" << numberCell(s.critical, 2)
            << numberCell(s.readmissionStatistic, 2) << numberCell(s.readmissionCritical, 2)
            << textCell(s.readmissible ? "是" : "否") << "</tr>\n";
    }
    out << "</table>\n";
    if (result.globalBeforeSnooping)
        writeGlobal(out, *result.globalBeforeSnooping, result.options, "資料探測前的整體檢定");
}

}  // namespace

void writeHtml(const AnalysisResult& result, std::ostream& out)
{
    out << "<!DOCTYPE html>\n<html lang=\"zh-Hant\">\n<head>\n<meta charset=\"utf-8\">\n<title>網形分析 "
        << htmlEscaped(result.title) << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n";
    out << "<h1>網形分析</h1>\n<table>\n";
    out << "<tr><th>計畫名稱</th>" << textCell(result.title) << "</tr>\n";
    out << "<tr><th>資料</th>" << textCell(result.sourceName) << "</tr>\n";
    out << "<tr><th>定權</th><td>"
        << (result.weighting == Weighting::Grade ? "等級定權，權以 1/mm&sup2; 計" : "距離定權，權以 1/km 計")
        << "</td></tr>\n";
    out << "<tr><th>點數 / 觀測數</th><td>" << result.points.size() << " / " << result.observations.size()
        << "</td></tr>\n";
    out << "<tr><th>高程基準</th><td>"
        << (result.options.freeNetwork ? "自由網，以已知點為基準（部分最小跡）" : "已知點") << "</td></tr>\n</table>\n";
    for (const std::string& note : result.notes)
        out << "<p>註：" << htmlEscaped(inChinese(note)) << "</p>\n";
    // The verdicts, then the tables.
    out << "<h2>整體檢定</h2>\n";
    writeGlobal(out, result.global, result.options, "最後一次平差");
    writeFlagged(out, result);
    writeSnooping(out, result);
    writeBeyondTolerance(out, result);
    writeChecks(out, result);
    writePoints(out, result);
    writeObservations(out, result);
    out << "</body>\n</html>\n";
}

}  // namespace korvane::analysis
