// The result files read back: the JSON document with a JSON library, the three CSV tables with a
// small CSV reader; names with commas and quotes survive; no NaN or infinity anywhere, even
// where nothing can be computed (no redundancy, no a-priori sigma0). The streamed JSON and CSV
// byte for byte as a document tree of nlohmann-json and a string per field give them (the
// reference writers), and numbers of any size written whole.
#include "analyse.h"
#include "csv_writer.h"
#include "html_writer.h"
#include "json_text.h"
#include "json_writer.h"
#include "network_builders.h"
#include "number_format.h"
#include "reference_writers.h"
#include "result_words.h"
#include "summary_writer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <bit>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
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


// Random networks (tests/analysis/network_builders.h) in every state the writers show: snooping
// with a planted gross error, weighted known points, a free network, nulls where nothing is
// computable, and names that need escapes.
struct StreamCase {
    const char* name;
    testing::RandomNetworkShape shape;
    AnalysisOptions options;
    bool grossError = false;
    bool trickyNames = false;
};

std::vector<StreamCase> streamCases()
{
    AnalysisOptions snoop;
    snoop.snoop = true;
    AnalysisOptions free;
    free.freeNetwork = true;
    AnalysisOptions sigma0;
    sigma0.sigma0 = 1.0;
    sigma0.toleranceClass = "first-I";
    sigma0.toleranceK = 4.0;
    testing::RandomNetworkShape weighted;
    weighted.weightedKnown = true;
    weighted.points = 60;
    weighted.extraSections = 50;
    testing::RandomNetworkShape distance;
    distance.gradeWeighting = false;
    testing::RandomNetworkShape large;  // lists long enough to be written by two threads
    large.points = 21000;
    large.extraSections = 500;
    testing::RandomNetworkShape chain;  // no redundancy: the tests are not computable
    chain.extraSections = 0;
    chain.knownPoints = 1;
    return {{"snooping with weighted known points", weighted, snoop, true, false},
            {"free network", {}, free, false, false},
            {"distance weighting without sigma0", distance, {}, false, false},
            {"distance weighting with sigma0", distance, sigma0, true, false},
            {"a chain", chain, snoop, false, false},
            {"a large network", large, {}, true, false},
            {"names that need escapes", weighted, snoop, true, true}};
}

NetworkRows streamCaseRows(const StreamCase& c, std::mt19937& random)
{
    NetworkRows rows = testing::randomNetwork(c.shape, random).rows;
    if (c.grossError)
        rows.observations[3].dh += 0.25;
    if (c.trickyNames) {
        const std::map<std::string, std::string> renamed = {
            {"P00001", "BM \"1\""}, {"P00002", "back\\slash"}, {"P00003", "tab\there"}, {"P00004", "ctl\x01\x1f\x7f"},
            {"P00005", "水準點甲"},   {"P00006", "comma,\r\nline"}, {"P00007", "a/b\b\f"}};
        auto rename = [&](std::string& name) {
            if (const auto found = renamed.find(name); found != renamed.end())
                name = found->second;
        };
        for (ObservationRow& o : rows.observations)
            rename(o.from), rename(o.to);
        for (KnownPointRow& k : rows.knownPoints)
            rename(k.name);
        rows.title = "Title \"with\" \\ and 版面\t";
    }
    return rows;
}

// The text each writer gives: the streamed writers and the reference ones.
template <typename Write>
std::string written(const AnalysisResult& result, const Write& write)
{
    std::ostringstream out;
    write(result, out);
    return out.str();
}

void expectSameFiles(const AnalysisResult& result, const std::string& what)
{
    EXPECT_EQ(written(result, writeJson), written(result, testing::writeJsonByTree)) << what;
    EXPECT_EQ(written(result, writePointsCsv), written(result, testing::writePointsCsvByStrings)) << what;
    EXPECT_EQ(written(result, writeObservationsCsv), written(result, testing::writeObservationsCsvByStrings)) << what;
    EXPECT_EQ(written(result, writeLoopsCsv), written(result, testing::writeLoopsCsvByStrings)) << what;
}

TEST(ResultFiles, JsonAndCsvStreamedAsTheDocumentTreeWritesThem)
{
    std::mt19937 random(7);
    for (const StreamCase& c : streamCases()) {
        const AnalysisResult result = analyse(buildNetwork(streamCaseRows(c, random)), c.options);
        expectSameFiles(result, c.name);
    }
}

// Values no network gives but a result may hold: each number format of nlohmann-json (whole
// numbers, exponents, -0.0, the smallest and largest doubles, digits Grisu2 does not shorten as
// std::to_chars would).
TEST(ResultFiles, ExtremeNumbersStreamedAsTheDocumentTreeWritesThem)
{
    AnalysisOptions options;
    options.snoop = true;
    options.sigma0 = 0.001;
    AnalysisResult result = analyse(buildNetwork(sampleRows()), options);
    const double values[] = {6.67e79, -0.0, 1e-5, 100.0, 1e15, 1e16, 5e-324, -1.7976931348623157e308,
                             123456789012345678.0, -8.4816206987030405e18, 1316436775194682.2, 0.1, 2.5e-7};
    std::size_t next = 0;
    auto value = [&] { return values[next++ % std::size(values)]; };
    for (PointResult& p : result.points) {
        p.height = value();
        p.givenHeight = value();
        p.sigma = value();
        p.freeOffset = value();
    }
    for (ObservationResult& o : result.observations) {
        o.dh = value();
        o.distance = value();
        o.grade = value();
        o.weight = value();
        o.test.w = value();
        o.test.residual = value();
    }
    result.options.toleranceK = value();
    result.options.alpha = value();
    result.checks.loops.front().misclosureMm = value();
    result.checks.loops.front().lengthKm = value();
    expectSameFiles(result, "extreme numbers");
}

// The numbers written without nlohmann-json's conversion, against it: results rounded to 3, 4 and
// 6 decimals and values as read (5 decimals) of every size, and numbers of 17 digits.
TEST(ResultFiles, JsonNumbersAsNlohmannJsonWritesThem)
{
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> exponent(-8.0, 9.0);
    std::uniform_int_distribution<std::uint64_t> anyBits;
    const int decimals[] = {3, 4, 6, 5, 9};
    for (int i = 0; i < 300000; ++i) {
        double value = std::pow(10.0, exponent(random)) * (i % 2 ? -1.0 : 1.0);
        if (i % 7 == 6)
            value = std::bit_cast<double>(anyBits(random));
        else if (i % 7 != 5)
            value = rounded(value, decimals[i % 5]);
        if (!std::isfinite(value))
            continue;
        char text[kJsonNumberRoom];
        const std::string mine(text, jsonNumber(text, value));
        ASSERT_EQ(mine, json(value).dump()) << std::bit_cast<std::uint64_t>(value);
    }
}

// Every finite double written whole, with all its decimals: no buffer of a fixed size cuts it.
TEST(ResultFiles, NumbersOfAnySizeWrittenWhole)
{
    const std::string bigHeight =
        "66700000000000005112230889226934879962231990785418103095004268963040926124474368.00000";
    const struct {
        double value;
        int decimals;
        std::string text;
    } fixedCases[] = {
        {6.67e79, 5, bigHeight},
        {-0.0004, 3, "0.000"},
        {-1e-300, 2, "0.00"},
        {-1.5, 1, "-1.5"},
        {0.125, 2, "0.12"},
        {0.1, 60, "0.100000000000000005551115123125782702118158340454101562500000"},
    };
    for (const auto& c : fixedCases)
        EXPECT_EQ(fixed(c.value, c.decimals), c.text) << c.value;
    // Against the exact conversion of std::to_chars: values of every size, halves and other ties
    // of binary fractions, at every number of decimals the result files use and more.
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> exponent(-12.0, 20.0);
    for (int i = 0; i < 200000; ++i) {
        const int decimals = i % 11;
        double value = std::pow(10.0, exponent(random)) * (i % 2 ? -1.0 : 1.0);
        if (i % 3 == 0)
            value = std::ldexp(std::round(std::ldexp(value, 12)), -12);  // ties at 1/2^12
        char text[400];
        const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
        std::string expected(text, end);
        if (expected.find_first_not_of("-0.") == std::string::npos && expected.front() == '-')
            expected.erase(0, 1);
        ASSERT_EQ(fixed(value, decimals), expected) << value << " to " << decimals;
    }
    const std::string largest = fixed(-1.7976931348623157e308, 2);
    EXPECT_EQ(largest.size(), 1 + 309 + 3);
    EXPECT_EQ(std::stod(largest), -1.7976931348623157e308);
    const std::string digits = significant(1e300, 400);
    EXPECT_EQ(digits.size(), 301u);
    EXPECT_EQ(digits.substr(0, 20), "10000000000000000525");
    EXPECT_EQ(significant(1234567.0, 6), "1.23457e+06");

    // The same height in every result file.
    AnalysisResult result = analyse(buildNetwork(sampleRows()), {});
    result.points[2].height = 6.67e79;
    result.points[3].height = -1.7976931348623157e308;
    std::ostringstream summary, html, points, jsonText;
    writeSummary(result, summary);
    writeHtml(result, html);
    writePointsCsv(result, points);
    writeJson(result, jsonText);
    EXPECT_NE(summary.str().find(" " + bigHeight), std::string::npos);
    EXPECT_NE(html.str().find(">" + bigHeight + "<"), std::string::npos);
    const auto rows = readCsv(points.str().substr(3));
    EXPECT_EQ(rows[3][7], bigHeight);
    EXPECT_EQ(rows[4][7], largest + "000");
    const json document = json::parse(jsonText.str());
    EXPECT_EQ(document["points"][2]["height_m"].get<double>(), 6.67e79);
    EXPECT_EQ(document["points"][3]["height_m"].get<double>(), -1.7976931348623157e308);
}

}  // namespace
}  // namespace korvane::analysis
