// The layouts of the summary and the HTML report against golden files, on a small network that
// shows every part of them: two parts (one without a known point), a repeated section beyond
// tolerance, a failing loop, lines between known points, a name tarnex would merge, a weighted
// known point, an observation nothing controls, and a gross error of 5 cm in A2 -> A3 that
// snooping removes.
// A large network's report opens with the verdicts and keeps what matters of its long tables.
// KORVANE_UPDATE_GOLDEN=1 rewrites the golden files.
#include "analyse.h"
#include "html_writer.h"
#include "network_builders.h"
#include "summary_writer.h"

#include "chinese_sentences.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <regex>
#include <set>
#include <sstream>

namespace korvane::analysis {
namespace {

NetworkRows layoutRows()
{
    using testing::knownPoint;
    using testing::observation;
    return testing::rowsOf({observation("BM1", "A1", 1.2003, 1.10, 0.002), observation("A1", "A2", 0.4511, 0.90, 0.002),
                            observation("A2", "BM2", -0.8502, 1.30, 0.002), observation("BM2", "A3", 0.3009, 0.80, 0.002),
                            observation("A3", "BM1", -1.1031, 1.20, 0.002), observation("A1", "A3", -0.0982, 0.70, 0.002),
                            observation("A2", "A3", -0.4993, 0.60, 0.002), observation("A1", "A2", 0.4490, 0.90, 0.002),
                            observation("A2", "A1", -0.4572, 0.90, 0.002), observation("A3", "SPUR", 2.0000, 0.40, 0.002),
                            observation("LONGNAME1", "LONGNAME2", 0.1000, 0.50, 0.002),
                            observation("LONGNAME2", "水準點甲", 0.2000, 0.50, 0.002),
                            observation("水準點甲", "LONGNAME1", -0.3040, 0.50, 0.002)},
                           {knownPoint("BM1", 100.0), knownPoint("BM2", 100.8000, 0.002)}, "Layout network 版面");
}

std::string goldenPath(const std::string& name)
{
    return std::string(ANALYSIS_GOLDEN_DIR) + "/" + name;
}

void compareWithGolden(const std::string& text, const std::string& name)
{
    if (std::getenv("KORVANE_UPDATE_GOLDEN")) {
        std::ofstream(goldenPath(name), std::ios::binary) << text;
        return;
    }
    std::ifstream in(goldenPath(name), std::ios::binary);
    ASSERT_TRUE(in.good()) << "no golden file " << name;
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(text, golden.str()) << name << " differs from its golden file";
}

TEST(ReportLayouts, SummaryAndHtmlAsTheGoldenFiles)
{
    AnalysisOptions options;
    options.snoop = true;
    options.toleranceClass = "second-II";
    options.toleranceK = 8.0;
    const AnalysisResult result = analyse(buildNetwork(layoutRows()), options);
    std::ostringstream summary, html;
    writeSummary(result, summary);
    writeHtml(result, html);
    compareWithGolden(summary.str(), "layout_summary.txt");
    compareWithGolden(html.str(), "layout_report.html");
}


std::size_t countOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// The words of Latin letters in a page's text (without its style, tags and character references)
// that are not point names, the title or the data's name, nor the units, file kinds, program and
// symbols the report writes as they are.
std::vector<std::string> englishWords(const AnalysisResult& result, const std::string& html)
{
    std::string text = std::regex_replace(html, std::regex("<style>[^<]*</style>"), " ");
    text = std::regex_replace(text, std::regex("<[^>]*>"), " ");
    text = std::regex_replace(text, std::regex("&[#a-zA-Z0-9]+;"), " ");
    std::set<std::string> allowed = {"mm", "km", "MDB", "CSV", "JSON", "tarnex", "Pv"};
    static const std::regex word("[A-Za-z]{2,}");
    auto allow = [&](const std::string& names) {
        for (auto it = std::sregex_iterator(names.begin(), names.end(), word); it != std::sregex_iterator(); ++it)
            allowed.insert(it->str());
    };
    for (const PointResult& point : result.points)
        allow(point.name);
    allow(result.title);
    allow(result.sourceName);
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), word); it != std::sregex_iterator(); ++it)
        if (!allowed.count(it->str()))
            found.push_back(it->str());
    return found;
}

// The report is in Traditional Chinese throughout, the notes and the reasons of a test not made
// too, whatever the weighting, datum and options.
TEST(ReportLayouts, TheReportIsInChineseThroughout)
{
    auto distanceWeighted = [] {
        NetworkRows rows = layoutRows();
        for (ObservationRow& o : rows.observations)
            o.grade = -9.0;
        return rows;
    };
    struct Case {
        const char* what;
        NetworkRows rows;
        std::function<void(AnalysisOptions&)> options;
    };
    const Case cases[] = {
        {"grade weighting, snooping, a class of tolerance", layoutRows(),
         [](AnalysisOptions& o) {
             o.snoop = true;
             o.toleranceClass = "second-II";
         }},
        {"distance weighting without an a-priori sigma0", distanceWeighted(), [](AnalysisOptions&) {}},
        {"distance weighting with an a-priori sigma0", distanceWeighted(), [](AnalysisOptions& o) { o.sigma0 = 1.5; }},
        {"a free network on its known points", layoutRows(), [](AnalysisOptions& o) { o.freeNetwork = true; }},
        {"a free network on a named datum point", layoutRows(),
         [](AnalysisOptions& o) {
             o.freeNetwork = true;
             o.datumPoints = {"BM1"};
         }},
        {"no redundancy",
         testing::rowsOf({testing::observation("BM1", "P", 1.0, 1.0)}, {testing::knownPoint("BM1", 100.0)}),
         [](AnalysisOptions&) {}},
    };
    for (const Case& c : cases) {
        AnalysisOptions options;
        c.options(options);
        const AnalysisResult result = analyse(buildNetwork(c.rows), options);
        ASSERT_FALSE(result.notes.empty() && result.global.reason.empty()) << c.what << ": nothing to translate";
        std::ostringstream html;
        writeHtml(result, html);
        const std::vector<std::string> words = englishWords(result, html.str());
        std::string list;
        for (const std::string& w : words)
            list += w + " ";
        EXPECT_TRUE(words.empty()) << c.what << ": " << list;
    }
}

// Why an analysis could not be made reaches the window in Chinese too: the failures the library
// and the row checks raise, places and all, keep only names and numbers in Latin letters.
TEST(ReportLayouts, FailuresAreTranslatedWithTheirPlaces)
{
    auto failure = [](const std::function<void()>& run) -> std::string {
        try {
            run();
        } catch (const std::exception& e) {
            return e.what();
        }
        ADD_FAILURE() << "no failure";
        return {};
    };
    NetworkRows noKnown = layoutRows();
    noKnown.knownPoints.clear();
    NetworkRows emptyName = layoutRows();
    emptyName.observations[2].to.clear();
    NetworkRows farDh = layoutRows();
    farDh.observations[1].dh = 2e4;
    NetworkRows twice = layoutRows();
    twice.knownPoints.push_back(twice.knownPoints.front());
    AnalysisOptions datum;
    datum.freeNetwork = true;
    datum.datumPoints = {"NOWHERE"};
    const std::string messages[] = {
        failure([&] { analyse(buildNetwork(noKnown), {}); }),
        failure([&] { buildNetwork(emptyName); }),
        failure([&] { buildNetwork(farDh); }),
        failure([&] { buildNetwork(twice); }),
        failure([&] { analyse(buildNetwork(layoutRows()), datum); }),
    };
    // Names of points and of the file's fields stay as they are.
    static const std::regex word("[A-Za-z]{2,}");
    std::set<std::string> allowed;
    const FieldNames fields;
    for (std::string names = "NOWHERE " + fields.from + " " + fields.to + " " + fields.dh + " " + fields.name;
         const KnownPointRow& k : layoutRows().knownPoints) {
        names += " " + k.name;
        for (auto it = std::sregex_iterator(names.begin(), names.end(), word); it != std::sregex_iterator(); ++it)
            allowed.insert(it->str());
    }
    for (const std::string& message : messages) {
        const std::string chinese = failureInChinese(message);
        EXPECT_NE(chinese, message);
        std::string place = layoutRows().observationPlace + layoutRows().knownPointPlace;
        for (auto it = std::sregex_iterator(chinese.begin(), chinese.end(), word); it != std::sregex_iterator(); ++it)
            EXPECT_TRUE(allowed.count(it->str()) || place.find(it->str()) != std::string::npos)
                << it->str() << " in " << chinese;
    }
}

// Rows of the table that follows `heading` in the report, and whether each is flagged.
struct TableRows {
    std::vector<int> numbers;
    int flagged = 0;
};

TableRows tableAfter(const std::string& html, const std::string& heading)
{
    TableRows rows;
    const std::size_t start = html.find(heading);
    const std::size_t end = html.find("</table>", start);
    static const std::regex row(R"re(<tr( class="(flag|flag likely|removed)")?><td class="n">(\d+)</td>)re");
    for (auto it = std::sregex_iterator(html.begin() + std::ptrdiff_t(start), html.begin() + std::ptrdiff_t(end), row);
         it != std::sregex_iterator(); ++it) {
        rows.numbers.push_back(std::stoi((*it)[3]));
        rows.flagged += (*it)[1].matched;
    }
    return rows;
}

// A network too large to show whole (3,000 points, a gross error): the report opens with the
// verdicts, and its long tables keep every flagged row and the 300 worst others.
TEST(ReportLayouts, ALargeNetworkOpensWithTheVerdictsAndKeepsWhatMatters)
{
    testing::RandomNetworkShape shape;
    shape.points = 3000;
    shape.extraSections = 2500;
    shape.knownPoints = 4;
    std::mt19937 random(11);
    NetworkRows rows = testing::randomNetwork(shape, random).rows;
    rows.observations[10].dh += 0.05;
    const AnalysisResult result = analyse(buildNetwork(rows), {});
    std::ostringstream out;
    writeHtml(result, out);
    const std::string html = out.str();

    std::size_t at = 0;
    for (const char* heading : {"<h2>整體檢定</h2>", "<h2>檢定未過的觀測", "<h2>閉合差超限", "<h2>檢核</h2>",
                                "<h2>成果：高程</h2>", "<h2>觀測</h2>"}) {
        const std::size_t found = html.find(heading, at);
        ASSERT_NE(found, std::string::npos) << heading << " missing or out of order";
        at = found;
    }

    int flaggedObservations = 0, failingLoops = 0;
    for (const ObservationResult& o : result.observations)
        flaggedObservations += o.flagged();
    for (const ClosureCheck& loop : result.checks.loops)
        failingLoops += !loop.passes;
    ASSERT_GT(flaggedObservations, 0);
    ASSERT_GT(failingLoops, 0);
    const TableRows flagged = tableAfter(html, "<h2>檢定未過的觀測");
    EXPECT_EQ(int(flagged.numbers.size()), flaggedObservations);
    EXPECT_EQ(flagged.flagged, flaggedObservations);
    // By descending |w|, the planted one first and marked as the most likely gross error.
    for (std::size_t i = 1; i < flagged.numbers.size(); ++i)
        EXPECT_GE(std::abs(*result.observations[flagged.numbers[i - 1] - 1].test.w),
                  std::abs(*result.observations[flagged.numbers[i] - 1].test.w))
            << i;
    ASSERT_FALSE(flagged.numbers.empty());
    EXPECT_EQ(flagged.numbers.front(), 11);
    EXPECT_EQ(countOf(html, "最可能的粗差</td>"), 2u);  // in the flagged ones and in the table of all
    EXPECT_NE(html.find("<tr class=\"flag likely\"><td class=\"n\">11</td>"), std::string::npos);

    const TableRows observations = tableAfter(html, "<h2>觀測</h2>");
    EXPECT_EQ(int(observations.numbers.size()), flaggedObservations + 300);
    EXPECT_EQ(observations.flagged, flaggedObservations);
    EXPECT_TRUE(std::is_sorted(observations.numbers.begin(), observations.numbers.end()));
    const TableRows loops = tableAfter(html, "<h3>環線（" + std::to_string(result.checks.loops.size()) + "）");
    EXPECT_EQ(int(loops.numbers.size()), failingLoops + 300);
    EXPECT_EQ(loops.flagged, failingLoops);
    const TableRows heights = tableAfter(html, "<h2>成果：高程</h2>");
    EXPECT_EQ(heights.numbers.size(), 4u + 300u);
    EXPECT_NE(html.find("完整的表在 CSV 與 JSON 檔中"), std::string::npos);

    // The observation of the largest |w| among the unflagged ones is shown.
    int worst = -1;
    double largest = -1.0;
    for (std::size_t i = 0; i < result.observations.size(); ++i) {
        const ObservationTest& t = result.observations[i].test;
        if (!result.observations[i].flagged() && t.w && std::abs(*t.w) > largest)
            worst = int(i), largest = std::abs(*t.w);
    }
    const std::vector<int>& shown = observations.numbers;
    EXPECT_NE(std::find(shown.begin(), shown.end(), worst + 1), shown.end());
}

// Weights a hundred times too large: nearly every observation fails its test. The report keeps
// the first 2,000 flagged ones in the verdicts and in the table, not all of them.
TEST(ReportLayouts, FlaggedRowsBeyondTwoThousandAreLeftToTheCsvAndJson)
{
    testing::RandomNetworkShape shape;
    shape.points = 3000;
    shape.extraSections = 2500;
    std::mt19937 random(12);
    NetworkRows rows = testing::randomNetwork(shape, random).rows;
    for (ObservationRow& o : rows.observations)
        o.grade /= 100.0;
    const AnalysisResult result = analyse(buildNetwork(rows), {});
    int flaggedObservations = 0;
    for (const ObservationResult& o : result.observations)
        flaggedObservations += o.flagged();
    ASSERT_GT(flaggedObservations, 2300);
    std::ostringstream out;
    writeHtml(result, out);
    const std::string html = out.str();
    EXPECT_EQ(tableAfter(html, "<h2>檢定未過的觀測").numbers.size(), 2000u);
    EXPECT_NE(html.find("共 " + std::to_string(flaggedObservations) + " 個檢定未過的觀測，列出統計量最大的前 2000 個"),
              std::string::npos);
    const TableRows observations = tableAfter(html, "<h2>觀測</h2>");
    EXPECT_EQ(observations.numbers.size(), 2000u + 300u);
    EXPECT_NE(html.find("另有 " + std::to_string(flaggedObservations - 2000) + " 列）"), std::string::npos);
}

}  // namespace
}  // namespace korvane::analysis
