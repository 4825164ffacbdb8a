// The analysis against tarnex on generated networks within the classic limits: both read the
// same engine input file (names of at most eight characters, known points held fixed, where
// tarnex's weights of known points make no difference); the adjusted heights, their standard
// deviations, the residuals and the redundancy numbers agree to the precision level.out prints.
#include "analyse.h"
#include "engine_file_reader.h"
#include "network_builders.h"
#include "report_reading.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace korvane::analysis {
namespace {

class Folder {
public:
    Folder() : path_(std::filesystem::temp_directory_path() / ("korvane-tarnex-agreement-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string runTarnex(const std::filesystem::path& folder, const std::string& input)
{
    std::ofstream(folder / "net.dat", std::ios::binary) << input;
    const std::string command = "cd '" + folder.string() + "' && '" TARNEX_BINARY "' net.dat > console.txt 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "tarnex failed";
    std::ifstream report(folder / "level.out", std::ios::binary);
    std::ostringstream text;
    text << report.rdbuf();
    return text.str();
}

// The printed value holds ours rounded to its decimals (half a unit, and a hair for rounding).
void expectPrinted(double printed, double ours, int decimals, const std::string& what)
{
    EXPECT_LE(std::abs(printed - ours), 0.5 * std::pow(10.0, -decimals) + 1e-9) << what << ": level.out " << printed
                                                                               << ", analysis " << ours;
}

struct Case {
    int points;
    int extraSections;
    int knownPoints;
    bool grade;
};

TEST(TarnexAgreement, HeightsSigmaResidualsAndRedundancyNumbersAsLevelOutPrintsThem)
{
    const Case cases[] = {{12, 6, 2, true}, {60, 40, 3, true}, {150, 120, 5, false}, {400, 300, 8, true},
                          {1200, 700, 20, false}};
    std::mt19937 random(1992);
    Folder folder;
    for (const Case& c : cases) {
        testing::RandomNetworkShape shape;
        shape.points = c.points;
        shape.extraSections = c.extraSections;
        shape.knownPoints = c.knownPoints;
        shape.gradeWeighting = c.grade;
        shape.nameLength = 6;
        const std::string input = testing::engineFileText(testing::randomNetwork(shape, random).rows);
        const std::string report = runTarnex(folder.path(), input);
        const AnalysisResult result = analyse(buildNetwork(readEngineFile(input, "net.dat")), {});
        const std::string label = std::to_string(c.points) + " points";

        const std::vector<tarnex_test::AdjustedPointRow> heights = tarnex_test::adjustedPoints(report);
        ASSERT_EQ(heights.size(), result.points.size()) << label;
        for (std::size_t i = 0; i < heights.size(); ++i) {
            const PointResult& ours = result.points[i];
            ASSERT_EQ(heights[i].name, ours.name) << label;
            expectPrinted(heights[i].elevation, *ours.height, 5, label + " height of " + ours.name);
            expectPrinted(heights[i].stdCm, *ours.sigma / 10.0, 3, label + " sigma of " + ours.name);
        }
        const std::vector<tarnex_test::ReliabilityRow> rows = tarnex_test::reliabilityRows(report);
        ASSERT_EQ(rows.size(), result.observations.size()) << label;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ObservationResult& ours = result.observations[i];
            const std::string what = label + " observation " + std::to_string(i + 1);
            expectPrinted(rows[i].vCm, *ours.test.residual / 10.0, 3, what + " v");
            expectPrinted(rows[i].r, *ours.test.redundancy, 3, what + " r");
            expectPrinted(rows[i].adjusted, *ours.adjustedDh, 5, what + " adjusted dh");
        }
    }
}

}  // namespace
}  // namespace korvane::analysis
