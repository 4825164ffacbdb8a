// The layouts of the summary and the HTML report against golden files, on a small network that
// shows every part of them: two parts (one without a known point), a repeated section beyond
// tolerance, a failing loop, lines between known points, a name tarnex would merge, a weighted
// known point, an observation nothing controls, and a gross error of 5 cm in A2 -> A3 that
// snooping removes.
// KORVANE_UPDATE_GOLDEN=1 rewrites the golden files.
#include "analyse.h"
#include "html_writer.h"
#include "network_builders.h"
#include "summary_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

}  // namespace
}  // namespace korvane::analysis
