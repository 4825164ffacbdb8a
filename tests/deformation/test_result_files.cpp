// The monitoring's result files on a result filled by hand: the CSV tables' headers and rows
// (quoting, empty cells for what is not computable, the epochs named by their dates), the JSON
// document's fields with null for what is not computable, the HTML page's language, verdicts and
// pictures, the size limits of a large network, and the summary's lists.
#include "deformation_csv.h"
#include "deformation_html.h"
#include "deformation_json.h"
#include "deformation_summary.h"
#include "hand_filled_result.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace korvane::deformation {
namespace {

using testing::chainResult;
using testing::handFilledResult;

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text.substr(text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0));
    for (std::string line; std::getline(in, line);)
        out.push_back(line.substr(0, line.size() - (!line.empty() && line.back() == '\r')));
    return out;
}

template <typename Write>
std::string written(Write write, const DeformationResult& result)
{
    std::ostringstream out;
    write(result, out);
    return out.str();
}

TEST(DeformationCsv, HeadersAndRows)
{
    const DeformationResult result = handFilledResult();
    struct Case {
        void (*write)(const DeformationResult&, std::ostream&);
        std::string header;
        std::size_t rows;
        std::string row;  // one of them, whole
    };
    const Case cases[] = {
        {writeVelocitiesCsv,
         "name,epochs,height_m,height_sigma_mm,velocity_mm_per_year,sigma_mm_per_year,statistic,critical,significant,"
         "stable,class,note",
         5, "B,2,11.00000,0.80,-8.00,1.50,5.333,2.306,true,false,moving,"},
        {writeVelocitiesCsv, "", 5, "\"E,1\",1,14.00000,,,,,,false,false,none,observed in one epoch only"},
        {writeDisplacementsCsv,
         "from_epoch,to_epoch,name,displacement_mm,sigma_mm,statistic,critical,mdb_mm,significant,stable", 4,
         "2021-03-01,2023-03-01,D,-100.00,1.70,58.824,2.306,6.10,true,false"},
        {writeEpochsCsv,
         "epoch,date,year,source,observations,benchmarks,dof,vtpv,sigma0_aposteriori,global_test,variance_ratio,"
         "variance_lower,variance_upper,variance_agrees",
         2, "2,2023-03-01,2023.1616,2023-03-01.dat,4,5,4,4.8400,1.1000,passes,0.9500,0.1000,9.6000,true"},
    };
    for (const Case& c : cases) {
        const std::string text = written(c.write, result);
        EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);
        const std::vector<std::string> rows = lines(text);
        ASSERT_EQ(rows.size(), c.rows + 1) << c.row;
        if (!c.header.empty()) {
            EXPECT_EQ(rows[0], c.header);
        }
        EXPECT_NE(std::find(rows.begin(), rows.end(), c.row), rows.end()) << c.row << "\nin\n" << text;
    }
}

TEST(DeformationCsv, FolderIsMadeWithItsThreeTables)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "deformation-csv-test" / "deeper";
    std::filesystem::remove_all(folder.parent_path());
    writeDeformationCsvFolder(handFilledResult(), folder);
    for (const char* name : {"velocities.csv", "displacements.csv", "epochs.csv"})
        EXPECT_TRUE(std::filesystem::is_regular_file(folder / name)) << name;
    std::filesystem::remove_all(folder.parent_path());
}

TEST(DeformationJson, FieldsAndNullForWhatIsNotComputable)
{
    const std::string text = written(writeDeformationJson, handFilledResult());
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
    const nlohmann::json json = nlohmann::json::parse(text);
    EXPECT_EQ(json["format"], "korvane-deformation");
    for (const char* field : {"options", "notes", "benchmarks", "pooled_sigma0", "pooled_dof", "variances_agree", "epochs",
                              "comparisons", "kinematic", "velocities"})
        EXPECT_TRUE(json.contains(field)) << field;
    const nlohmann::json& epoch = json["epochs"][1];
    EXPECT_EQ(epoch["date"], "2023-03-01");
    EXPECT_EQ(epoch["analysis"]["global_test"]["verdict"], "passes");
    EXPECT_EQ(epoch["analysis"]["counts"]["observations"], 4);
    EXPECT_EQ(epoch["heights"].size(), 5u);
    EXPECT_EQ(json["epochs"][0]["heights"].size(), 4u);  // E,1 not in the first epoch
    const nlohmann::json& comparison = json["comparisons"][0];
    EXPECT_EQ(comparison["from_date"], "2021-03-01");
    EXPECT_EQ(comparison["all"]["congruent"], false);
    EXPECT_EQ(comparison["stable_set"], nlohmann::json({"A", "C"}));
    EXPECT_EQ(comparison["displacements"][3]["displacement_mm"], -100.0);
    const nlohmann::json& none = json["velocities"][4];
    EXPECT_EQ(none["name"], "E,1");
    EXPECT_EQ(none["class"], "none");
    EXPECT_TRUE(none["velocity_mm_per_year"].is_null());
    EXPECT_TRUE(none["statistic"].is_null());
    EXPECT_EQ(none["epochs"], nlohmann::json({"2023-03-01"}));
    EXPECT_EQ(json["velocities"][3]["class"], "beyond-limit");
    EXPECT_EQ(json["kinematic"]["stable_set"], nlohmann::json({"A", "C"}));
}

std::string html(const DeformationResult& result, const MapPlaces& places)
{
    std::ostringstream out;
    writeDeformationHtml(result, places, out);
    return out.str();
}

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(DeformationHtml, ChineseVerdictsFirstThenPicturesOfTheFlagged)
{
    const DeformationResult result = handFilledResult();
    const std::string page = html(result, networkLayout(result));
    EXPECT_NE(page.find("<html lang=\"zh-Hant\">"), std::string::npos);
    const std::size_t verdicts = page.find("<h2>結論</h2>");
    const std::size_t tables = page.find("<h2>各期</h2>");
    ASSERT_NE(verdicts, std::string::npos);
    EXPECT_LT(verdicts, tables);
    // D beyond the limit, B moving: named among the verdicts and each with a height picture.
    const std::string verdictText = page.substr(verdicts, tables - verdicts);
    EXPECT_NE(verdictText.find("超過速率限值的水準點（1 點）"), std::string::npos);
    EXPECT_NE(verdictText.find(">D</span> -50.00"), std::string::npos);
    EXPECT_NE(verdictText.find(">B</span> -8.00"), std::string::npos);
    EXPECT_NE(verdictText.find("不全等"), std::string::npos);
    EXPECT_EQ(count(page, "的高程變化\""), 2u);
    EXPECT_LT(page.find("aria-label=\"D 的高程變化\""), page.find("aria-label=\"B 的高程變化\""));  // fastest first
    EXPECT_EQ(count(page, "aria-label=\"速度分布圖\""), 1u);
    EXPECT_EQ(page.find("nan"), std::string::npos);
}

TEST(DeformationHtml, SurveyedPositionsListTheUnplaced)
{
    const DeformationResult result = handFilledResult();
    const MapPlaces places = surveyedPlaces(result, {{"A", {0, 0}}, {"B", {100, 0}}, {"C", {100, 50}}, {"D", {0, 80}}});
    ASSERT_EQ(places.unplaced, std::vector<int>{4});
    const std::string page = html(result, places);
    EXPECT_NE(page.find("點位檔中沒有的水準點（1 點，未畫出）：E,1"), std::string::npos);
    EXPECT_EQ(count(page, "<title>"), 1u + 4u);  // the page's, and one per placed benchmark
}

TEST(DeformationHtml, LargeNetworkShowsTheFlaggedAndTheWorst)
{
    const DeformationResult result = chainResult(5000);
    const std::string page = html(result, networkLayout(result));
    // Velocities and displacements: 500 moving rows each and the 300 largest others.
    EXPECT_EQ(count(page, "<tr class=\"flag\"><td>P"), 2u * 500u);
    EXPECT_NE(page.find("共 5000 列，此處列出 800 列"), std::string::npos);
    EXPECT_EQ(count(page, "的高程變化\""), kHeightPicturesMost);
    EXPECT_LT(page.size(), 3u << 20);
}

TEST(DeformationSummary, EpochsComparisonAndEveryFlaggedBenchmark)
{
    const std::string text = written(writeDeformationSummary, handFilledResult());
    for (const char* part : {"2021-03-01  2021-03-01.dat", "Pooled sigma0 合併 1.100 (degrees of freedom 8)",
                             "Comparison 比較 2021-03-01 -> 2023-03-01", "NOT congruent", "Stable set 穩定點 2: A, C",
                             "Significant displacements 顯著位移: 2 of 4",
                             "reference 2, still 0, moving 1, beyond-limit 1, none 1", "a note on the datum"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\nin\n" << text;
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(\n    D +-50\.00 +1\.50  beyond-limit\n    B +-8\.00 +1\.50  moving\n)")))
        << text;
}

}  // namespace
}  // namespace korvane::deformation
