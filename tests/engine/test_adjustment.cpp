// The adjustment from end to end: heights, standard deviations and redundancy numbers of the
// report against an independent dense least-squares solution, and the networks that need care
// (self-observations, a group without a benchmark, crowded points, large profiles, no freedom).
#include "dense_reference.h"
#include "engine_test_support.h"
#include "report_reading.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tarnex_test;

namespace {

struct Adjusted {
    RunResult run;
    std::string report;
    std::string dump;
};

Adjusted adjust(const TempFolder& folder, const std::vector<std::string>& lines)
{
    writeLines(folder / "job.dat", lines);
    Adjusted adjusted;
    adjusted.run = runInProcess(folder.path(), "", {"job.dat"});
    if (std::filesystem::exists(folder / "level.out"))
        adjusted.report = readFile(folder / "level.out");
    if (std::filesystem::exists(folder / "level.dmp"))
        adjusted.dump = readFile(folder / "level.dmp");
    return adjusted;
}

std::string fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Input lines of a network: observations, "-99", known points, "-99".
std::vector<std::string> job(const std::vector<DenseObservation>& observations, const std::vector<std::string>& names,
                             const std::vector<DenseKnownPoint>& known)
{
    std::vector<std::string> lines = {"test network"};
    for (const DenseObservation& o : observations)
        lines.push_back(observationLine(names[static_cast<std::size_t>(o.from - 1)], names[static_cast<std::size_t>(o.to - 1)],
                                        fixed(o.dh, 5), fixed(o.distance, 3), fixed(o.grade, 5)));
    lines.push_back("-99");
    for (const DenseKnownPoint& k : known)
        lines.push_back(knownPointLine(names[static_cast<std::size_t>(k.point - 1)], fixed(k.elevation, 5), fixed(k.sigma, 5)));
    lines.push_back("-99");
    return lines;
}

void expectMatchesDense(const std::string& report, const DenseResult& dense)
{
    const std::vector<AdjustedPointRow> points = adjustedPoints(report);
    ASSERT_EQ(points.size(), dense.heights.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].elevation, dense.heights[i], 0.5e-5 + 1e-9) << "point " << i + 1;
        EXPECT_NEAR(points[i].stdCm, 100.0 * dense.deviations[i], 0.5e-3 + 1e-9) << "point " << i + 1;
    }
    const std::vector<ReliabilityRow> rows = reliabilityRows(report);
    ASSERT_EQ(rows.size(), dense.residuals.size());
    for (std::size_t l = 0; l < rows.size(); ++l) {
        EXPECT_NEAR(rows[l].vCm, 100.0 * dense.residuals[l], 0.5e-3 + 1e-9) << "observation " << l + 1;
        EXPECT_NEAR(rows[l].r, dense.redundancy[l], 0.5e-3 + 1e-9) << "observation " << l + 1;
    }
    EXPECT_EQ(countAfter(report, " modefied D.F."), dense.freedom);
}

bool holdsNoGarbage(const std::string& text)
{
    for (const char* bad : {"nan", "NaN", "inf", "INF"})
        if (text.find(bad) != std::string::npos)
            return false;
    return true;
}

// A loop network with one benchmark: BM, A, B, C, D.
const std::vector<std::string> kLoopNames = {"BM", "A", "B", "C", "D"};
const std::vector<DenseObservation> kLoop = {
    {1, 2, 1.2345, 1.2, 0.003},  {2, 3, 0.5662, 0.8, 0.002},   {3, 4, -0.3443, 1.5, 0.003},
    {4, 1, -1.4568, 1.1, 0.003}, {2, 5, 2.0013, 0.9, 0.002},   {5, 4, -1.7785, 1.3, 0.002},
    {5, 3, -1.4336, 0.7, 0.003},
};
const std::vector<DenseKnownPoint> kLoopBenchmark = {{1, 100.0, 0.0}};

}  // namespace

TEST(Adjustment, LoopWithOneBenchmarkMatchesADenseSolution)
{
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, job(kLoop, kLoopNames, kLoopBenchmark));
    ASSERT_EQ(adjusted.run.status, 0) << adjusted.run.errors;
    const DenseResult dense = adjustDense(5, kLoop, kLoopBenchmark, true);
    expectMatchesDense(adjusted.report, dense);
    const std::string sigmaLine = lineWith(adjusted.report, " ( mm * sqrt(1 km) )");
    EXPECT_NEAR(std::stod(sigmaLine.substr(sigmaLine.find(" ( mm") - 6, 6)), 1000.0 * dense.sigma0, 0.0005 + 1e-9);
    EXPECT_FALSE(std::filesystem::exists(folder / "temp.dat"));
    EXPECT_TRUE(adjusted.run.console.ends_with("normal end O.K\n"));
}

TEST(Adjustment, SelfObservationAddsNothingAndHasRedundancyOne)
{
    TempFolder folder;
    std::vector<DenseObservation> withSelf = kLoop;
    withSelf.insert(withSelf.begin() + 2, {3, 3, 0.00150, 0.5, 0.003});
    const Adjusted adjusted = adjust(folder, job(withSelf, kLoopNames, kLoopBenchmark));
    ASSERT_EQ(adjusted.run.status, 0);
    const DenseResult dense = adjustDense(5, kLoop, kLoopBenchmark, true);
    const std::vector<AdjustedPointRow> points = adjustedPoints(adjusted.report);
    for (std::size_t i = 0; i < points.size(); ++i)
        EXPECT_NEAR(points[i].elevation, dense.heights[i], 0.5e-5 + 1e-9);
    const ReliabilityRow self = reliabilityRows(adjusted.report)[2];
    EXPECT_EQ(self.from, "B");
    EXPECT_EQ(self.to, "B");
    EXPECT_EQ(self.r, 1.0);
    EXPECT_NEAR(self.vCm, -0.150, 1e-9);  // adjusted difference 0 minus the observed 1.5 mm
    EXPECT_EQ(adjusted.run.console.find("ERROR 006"), std::string::npos);
    EXPECT_EQ(countAfter(adjusted.report, " modefied D.F."), dense.freedom + 1);
}

TEST(Adjustment, KnownPointWeightsAndTheModifiedDegreeOfFreedom)
{
    // sigma 0 gives 1e12, sigma 0.5 gives 4 (counts), sigma 2 gives 0.25 (does not count)
    const std::vector<std::string> names = {"K1", "K2", "K3", "P1", "P2"};
    const std::vector<DenseObservation> observations = {
        {1, 4, 1.0000, 1.0, -9.0}, {4, 2, 1.1050, 2.0, 0.0},  {2, 5, -1.5000, 1.5, 0.0},
        {5, 3, -1.5900, 1.0, 0.0}, {3, 1, 0.9900, 2.5, 0.0}, {4, 5, -0.3900, 0.5, 0.0},
    };
    const std::vector<DenseKnownPoint> known = {{1, 50.0, 0.0}, {2, 52.1, 0.5}, {3, 49.0, 2.0}};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, job(observations, names, known));
    ASSERT_EQ(adjusted.run.status, 0);
    const DenseResult dense = adjustDense(5, observations, known, false);
    EXPECT_EQ(dense.freedom, 6 - 5 + 2);
    expectMatchesDense(adjusted.report, dense);
    EXPECT_EQ(countAfter(adjusted.report, "degree of freedom"), 6 - 5 + 3);
    const std::string fixedRows = lineWith(adjusted.report, "    2     K2") + "|" + lineWith(adjusted.report, "    3     K3");
    EXPECT_EQ(fixedRows, "    2     K2             52.10000         .50000|    3     K3             49.00000        2.00000");
}

TEST(Adjustment, BenchmarkAboveThreeThousandNineHundredMetres)
{
    const std::vector<std::string> names = {"TOP", "P1", "P2"};
    const std::vector<DenseObservation> observations = {
        {1, 2, -12.34567, 1.0, 0.003}, {2, 3, -3.21000, 1.0, 0.003}, {3, 1, 15.55000, 1.0, 0.003}};
    const std::vector<DenseKnownPoint> known = {{1, 3952.12345, 0.001}};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, job(observations, names, known));
    ASSERT_EQ(adjusted.run.status, 0) << adjusted.run.errors;
    EXPECT_NE(readFile(folder / "level.inp").find("\r\n         13952.12345         .0010000000          TOP     \r\n"),
              std::string::npos);
    expectMatchesDense(adjusted.report, adjustDense(3, observations, known, true));
    EXPECT_EQ(lineWith(adjusted.report, "    1     TOP"), "    1     TOP          3952.12345         .00100");
}

TEST(Adjustment, GroupWithoutBenchmarkIsARankDefectAtItsHighestPoint)
{
    // K, P1, then the loop Q1-Q2-Q3 that no observation ties to K, then P2
    const std::vector<std::string> lines = {
        "island", observationLine("K", "P1", "1.00000", "1.0", "0"),
        observationLine("Q1", "Q2", "0.30000", "0.3", "0"), observationLine("Q2", "Q3", "0.70000", "0.7", "0"),
        observationLine("Q3", "Q1", "-0.99000", "1.1", "0"), observationLine("P1", "P2", "2.00000", "1.0", "0"),
        observationLine("P2", "K", "-3.00100", "1.0", "0"), "-99", knownPointLine("K", "10.0", "0")};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, lines);
    EXPECT_EQ(adjusted.run.status, 0);
    EXPECT_NE(adjusted.run.console.find("    ***  F  RANGDEFEKT IM GLEICHUNGSSYSTEM SPALTE=    5\n\n"
                                        "*** ERROR 002 --- Normal Equation Singular !\n"),
              std::string::npos)
        << adjusted.run.console;
    EXPECT_TRUE(holdsNoGarbage(adjusted.report));
    EXPECT_TRUE(holdsNoGarbage(adjusted.dump));
    EXPECT_NE(adjusted.report.find(" sum of local redudancy rt="), std::string::npos);
    // without a solution the heights stay the approximate ones, with no deviation
    const std::vector<AdjustedPointRow> points = adjustedPoints(adjusted.report);
    ASSERT_EQ(points.size(), 6u);
    EXPECT_EQ(points[0].elevation, 10.0);
    EXPECT_EQ(points[1].elevation, 11.0);
    for (const AdjustedPointRow& point : points)
        EXPECT_EQ(point.stdCm, 0.0);
}

TEST(Adjustment, CrowdedPointKeepsAllItsNeighbours)
{
    // hub H with 30 spokes and a ring through the spokes
    std::vector<std::string> names = {"H"};
    std::vector<DenseObservation> observations;
    for (int i = 1; i <= 30; ++i) {
        names.push_back("S" + std::to_string(i));
        observations.push_back({1, i + 1, 0.1 * i + 0.001 * (i % 3), 1.0 + 0.1 * (i % 4), 0.003});
    }
    for (int i = 1; i < 30; ++i)
        observations.push_back({i + 1, i + 2, 0.1 + 0.001 * (i % 2), 0.5, 0.003});
    const std::vector<DenseKnownPoint> known = {{1, 20.0, 0.0}};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, job(observations, names, known));
    ASSERT_EQ(adjusted.run.status, 0);
    EXPECT_NE(adjusted.run.console.find("\n*** ERROR 007 --- Linked Node > 25 *** \n"), std::string::npos);
    EXPECT_NE(adjusted.run.console.find(" after reordierror=         25\n"), std::string::npos);
    expectMatchesDense(adjusted.report, adjustDense(31, observations, known, true));
}

TEST(Adjustment, ProfileAboveCapacityIsReportedTwiceAndTheRunGoesOn)
{
    // every point observed from the benchmark: a full lower triangle of 450 rows
    std::vector<std::string> names = {"K"};
    std::vector<DenseObservation> observations;
    for (int i = 2; i <= 450; ++i) {
        names.push_back("P" + std::to_string(i));
        observations.push_back({1, i, 0.01 * i, 1.0, 0.002});
    }
    for (int i = 2; i < 450; ++i)
        observations.push_back({i, i + 1, 0.01 + 0.0001 * (i % 5), 1.0, 0.002});
    const std::vector<DenseKnownPoint> known = {{1, 5.0, 0.0}};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, job(observations, names, known));
    ASSERT_EQ(adjusted.run.status, 0);
    const std::string overflow = "\n*** ERROR --- Memory Overflow ! *** maxcor=   90000\n";
    const auto first = adjusted.run.console.find(overflow);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(adjusted.run.console.find(overflow, first + 1), std::string::npos);
    EXPECT_NE(adjusted.report.find("Require Storage After Reording  =    101475"), std::string::npos);
    expectMatchesDense(adjusted.report, adjustDense(450, observations, known, true));
}

TEST(Adjustment, UnobservedKnownPointKeepsItsHeight)
{
    const std::vector<std::string> lines = {"lonely", observationLine("K", "P1", "1.0", "1.0", "0"),
                                            observationLine("P1", "K", "-1.002", "1.0", "0"), "-99",
                                            knownPointLine("K", "10.0", "0"), knownPointLine("FAR", "77.7", "0")};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, lines);
    ASSERT_EQ(adjusted.run.status, 0);
    EXPECT_NE(adjusted.run.console.find("\n*** ERROR 006 --- Linked Node < 1 *** \n"), std::string::npos);
    EXPECT_NE(adjusted.run.console.find(" after reordierror=          1\n"), std::string::npos);
    const std::vector<AdjustedPointRow> points = adjustedPoints(adjusted.report);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[1].name, "FAR");
    EXPECT_EQ(points[1].elevation, 77.7);
    EXPECT_NEAR(points[2].elevation, 11.001, 1e-9);
}

TEST(Adjustment, WithoutFreedomNoObservationIsTested)
{
    // the only known point has sigma 2 m: its weight 0.25 adds no degree of freedom, f' = 0
    const std::vector<std::string> lines = {"no freedom", observationLine("K", "P1", "1.0", "1.0", "0"),
                                            observationLine("P1", "K", "-1.003", "1.0", "0"), "-99",
                                            knownPointLine("K", "10.0", "2.0")};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, lines);
    ASSERT_EQ(adjusted.run.status, 0);
    EXPECT_EQ(countAfter(adjusted.report, " modefied D.F."), 0);
    EXPECT_NE(adjusted.run.console.find("standard deviation per 1 km=         .00000\n"), std::string::npos);
    EXPECT_NE(lineWith(adjusted.report, "standard deviation").find("  .000 ( mm"), std::string::npos);
    for (const ReliabilityRow& row : reliabilityRows(adjusted.report)) {
        EXPECT_EQ(row.marks.substr(0, 2), ".N");
        EXPECT_NEAR(row.r, 0.5, 0.0005);
    }
    EXPECT_TRUE(holdsNoGarbage(adjusted.report));
}

TEST(Adjustment, NetworkWithoutMisclosureHasZeroSigmaAndZeroW)
{
    const std::vector<std::string> lines = {"closed", observationLine("K", "P1", "1.0", "1.0", "0"),
                                            observationLine("P1", "P2", "2.0", "1.0", "0"),
                                            observationLine("P2", "K", "-3.0", "1.0", "0"), "-99",
                                            knownPointLine("K", "3952.12345", "0")};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, lines);
    ASSERT_EQ(adjusted.run.status, 0);
    EXPECT_NE(lineWith(adjusted.report, "VtPV").find(".0000D+00(mm**2/km)"), std::string::npos);
    for (const ReliabilityRow& row : reliabilityRows(adjusted.report)) {
        EXPECT_EQ(row.marks, ".. ");
        EXPECT_EQ(row.testColumn, "   .000");
    }
}

TEST(Adjustment, OnlyConnectionOfAPointIsNotCheckable)
{
    const std::vector<std::string> lines = {"spur", observationLine("K", "P1", "1.0", "1.0", "0"),
                                            observationLine("P1", "K", "-1.004", "1.0", "0"),
                                            observationLine("P1", "S", "0.5", "1.0", "0"), "-99",
                                            knownPointLine("K", "10.0", "0")};
    TempFolder folder;
    const Adjusted adjusted = adjust(folder, lines);
    ASSERT_EQ(adjusted.run.status, 0);
    const std::vector<ReliabilityRow> rows = reliabilityRows(adjusted.report);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].marks, "1N ");
    EXPECT_EQ(rows[2].r, 0.0);
    EXPECT_EQ(rows[2].testColumn, "   .000");
    EXPECT_EQ(rows[0].marks, ".. ");
}
