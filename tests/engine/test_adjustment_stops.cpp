// The stops of the adjustment: capacities of the work file, missing datum, zero grades and
// distances. Each ends with "Stop - Program terminated." and exit status 1.
#include "engine_stop.h"
#include "engine_test_support.h"
#include "lev1.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tarnex_test;

namespace {

bool endsWithStop(const RunResult& run)
{
    return run.console.ends_with("Stop - Program terminated.\n");
}

std::vector<std::string> repeatedObservations(int count)
{
    std::vector<std::string> lines = {"many"};
    for (int i = 0; i < count; ++i)
        lines.push_back(observationLine("K", "P1", "1.0", "1.0", "0"));
    lines.push_back("-99");
    lines.push_back(knownPointLine("K", "10.0", "0"));
    return lines;
}

}  // namespace

TEST(AdjustmentStop, TwoThousandObservationsAreAdjusted)
{
    TempFolder folder;
    writeLines(folder / "job.dat", repeatedObservations(2000));
    const RunResult run = runInProcess(folder.path(), "", {"job.dat"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.console.ends_with("normal end O.K\n"));
}

TEST(AdjustmentStop, TwoThousandAndOneObservationsStop)
{
    TempFolder folder;
    writeLines(folder / "job.dat", repeatedObservations(2001));
    const RunResult run = runInProcess(folder.path(), "", {"job.dat"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.console.ends_with("\nnumber of leveling obs > maxlin=3000\nStop - Program terminated.\n"));
    EXPECT_FALSE(std::filesystem::exists(folder / "temp.dat"));
}

TEST(AdjustmentStop, MoreThanFifteenHundredPointsInTheWorkFileStop)
{
    // a work file no conversion writes: 1501 point records
    TempFolder folder;
    std::vector<std::string> lines = {"hand-made", "     10002     1.000   1.00000    .00000", "       -99        .0        .0        .0"};
    for (int i = 1; i <= 1501; ++i)
        lines.push_back(std::string(10 - std::to_string(i).size(), ' ') + std::to_string(i) + "     P");
    lines.push_back("       -99");
    writeLines(folder / "level.inp", lines);
    std::ostringstream out;
    tarnex::Console console(out);
    EXPECT_THROW(tarnex::LEV1(folder.path(), "hand-made", console), tarnex::EngineStop);
    EXPECT_TRUE(out.str().ends_with("\nnumber of point  > maxsta=1500 \n"));
}

TEST(AdjustmentStop, NetworkWithoutKnownPointStopsBeforeTheAdjustment)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"no datum", observationLine("A", "B", "1.0", "1.0", "0"), "-99", "-99"});
    const RunResult run = runInProcess(folder.path(), "", {"job.dat"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("no known point"), std::string::npos);
    EXPECT_TRUE(endsWithStop(run));
    EXPECT_FALSE(std::filesystem::exists(folder / "level.out"));
    EXPECT_TRUE(std::filesystem::exists(folder / "level.inp"));
}

TEST(AdjustmentStop, ZeroGradeUnderGradeWeightingNamesItsObservation)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"grades", observationLine("K", "P1", "1.0", "1.0", "0.003"),
                                    observationLine("P1", "P2", "1.0", "1.0", "0.003"),
                                    observationLine("P2", "K", "-2.0", "1.0", "0"), "-99", knownPointLine("K", "1.0", "0")});
    const RunResult run = runInProcess(folder.path(), "", {"job.dat"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "tarnex: observation 3 (P2 -> K) has no grade (0), but the first observation's grade asks for grade weighting\n");
    EXPECT_TRUE(endsWithStop(run));
    EXPECT_FALSE(std::filesystem::exists(folder / "temp.dat"));
}

TEST(AdjustmentStop, ZeroDistanceNamesItsObservation)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"distances", observationLine("K", "P1", "1.0", "1.0", "0"),
                                    observationLine("P1", "K", "-1.0", "0.0004", "0"), "-99", knownPointLine("K", "1.0", "0")});
    const RunResult run = runInProcess(folder.path(), "", {"job.dat"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "tarnex: observation 2 (P1 -> K) has the distance .000 km: a weight needs a distance above 0\n");
}

TEST(AdjustmentStop, NegativeDistanceStopsUnderGradeWeightingToo)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"distances", observationLine("K", "P1", "1.0", "-1.0", "0.003"), "-99",
                                    knownPointLine("K", "1.0", "0")});
    const RunResult run = runInProcess(folder.path(), "", {"job.dat"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("observation 1 (K -> P1) has the distance -1.000 km"), std::string::npos);
}
