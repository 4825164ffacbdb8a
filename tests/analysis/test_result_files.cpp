// The result files read back: the JSON document with a JSON library, the three CSV tables with a
// small CSV reader; names with commas and quotes survive; no NaN or infinity anywhere, even
// where nothing can be computed (no redundancy, no a-priori sigma0).
#include "analyse.h"
#include "csv_writer.h"
#include "html_writer.h"
#include "json_writer.h"
#include "network_builders.h"
#include "result_words.h"
#include "summary_writer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace korvane::analysis {
namespace {

using nlohmann::json;

// A network with a tricky name, a weighted known point, a spur (no test) and a gross error in
// P1 -> BM2 (1.34 m where 0.30 m was levelled), which snooping removes.
NetworkRows sampleRows()
{
    return testing::rowsOf({testing::observation("BM,\"1\"", "P1", 1.2000, 1.0, 0.002),
                            testing::observation("P1", "P2", 0.8000, 1.5, 0.002),
                            testing::observation("P2", "BM2", -0.5000, 1.0, 0.002),
                            testing::observation("BM2", "BM,\"1\"", -1.4990, 2.0, 0.002),
                            testing::observation("P1", "BM2", 1.3400, 1.2, 0.002),
                            testing::observation("P2", "SPUR", 0.1000, 0.5, 0.002),
                            testing::observation("BM,\"1\"", "P2", 2.0000, 1.8, 0.002)},
                           {testing::knownPoint("BM,\"1\"", 10.0), testing::knownPoint("BM2", 11.5, 0.003)});
}

std::vector<std::vector<std::string>> readCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(field), field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.back().push_back(field), field.clear();
            rows.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void expectNoNanOrInfinity(const std::string& text, const std::string& what)
{
    static const std::regex bad(R"((^|[^A-Za-z])(nan|inf|infinity)([^A-Za-z]|$))", std::regex::icase);
    EXPECT_FALSE(std::regex_search(text, bad)) << what;
}

TEST(ResultFiles, JsonReadsBackWithEveryValue)
{
    AnalysisOptions options;
    options.snoop = true;
    const AnalysisResult result = analyse(buildNetwork(sampleRows()), options);
    std::ostringstream out;
    writeJson(result, out);
    const json document = json::parse(out.str());

    EXPECT_EQ(document["format"], "korvane-network-analysis");
    EXPECT_EQ(document["weighting"], "grade");
    EXPECT_EQ(document["counts"]["points"], result.points.size());
    ASSERT_EQ(document["points"].size(), result.points.size());
    ASSERT_EQ(document["observations"].size(), result.observations.size());
    EXPECT_EQ(document["checks"]["loops"].size(), result.checks.loops.size());
    EXPECT_EQ(document["global_test"]["dof"], result.global.dof);
    EXPECT_EQ(document["global_test"]["verdict"], wordFor(result.global.verdict));
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const json& p = document["points"][i];
        EXPECT_EQ(p["no"], i + 1);
        EXPECT_EQ(p["name"], result.points[i].name);
        EXPECT_NEAR(p["height_m"].get<double>(), *result.points[i].height, 5e-7);
        EXPECT_NEAR(p["sigma_mm"].get<double>(), *result.points[i].sigma, 5e-4);
    }
    EXPECT_EQ(document["points"][1]["known"], "weighted");
    EXPECT_TRUE(document["points"][1]["known_test"].is_object());
    EXPECT_TRUE(document["points"][0]["known_test"].is_null());
    for (std::size_t i = 0; i < result.observations.size(); ++i) {
        const json& o = document["observations"][i];
        const ObservationResult& r = result.observations[i];
        EXPECT_EQ(o["from"], result.points[r.from].name);
        EXPECT_NEAR(o["residual_mm"].get<double>(), *r.test.residual, 5e-4);
        EXPECT_EQ(o["removed_at_step"], r.removedAtStep);
        if (r.removedAtStep > 0)
            EXPECT_TRUE(o["redundancy"].is_null());
        else
            EXPECT_NEAR(o["redundancy"].get<double>(), *r.test.redundancy, 5e-5);
        EXPECT_EQ(o["w"].is_null(), !r.test.w);
        EXPECT_EQ(o["controlled"], r.test.controlled);
    }
    EXPECT_TRUE(document["observations"][5]["w"].is_null());  // the spur
    ASSERT_EQ(document["snooping"].size(), 1u);
    EXPECT_EQ(document["snooping"][0]["removed"]["observation"], 5);
    EXPECT_EQ(document["observations"][4]["removed_at_step"], 1);
    EXPECT_EQ(document["global_test_before_snooping"]["verdict"], "too-large");
}

TEST(ResultFiles, CsvTablesReadBack)
{
    const AnalysisResult result = analyse(buildNetwork(sampleRows()), {});
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane-analysis-csv-test";
    std::filesystem::remove_all(folder);
    writeCsvFolder(result, folder / "made");

    const std::string points = fileText(folder / "made" / "points.csv");
    ASSERT_EQ(points.substr(0, 3), "\xEF\xBB\xBF");
    const auto pointRows = readCsv(points.substr(3));
    ASSERT_EQ(pointRows.size(), result.points.size() + 1);
    EXPECT_EQ(pointRows[0][0], "no");
    EXPECT_EQ(pointRows[0][1], "name");
    EXPECT_EQ(pointRows[1][1], "BM,\"1\"");
    for (std::size_t i = 1; i < pointRows.size(); ++i) {
        EXPECT_EQ(pointRows[i].size(), pointRows[0].size());
        EXPECT_NEAR(std::stod(pointRows[i][7]), *result.points[i - 1].height, 5e-6);
    }

    const auto observationRows = readCsv(fileText(folder / "made" / "observations.csv").substr(3));
    ASSERT_EQ(observationRows.size(), result.observations.size() + 1);
    EXPECT_EQ(observationRows[0][10], "residual_mm");
    EXPECT_EQ(observationRows[6][13], "");  // the spur has no w: an empty field
    EXPECT_EQ(observationRows[6][12], "false");

    const auto loopRows = readCsv(fileText(folder / "made" / "loops.csv").substr(3));
    EXPECT_EQ(loopRows.size(),
              1 + result.checks.loops.size() + result.checks.knownLines.size() + result.checks.repeats.size());
    EXPECT_EQ(loopRows[1][1], "loop");
    std::filesystem::remove_all(folder);
}

TEST(ResultFiles, NothingComputableGivesNoNanOrInfinity)
{
    struct Case {
        const char* name;
        NetworkRows rows;
        AnalysisOptions options;
    };
    AnalysisOptions free;
    free.freeNetwork = true;
    free.snoop = true;
    const Case cases[] = {
        {"a chain: no redundancy", testing::rowsOf({testing::observation("A", "B", 1.0, 1.0), testing::observation("B", "C", 1.0, 1.0)},
                                                   {testing::knownPoint("A", 1.0)}), {}},
        {"distance weighting without sigma0", sampleRows(), {}},
        {"one observation, free", testing::rowsOf({testing::observation("A", "B", 1.0, 1.0, 0.001)}, {}), free},
        {"between two held points only", testing::rowsOf({testing::observation("A", "B", 1.0, 1.0, 0.001)},
                                                         {testing::knownPoint("A", 1.0), testing::knownPoint("B", 2.0)}),
         {}},
    };
    for (const Case& c : cases) {
        NetworkRows rows = c.rows;
        if (std::string(c.name) == "distance weighting without sigma0")
            for (ObservationRow& o : rows.observations)
                o.grade = -9.0;
        const AnalysisResult result = analyse(buildNetwork(rows), c.options);
        std::ostringstream jsonText, html, summary, points, observations, loops;
        writeJson(result, jsonText);
        writeHtml(result, html);
        writeSummary(result, summary);
        writePointsCsv(result, points);
        writeObservationsCsv(result, observations);
        writeLoopsCsv(result, loops);
        EXPECT_NO_THROW(json::parse(jsonText.str())) << c.name;
        for (const std::string& text : {jsonText.str(), html.str(), summary.str(), points.str(), observations.str(), loops.str()})
            expectNoNanOrInfinity(text, c.name);
    }
}

TEST(ResultFiles, AFileThatCannotBeWrittenIsNamed)
{
    const AnalysisResult result = analyse(buildNetwork(sampleRows()), {});
    try {
        writeCsvFolder(result, "/proc/korvane-no-such-folder");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("/proc/korvane-no-such-folder"), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace korvane::analysis
