#include "deformation_html.h"

#include "deformation_rows.h"
#include "html_text.h"
#include "number_format.h"
#include "statistics.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <cstdio>
#include <vector>

namespace korvane::deformation {

namespace {

using analysis::htmlEscaped;

using analysis::fixed;
using analysis::fixedOr;
using analysis::significant;

// A table of up to kWholeTableUpTo rows is shown whole; a longer one shows its flagged rows (at
// most kFlaggedRowsMost) and the kWorstRows largest others, as the analysis report does. The
// CSV and JSON files hold every row.
constexpr std::size_t kWholeTableUpTo = 2000;
constexpr std::size_t kWorstRows = 300;
constexpr std::size_t kFlaggedRowsMost = 2000;
// Above this many sections the map leaves the network's lines out.
constexpr std::size_t kMapLinesUpTo = 20000;
// Up to this many benchmarks the map names them.
constexpr std::size_t kMapNamesUpTo = 300;

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:2em;color:#111}"
    "h1{font-size:1.5em}h2{font-size:1.2em;margin-top:1.6em;border-bottom:1px solid #888}"
    "table{border-collapse:collapse;margin:.5em 0}"
    "th,td{border:1px solid #aaa;padding:2px 6px;font-size:.9em}"
    "td.n{text-align:right;font-variant-numeric:tabular-nums}"
    ".pass{color:#1a6b1a}.fail{color:#b00000;font-weight:bold}"
    "tr.flag td{background:#fde8e8}svg{background:#fff;border:1px solid #ccc;margin:.3em}"
    "svg text{font-family:sans-serif}figure{display:inline-block;margin:.3em}"
    "@media print{body{margin:0}h2{page-break-after:avoid}}";


std::string numberCell(const Quantity& value, int decimals)
{
    return "<td class=\"n\">" + fixedOr(value, decimals, "&ndash;") + "</td>";
}

std::string textCell(std::string_view text)
{
    return "<td>" + htmlEscaped(text) + "</td>";
}

std::string verdictCell(bool passes, std::string_view yes, std::string_view no)
{
    return passes ? "<td class=\"pass\">&#10004; " + std::string(yes) + "</td>"
                  : "<td class=\"fail\">&#10008; " + std::string(no) + "</td>";
}

std::string yesNo(bool value)
{
    return value ? "是" : "否";
}

void headerRow(std::ostream& out, std::initializer_list<std::string_view> titles)
{
    out << "<tr>";
    for (std::string_view title : titles)
        out << "<th>" << title << "</th>";
    out << "</tr>\n";
}

std::string_view globalWord(analysis::GlobalVerdict verdict)
{
    switch (verdict) {
    case analysis::GlobalVerdict::Passes:
        return "通過";
    case analysis::GlobalVerdict::TooLarge:
        return "未通過（過大）";
    case analysis::GlobalVerdict::TooSmall:
        return "未通過（過小）";
    case analysis::GlobalVerdict::NotPossible:
        break;
    }
    return "無法檢定";
}

std::string_view classWord(VelocityClass kind)
{
    switch (kind) {
    case VelocityClass::Reference:
        return "參考點";
    case VelocityClass::Still:
        return "無顯著移動";
    case VelocityClass::Moving:
        return "顯著移動";
    case VelocityClass::BeyondLimit:
        return "超過速率限值";
    case VelocityClass::NoVelocity:
        break;
    }
    return "無速度";
}

std::string_view searchWord(StableSearch search)
{
    switch (search) {
    case StableSearch::Iterative:
        return "逐次剔除";
    case StableSearch::Iwst:
        return "迭代加權相似轉換 (IWST)";
    case StableSearch::Given:
        break;
    }
    return "指定";
}

std::string nameList(const DeformationResult& result, const std::vector<int>& benchmarks, std::size_t most = 50)
{
    std::string text;
    for (std::size_t i = 0; i < benchmarks.size() && i < most; ++i)
        text += (i == 0 ? "" : "、") + htmlEscaped(benchmarkName(result, benchmarks[i]));
    if (benchmarks.size() > most)
        text += "…（共 " + std::to_string(benchmarks.size()) + " 點）";
    return text;
}

// The rows a long table shows (see kWholeTableUpTo), in table order.
struct ShownRows {
    std::vector<std::size_t> rows;
    std::size_t count = 0;
    bool whole() const { return rows.size() == count; }
};

ShownRows shownRows(std::size_t count, const std::function<bool(std::size_t)>& flagged,
                    const std::function<double(std::size_t)>& badness)
{
    ShownRows shown;
    shown.count = count;
    std::vector<std::pair<double, std::size_t>> others;
    for (std::size_t i = 0; i < count; ++i) {
        if (count <= kWholeTableUpTo || (flagged(i) && shown.rows.size() < kFlaggedRowsMost))
            shown.rows.push_back(i);
        else
            others.emplace_back(-badness(i), i);
    }
    const std::size_t worst = count <= kWholeTableUpTo ? 0 : std::min(kWorstRows, others.size());
    std::partial_sort(others.begin(), others.begin() + std::ptrdiff_t(worst), others.end());
    for (std::size_t i = 0; i < worst; ++i)
        shown.rows.push_back(others[i].second);
    std::sort(shown.rows.begin(), shown.rows.end());
    return shown;
}

void shownNote(std::ostream& out, const ShownRows& shown, std::string_view which)
{
    if (!shown.whole())
        out << "<p>共 " << shown.count << " 列，此處列出 " << shown.rows.size() << " 列：" << which
            << "。完整的表在 CSV 與 JSON 檔（--csv、--json）。</p>\n";
}

void writeHeading(const DeformationResult& result, std::ostream& out)
{
    const DeformationOptions& o = result.options;
    out << "<h1>沉陷監測報告</h1>\n<table>\n";
    out << "<tr><th>觀測期數</th><td class=\"n\">" << result.epochs.size() << "</td></tr>\n";
    out << "<tr><th>水準點數</th><td class=\"n\">" << result.benchmarks.size() << "</td></tr>\n";
    out << "<tr><th>檢定的顯著水準 &alpha;</th><td class=\"n\">" << significant(100 * o.alpha, 4) << " %</td></tr>\n";
    out << "<tr><th>速率限值</th><td class=\"n\">" << significant(o.rateLimitMm, 6) << " mm/年</td></tr>\n";
    out << "<tr><th>穩定點的決定</th><td>" << searchWord(o.stable);
    for (std::size_t i = 0; i < o.stableNames.size(); ++i)
        out << (i == 0 ? "：" : "、") << htmlEscaped(o.stableNames[i]);
    out << "</td></tr>\n</table>\n";
    if (!result.notes.empty()) {
        out << "<h2>說明</h2>\n<ul>\n";
        for (const std::string& note : result.notes)
            out << "<li>" << htmlEscaped(note) << "</li>\n";
        out << "</ul>\n";
    }
}

void benchmarkVerdict(const DeformationResult& result, VelocityClass kind, std::string_view title, std::ostream& out)
{
    std::vector<std::size_t> rows;
    for (std::size_t i : fastestFlagged(result, result.velocities.size()))
        if (result.velocities[i].kind == kind)
            rows.push_back(i);
    out << "<h3>" << title << "（" << rows.size() << " 點）</h3>\n";
    if (rows.empty()) {
        out << "<p class=\"pass\">無</p>\n";
        return;
    }
    out << "<p>";
    for (std::size_t k = 0; k < rows.size() && k < kFlaggedRowsMost; ++k) {
        const VelocityRow& v = result.velocities[rows[k]];
        out << (k == 0 ? "" : "、") << "<span class=\"fail\">" << htmlEscaped(benchmarkName(result, v.benchmark)) << "</span> "
            << fixedOr(v.velocityMmPerYear, 2, "&ndash;") << " &plusmn; " << fixedOr(v.sigmaMmPerYear, 2, "&ndash;")
            << " mm/年";
    }
    if (rows.size() > kFlaggedRowsMost)
        out << "…（另有 " << rows.size() - kFlaggedRowsMost << " 點，見 CSV 檔）";
    out << "</p>\n";
}

void writeVerdicts(const DeformationResult& result, std::ostream& out)
{
    out << "<h2>結論</h2>\n<h3>各期變方的一致性</h3>\n";
    if (result.variancesAgree) {
        out << "<p class=\"pass\">&#10004; 各期的單位權中誤差一致（合併 &sigma;<sub>0</sub> = "
            << fixedOr(result.pooledSigma0, 3, "&ndash;") << "，自由度 " << result.pooledDof << "）。</p>\n";
    } else {
        out << "<p class=\"fail\">&#10008; 各期的單位權中誤差不一致：";
        bool first = true;
        for (const EpochResult& e : result.epochs)
            if (!e.varianceAgrees) {
                out << (first ? "" : "、") << htmlEscaped(e.date);
                first = false;
            }
        out << "（合併 &sigma;<sub>0</sub> = " << fixedOr(result.pooledSigma0, 3, "&ndash;") << "）。</p>\n";
    }
    out << "<h3>各次比較的全等性檢定</h3>\n<table>\n";
    headerRow(out, {"比較", "全部共同點", "F", "臨界值", "結果", "穩定點數", "F", "臨界值", "結果", "顯著位移"});
    for (const EpochComparison& c : result.comparisons) {
        const auto significantCount =
            std::count_if(c.displacements.begin(), c.displacements.end(), [](const DisplacementRow& d) { return d.significant; });
        out << "<tr>" << textCell(epochDate(result, c.from) + " → " + epochDate(result, c.to));
        out << "<td class=\"n\">" << c.all.benchmarks << "</td>" << numberCell(c.all.statistic, 3)
            << numberCell(c.all.critical, 3) << verdictCell(c.all.congruent, "全等", "不全等");
        out << "<td class=\"n\">" << c.stableSet.size() << "</td>" << numberCell(c.stable.statistic, 3)
            << numberCell(c.stable.critical, 3) << verdictCell(c.stable.congruent, "全等", "不全等");
        out << "<td class=\"n\">" << significantCount << "</td></tr>\n";
    }
    out << "</table>\n";
    benchmarkVerdict(result, VelocityClass::BeyondLimit, "超過速率限值的水準點", out);
    benchmarkVerdict(result, VelocityClass::Moving, "顯著移動的水準點", out);
}

void writeEpochs(const DeformationResult& result, std::ostream& out)
{
    out << "<h2>各期</h2>\n<table>\n";
    headerRow(out, {"期", "日期", "資料", "觀測數", "水準點數", "自由度", "單位權中誤差", "整體檢定", "變方比",
                    "接受區間", "變方檢定", "未比較的點"});
    for (std::size_t i = 0; i < result.epochs.size(); ++i) {
        const EpochResult& e = result.epochs[i];
        const bool passes = e.analysis.global.verdict == analysis::GlobalVerdict::Passes;
        out << "<tr" << (e.varianceAgrees ? "" : " class=\"flag\"") << "><td class=\"n\">" << i + 1 << "</td>"
            << textCell(e.date) << textCell(e.source) << "<td class=\"n\">" << e.observations << "</td><td class=\"n\">"
            << e.benchmarks << "</td><td class=\"n\">" << e.dof << "</td>" << numberCell(e.sigma0, 3);
        if (e.analysis.global.verdict == analysis::GlobalVerdict::NotPossible)
            out << textCell(globalWord(e.analysis.global.verdict));
        else
            out << verdictCell(passes, globalWord(e.analysis.global.verdict), globalWord(e.analysis.global.verdict));
        out << numberCell(e.varianceRatio, 3) << "<td class=\"n\">" << fixedOr(e.varianceLower, 3, "")
            << " &ndash; " << fixedOr(e.varianceUpper, 3, "") << "</td>" << verdictCell(e.varianceAgrees, "一致", "不一致")
            << "<td>" << nameList(result, e.cutOff, 20) << "</td></tr>\n";
    }
    out << "</table>\n";
}

void writeComparisons(const DeformationResult& result, std::ostream& out)
{
    for (const EpochComparison& c : result.comparisons) {
        out << "<h2>位移 " << htmlEscaped(epochDate(result, c.from)) << " → " << htmlEscaped(epochDate(result, c.to)) << "</h2>\n";
        out << "<p>穩定點（" << c.stableSet.size() << " 點，搜尋平差 " << c.searchSteps
            << " 次）：" << nameList(result, c.stableSet) << "</p>\n";
        if (c.varianceRatio)
            out << "<p>變方比 " << fixedOr(c.varianceRatio, 3, "&ndash;") << "，接受區間 " << fixedOr(c.varianceLower, 3, "")
            << " &ndash; " << fixedOr(c.varianceUpper, 3, "") << "：" << (c.varianceAgrees ? "一致" : "<span class=\"fail\">不一致</span>")
            << "</p>\n";
        if (!c.notes.empty()) {
            out << "<ul>\n";
            for (const std::string& note : c.notes)
                out << "<li>" << htmlEscaped(note) << "</li>\n";
            out << "</ul>\n";
        }
        const ShownRows shown = shownRows(
            c.displacements.size(), [&](std::size_t i) { return c.displacements[i].significant; },
            [&](std::size_t i) { return c.displacements[i].statistic.value_or(0.0); });
        out << "<table>\n";
        headerRow(out, {"點名", "位移 (mm)", "中誤差 (mm)", "|t|", "臨界值", "MDB (mm)", "顯著", "穩定點"});
        for (std::size_t i : shown.rows) {
            const DisplacementRow& d = c.displacements[i];
            out << "<tr" << (d.significant ? " class=\"flag\"" : "") << ">" << textCell(benchmarkName(result, d.benchmark))
                << numberCell(d.displacementMm, 2) << numberCell(d.sigmaMm, 2) << numberCell(d.statistic, 2)
                << numberCell(d.critical, 2) << numberCell(d.mdbMm, 2)
                << (d.significant ? "<td class=\"fail\">是</td>" : "<td>否</td>") << textCell(yesNo(d.stable)) << "</tr>\n";
        }
        out << "</table>\n";
        shownNote(out, shown, "全部顯著的位移，以及 |t| 最大的 300 個其餘者");
    }
}

void writeVelocities(const DeformationResult& result, std::ostream& out)
{
    const KinematicAdjustment& k = result.kinematic;
    out << "<h2>速度</h2>\n<p>運動模式平差：基準年 " << fixed(k.referenceYear, 4) << "，未知數 " << k.unknowns << "，觀測 "
        << k.observations << "，自由度 " << k.dof << "，單位權中誤差 " << fixedOr(k.sigma0, 3, "&ndash;")
        << "；速度基準為 " << k.stableSet.size() << " 個穩定點的平均速度為零。</p>\n";
    const ShownRows shown = shownRows(
        result.velocities.size(), [&](std::size_t i) { return flagged(result.velocities[i]); },
        [&](std::size_t i) { return result.velocities[i].statistic.value_or(0.0); });
    out << "<table>\n";
    headerRow(out, {"點名", "期數", "高程 (m)", "中誤差 (mm)", "速度 (mm/年)", "中誤差 (mm/年)", "|t|", "臨界值",
                    "類別", "穩定點", "說明"});
    for (std::size_t i : shown.rows) {
        const VelocityRow& v = result.velocities[i];
        out << "<tr" << (flagged(v) ? " class=\"flag\"" : "") << ">" << textCell(benchmarkName(result, v.benchmark))
            << "<td class=\"n\">" << v.epochs.size() << "</td>" << numberCell(v.heightM, 5) << numberCell(v.heightSigmaMm, 2)
            << numberCell(v.velocityMmPerYear, 2) << numberCell(v.sigmaMmPerYear, 2) << numberCell(v.statistic, 2)
            << numberCell(v.critical, 2) << (flagged(v) ? "<td class=\"fail\">" : "<td>") << classWord(v.kind) << "</td>"
            << textCell(yesNo(v.stable)) << textCell(v.note) << "</tr>\n";
    }
    out << "</table>\n";
    shownNote(out, shown, "全部顯著移動及超過速率限值者，以及 |t| 最大的 300 個其餘者");
}

// A number for an SVG attribute.
std::string at(double value)
{
    return fixed(value, 1);
}

// The height of a benchmark over time: each epoch's height (relative to the fitted height at the
// first epoch, mm) with its standard deviation, and the fitted line.
void heightPicture(const DeformationResult& result, const VelocityRow& v, std::ostream& out)
{
    constexpr double kWidth = 440, kHeight = 220, kLeft = 56, kRight = 32, kTop = 24, kBottom = 34;
    struct Mark {
        double year, mm, sigma;
    };
    std::vector<Mark> marks;
    for (const EpochResult& e : result.epochs) {
        if (std::size_t(v.benchmark) >= e.heights.size() || !e.heights[v.benchmark] || !v.heightM)
            continue;
        const Quantity sigma = std::size_t(v.benchmark) < e.heightSigmas.size() ? e.heightSigmas[v.benchmark] : Quantity();
        marks.push_back({e.year, (*e.heights[v.benchmark] - *v.heightM) * 1000.0, sigma.value_or(0.0)});
    }
    if (marks.empty() || result.epochs.empty())
        return;
    const double t0 = result.kinematic.referenceYear;
    double first = result.epochs.front().year, last = result.epochs.back().year;
    if (!(last > first))
        last = first + 1.0;
    const double rate = v.velocityMmPerYear.value_or(0.0);
    double low = std::min(0.0, std::min(rate * (first - t0), rate * (last - t0)));
    double high = std::max(0.0, std::max(rate * (first - t0), rate * (last - t0)));
    for (const Mark& m : marks) {
        low = std::min(low, m.mm - m.sigma);
        high = std::max(high, m.mm + m.sigma);
    }
    const double pad = std::max(1.0, 0.08 * (high - low));
    low -= pad;
    high += pad;
    const auto x = [&](double year) { return kLeft + (year - first) / (last - first) * (kWidth - kLeft - kRight); };
    const auto y = [&](double mm) { return kTop + (high - mm) / (high - low) * (kHeight - kTop - kBottom); };
    const std::string name = htmlEscaped(benchmarkName(result, v.benchmark));
    out << "<figure><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << kHeight
        << "\" role=\"img\" aria-label=\"" << name << " 的高程變化\">\n";
    out << "<text x=\"" << kLeft << "\" y=\"16\" font-size=\"13\">" << name << "：" << fixedOr(v.velocityMmPerYear, 2, "–")
        << " ± " << fixedOr(v.sigmaMmPerYear, 2, "–") << " mm/年（" << classWord(v.kind) << "）</text>\n";
    out << "<rect x=\"" << kLeft << "\" y=\"" << kTop << "\" width=\"" << kWidth - kLeft - kRight << "\" height=\""
        << kHeight - kTop - kBottom << "\" fill=\"none\" stroke=\"#999\"/>\n";
    // Ticks at zero and at the extremes, each apart from the others.
    std::vector<double> ticks{0.0};
    for (double mm : {low + pad, high - pad})
        if (std::abs(mm) > 0.12 * (high - low))
            ticks.push_back(mm);
    for (double mm : ticks)
        out << "<text x=\"" << kLeft - 4 << "\" y=\"" << at(y(mm) + 4) << "\" font-size=\"10\" text-anchor=\"end\">"
            << fixed(mm, 1) << "</text>\n";
    out << "<text x=\"12\" y=\"" << at(kTop + (kHeight - kTop - kBottom) / 2) << "\" font-size=\"10\" transform=\"rotate(-90 12 "
        << at(kTop + (kHeight - kTop - kBottom) / 2) << ")\" text-anchor=\"middle\">高程變化 (mm)</text>\n";
    for (const EpochResult& e : result.epochs)
        out << "<text x=\"" << at(x(e.year)) << "\" y=\"" << kHeight - kBottom + 14
            << "\" font-size=\"9\" text-anchor=\"middle\">" << htmlEscaped(e.date) << "</text>\n";
    if (v.velocityMmPerYear)
        out << "<line x1=\"" << at(x(first)) << "\" y1=\"" << at(y(rate * (first - t0))) << "\" x2=\"" << at(x(last))
            << "\" y2=\"" << at(y(rate * (last - t0))) << "\" stroke=\"#b00000\" stroke-width=\"1.5\"/>\n";
    for (const Mark& m : marks) {
        if (m.sigma > 0.0)
            out << "<line x1=\"" << at(x(m.year)) << "\" y1=\"" << at(y(m.mm - m.sigma)) << "\" x2=\"" << at(x(m.year))
                << "\" y2=\"" << at(y(m.mm + m.sigma)) << "\" stroke=\"#333\"/>\n";
        out << "<circle cx=\"" << at(x(m.year)) << "\" cy=\"" << at(y(m.mm)) << "\" r=\"3\" fill=\"#1f4fbf\"/>\n";
    }
    out << "</svg></figure>\n";
}

// Subsidence red, uplift blue, the stronger the faster (against the fastest of the network).
std::string velocityColour(double rate, double fastest)
{
    const double share = std::min(1.0, std::abs(rate) / fastest);
    const int base = 0xdd;
    const int red = rate < 0 ? 0xc0 : 0x1f, green = rate < 0 ? 0x00 : 0x4f, blue = rate < 0 ? 0x00 : 0xbf;
    const auto mix = [&](int to) { return int(std::lround(base + (to - base) * share)); };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", mix(red), mix(green), mix(blue));
    return text;
}

// The benchmark pairs levelled in any epoch, each once.
std::vector<std::pair<int, int>> sections(const DeformationResult& result)
{
    std::unordered_map<std::string, int> index;
    for (std::size_t b = 0; b < result.benchmarks.size(); ++b)
        index.emplace(result.benchmarks[b], int(b));
    std::vector<std::pair<int, int>> pairs;
    for (const EpochResult& e : result.epochs) {
        std::vector<int> benchmark;
        for (const analysis::PointResult& p : e.analysis.points) {
            const auto found = index.find(p.name);
            benchmark.push_back(found == index.end() ? -1 : found->second);
        }
        for (const analysis::ObservationResult& o : e.analysis.observations)
            if (benchmark[o.from] >= 0 && benchmark[o.to] >= 0 && benchmark[o.from] != benchmark[o.to])
                pairs.push_back(std::minmax(benchmark[o.from], benchmark[o.to]));
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return pairs;
}

void velocityMap(const DeformationResult& result, const MapPlaces& places, std::ostream& out)
{
    constexpr double kWidth = 860, kHeight = 640, kMargin = 24;
    out << "<h2>速度分布圖</h2>\n<p>" << (places.surveyed ? "點位取自點位檔（--positions）。" : "點位為依水準路線長度自動排列的示意位置，非實際坐標。")
        << "細線為水準路線；紅色為下陷、藍色為上升，圓愈大愈快；方形為速度基準的穩定點；灰色空心圓為無速度的點。</p>\n";
    double west = 0, east = 0, south = 0, north = 0;
    bool any = false;
    for (const auto& p : places.places)
        if (p) {
            west = any ? std::min(west, p->e) : p->e;
            east = any ? std::max(east, p->e) : p->e;
            south = any ? std::min(south, p->n) : p->n;
            north = any ? std::max(north, p->n) : p->n;
            any = true;
        }
    if (any) {
        const double span = std::max({east - west, north - south, 1e-9});
        const double scale = std::min((kWidth - 2 * kMargin) / std::max(east - west, span * 1e-3),
                                      (kHeight - 2 * kMargin) / std::max(north - south, span * 1e-3));
        const auto x = [&](const PlanePoint& p) { return kMargin + (p.e - west) * scale; };
        const auto y = [&](const PlanePoint& p) { return kHeight - kMargin - (p.n - south) * scale; };
        const bool crowded = result.benchmarks.size() > kMapNamesUpTo;  // smaller marks
        double fastest = 1.0;
        for (const VelocityRow& v : result.velocities)
            fastest = std::max(fastest, std::abs(v.velocityMmPerYear.value_or(0.0)));
        // The legend has a strip of its own below the map, where no benchmark lies.
        out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << kHeight + 24
            << "\" role=\"img\" aria-label=\"速度分布圖\">\n";
        {
            const std::vector<std::pair<int, int>> lines = sections(result);
            if (lines.size() <= kMapLinesUpTo) {
                out << "<g stroke=\"#ccc\" stroke-width=\"0.8\">\n";
                for (const auto& [a, b] : lines)
                    if (places.places[a] && places.places[b])
                        out << "<line x1=\"" << at(x(*places.places[a])) << "\" y1=\"" << at(y(*places.places[a]))
                            << "\" x2=\"" << at(x(*places.places[b])) << "\" y2=\"" << at(y(*places.places[b])) << "\"/>\n";
                out << "</g>\n";
            }
        }
        for (const VelocityRow& v : result.velocities) {
            const std::optional<PlanePoint>& p = std::size_t(v.benchmark) < places.places.size() ? places.places[v.benchmark]
                                                                                                : std::nullopt;
            if (!p)
                continue;
            const std::string title = "<title>" + htmlEscaped(benchmarkName(result, v.benchmark)) + "：" +
                                      fixedOr(v.velocityMmPerYear, 2, "–") + " mm/年（" + std::string(classWord(v.kind)) +
                                      "）</title>";
            if (!v.velocityMmPerYear) {
                out << "<circle cx=\"" << at(x(*p)) << "\" cy=\"" << at(y(*p)) << "\" r=\"3\" fill=\"none\" stroke=\"#999\">"
                    << title << "</circle>\n";
                continue;
            }
            const double rate = *v.velocityMmPerYear;
            const double radius = (crowded ? 1.5 : 3.0) + (crowded ? 6.0 : 9.0) * std::min(1.0, std::abs(rate) / fastest);
            const std::string fill = velocityColour(rate, fastest);
            const std::string stroke = flagged(v) ? "#000" : "#666";
            if (v.stable)
                out << "<rect x=\"" << at(x(*p) - radius) << "\" y=\"" << at(y(*p) - radius) << "\" width=\""
                    << at(2 * radius) << "\" height=\"" << at(2 * radius) << "\" fill=\"" << fill << "\" stroke=\""
                    << stroke << "\">" << title << "</rect>\n";
            else
                out << "<circle cx=\"" << at(x(*p)) << "\" cy=\"" << at(y(*p)) << "\" r=\"" << at(radius) << "\" fill=\""
                    << fill << "\" stroke=\"" << stroke << "\">" << title << "</circle>\n";
        }
        if (result.benchmarks.size() <= kMapNamesUpTo)
            for (std::size_t b = 0; b < result.benchmarks.size(); ++b)
                if (b < places.places.size() && places.places[b])
                    out << "<text x=\"" << at(x(*places.places[b]) + 12) << "\" y=\"" << at(y(*places.places[b]) - 6)
                        << "\" font-size=\"10\" fill=\"#333\">" << htmlEscaped(result.benchmarks[b]) << "</text>\n";
        out << "<text x=\"" << kMargin << "\" y=\"" << kHeight + 16 << "\" font-size=\"11\">方形：穩定點；圓形：其他水準點；"
            << "顏色越深、記號越大者越快（最快 " << fixed(fastest, 1) << " mm/年）</text>\n</svg>\n";
    }
    if (!places.unplaced.empty())
        out << "<p>點位檔中沒有的水準點（" << places.unplaced.size() << " 點，未畫出）：" << nameList(result, places.unplaced)
            << "</p>\n";
}

void writePictures(const DeformationResult& result, const MapPlaces& places, std::ostream& out)
{
    const std::vector<std::size_t> rows = fastestFlagged(result, kHeightPicturesMost);
    if (!rows.empty()) {
        out << "<h2>顯著移動水準點的高程變化</h2>\n<p>各期高程（相對於首期的擬合高程，附中誤差）與擬合的速度直線";
        const std::size_t all = fastestFlagged(result, result.velocities.size()).size();
        if (all > rows.size())
            out << "；共 " << all << " 點，此處畫出最快的 " << rows.size() << " 點";
        out << "。</p>\n";
        for (std::size_t i : rows)
            heightPicture(result, result.velocities[i], out);
    }
    velocityMap(result, places, out);
}

}  // namespace

void writeDeformationHtml(const DeformationResult& result, const MapPlaces& places, std::ostream& out)
{
    out << "<!DOCTYPE html>\n<html lang=\"zh-Hant\">\n<head>\n<meta charset=\"utf-8\">\n<title>沉陷監測報告</title>\n<style>"
        << kStyle << "</style>\n</head>\n<body>\n";
    writeHeading(result, out);
    writeVerdicts(result, out);
    writeEpochs(result, out);
    writeComparisons(result, out);
    writeVelocities(result, out);
    writePictures(result, places, out);
    out << "</body>\n</html>\n";
}

}  // namespace korvane::deformation
