// The checks before the adjustment: loops of a mesh with a planted misclosure, their number and
// independence, lines between known points, repeated sections and a point observed to itself,
// each against the tolerance k * sqrt(K).
#include "analyse.h"
#include "network_builders.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <map>

namespace korvane::analysis {
namespace {

constexpr double kPlantedMm = 30.0;

std::string gridName(int column, int row)
{
    return "M" + std::to_string(row) + std::to_string(column);
}

double gridHeight(int column, int row)
{
    return 20.0 + 0.731 * column - 0.413 * row + 0.011 * column * row;
}

// A 4 x 4 mesh with sections of 1 km along rows and columns and exact height differences,
// except the planted one (M11 -> M12) that measures 30 mm too much.
struct Mesh {
    NetworkRows rows;
    int planted = -1;
};

Mesh mesh()
{
    Mesh result;
    std::vector<ObservationRow> observations;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            if (column < 3) {
                if (row == 1 && column == 1)
                    result.planted = int(observations.size());
                observations.push_back(testing::observation(gridName(column, row), gridName(column + 1, row),
                                                            gridHeight(column + 1, row) - gridHeight(column, row) +
                                                                (row == 1 && column == 1 ? kPlantedMm / 1000.0 : 0.0),
                                                            1.0, 0.001));
            }
            if (row < 3)
                observations.push_back(testing::observation(gridName(column, row), gridName(column, row + 1),
                                                            gridHeight(column, row + 1) - gridHeight(column, row), 1.0,
                                                            0.001));
        }
    result.rows = testing::rowsOf(std::move(observations),
                                  {testing::knownPoint("M00", gridHeight(0, 0)), testing::knownPoint("M33", gridHeight(3, 3)),
                                   testing::knownPoint("M30", gridHeight(0, 3) + 0.020)});
    return result;
}

bool holds(const ClosureCheck& check, int observation)
{
    return std::find(check.observations.begin(), check.observations.end(), observation) != check.observations.end();
}

TEST(LoopChecks, ThePlantedMisclosureFailsExactlyTheLoopsThatHoldIt)
{
    const Mesh m = mesh();
    AnalysisOptions options;
    options.toleranceClass = "first-I";
    options.toleranceK = 4.0;
    const AnalysisResult result = analyse(buildNetwork(m.rows), options);
    const std::vector<ClosureCheck>& loops = result.checks.loops;

    // 24 sections, 16 points, one part: 9 independent loops, each closing at its start.
    ASSERT_EQ(loops.size(), 9u);
    int failing = 0;
    for (const ClosureCheck& loop : loops) {
        EXPECT_EQ(loop.kind, ClosureKind::Loop);
        EXPECT_EQ(loop.points.front(), loop.points.back());
        EXPECT_NEAR(loop.toleranceMm, 4.0 * std::sqrt(loop.lengthKm), 1e-12);
        EXPECT_NEAR(loop.lengthKm, double(loop.observations.size()), 1e-12);
        if (holds(loop, m.planted)) {
            EXPECT_NEAR(std::abs(loop.misclosureMm), kPlantedMm, 1e-6);
            EXPECT_FALSE(loop.passes);
            ++failing;
        } else {
            EXPECT_NEAR(loop.misclosureMm, 0.0, 1e-6);
            EXPECT_TRUE(loop.passes);
        }
        EXPECT_EQ(loop.points.size(), 5u) << "a mesh of the grid";
    }
    EXPECT_GE(failing, 1);
    EXPECT_LE(failing, 2);

    // Independent: the loops' section incidence has full rank.
    std::map<std::pair<int, int>, int> sectionOf;
    Eigen::MatrixXd incidence = Eigen::MatrixXd::Zero(int(loops.size()), 24);
    for (int i = 0; i < int(loops.size()); ++i)
        for (std::size_t k = 0; k + 1 < loops[i].points.size(); ++k) {
            const int a = loops[i].points[k];
            const int b = loops[i].points[k + 1];
            const auto key = std::minmax(a, b);
            const int section = sectionOf.emplace(key, int(sectionOf.size())).first->second;
            incidence(i, section) += a < b ? 1.0 : -1.0;
        }
    EXPECT_EQ(Eigen::FullPivLU<Eigen::MatrixXd>(incidence).rank(), 9);
}

TEST(LoopChecks, LinesBetweenKnownPointsShowTheWrongKnownHeight)
{
    // M00 and M33 are right, M30 is given 20 mm too high. The nearest known points are linked:
    // M00 - M30 up column 0 and M30 - M33 along row 3 (3 km each), away from the planted error.
    const Mesh m = mesh();
    AnalysisOptions options;
    options.toleranceK = 4.0;
    options.toleranceClass.clear();
    const AnalysisResult result = analyse(buildNetwork(m.rows), options);
    const std::vector<ClosureCheck>& lines = result.checks.knownLines;
    ASSERT_EQ(lines.size(), 2u);  // three known points in one part
    for (const ClosureCheck& line : lines) {
        EXPECT_EQ(line.kind, ClosureKind::KnownLine);
        const std::string from = result.points[line.points.front()].name;
        const std::string to = result.points[line.points.back()].name;
        EXPECT_TRUE(from == "M30" || to == "M30") << from << " - " << to;
        EXPECT_NEAR(line.lengthKm, 3.0, 1e-12);
        EXPECT_NEAR(line.misclosureMm, from == "M30" ? 20.0 : -20.0, 1e-6);
        EXPECT_NEAR(line.toleranceMm, 4.0 * std::sqrt(3.0), 1e-12);
        EXPECT_FALSE(line.passes);
    }
}

TEST(LoopChecks, RepeatedSectionsAndAPointObservedToItself)
{
    struct Case {
        double back;  // B -> A measured
        bool passes;
    };
    for (const Case c : {Case{-1.0015, true}, Case{-0.9950, false}}) {
        const Network network = buildNetwork(testing::rowsOf(
            {testing::observation("A", "B", 1.000, 1.0, 0.001), testing::observation("A", "B", 1.002, 1.0, 0.001),
             testing::observation("B", "A", c.back, 1.0, 0.001), testing::observation("B", "C", 0.5, 1.0, 0.001),
             testing::observation("C", "C", 0.005, 1.0, 0.001)},
            {testing::knownPoint("A", 5.0)}));
        AnalysisOptions options;
        options.toleranceK = 4.0;
        const AnalysisResult result = analyse(network, options);
        ASSERT_EQ(result.checks.repeats.size(), 1u);
        const ClosureCheck& repeat = result.checks.repeats[0];
        EXPECT_EQ(repeat.observations, (std::vector<int>{0, 1, 2}));
        const double spread = std::max(1.002, -c.back) - std::min(1.000, -c.back);
        EXPECT_NEAR(repeat.misclosureMm, 1000.0 * spread, 1e-9);
        EXPECT_NEAR(repeat.toleranceMm, 4.0, 1e-12);
        EXPECT_EQ(repeat.passes, c.passes);

        // C -> C closes with its own height difference: 5 mm against 4 mm.
        ASSERT_EQ(result.checks.loops.size(), 1u);
        EXPECT_NEAR(result.checks.loops[0].misclosureMm, 5.0, 1e-9);
        EXPECT_FALSE(result.checks.loops[0].passes);
        EXPECT_NEAR(*result.observations[4].test.redundancy, 1.0, 1e-12);
    }
}

TEST(NameChecks, NamesTarnexWouldTreatDifferently)
{
    const Network network = buildNetwork(testing::rowsOf(
        {testing::observation("LONGNAME1", "LONGNAME2", 1.0, 1.0, 0.001),
         testing::observation("LONGNAME2", "KNOWNPT99", 1.0, 1.0, 0.001),
         testing::observation("KNOWNPT99", "一二三四五六", 1.0, 1.0, 0.001)},
        {testing::knownPoint("KNOWNPT99", 10.0)}));
    const AnalysisResult result = analyse(network, {});
    std::map<NameFinding::Kind, int> kinds;
    for (const NameFinding& finding : result.checks.names) {
        ++kinds[finding.kind];
        if (finding.kind == NameFinding::Kind::MergedByEightColumns) {
            EXPECT_EQ(finding.classicName, "LONGNAME");
            EXPECT_EQ(finding.points.size(), 2u);
        }
    }
    EXPECT_EQ(kinds[NameFinding::Kind::MergedByEightColumns], 1);
    EXPECT_EQ(kinds[NameFinding::Kind::KnownNameBeyondEight], 1);
    EXPECT_EQ(kinds[NameFinding::Kind::TooLongForEngineFile], 1);  // six Chinese characters: 12 columns
    EXPECT_EQ(result.points.size(), 4u);  // the analysis keeps the names apart
}

}  // namespace
}  // namespace korvane::analysis
