// The adjustment's files and console lines in their layouts: the complete level.out and
// level.dmp of a small network against files written by hand, the console transcript, the grade
// column of both weighting modes and the truncated approximate heights.
#include "engine_test_support.h"
#include "report_reading.h"

#include <gtest/gtest.h>

using namespace tarnex_test;

namespace {

struct JobRun {
    RunResult result;
    std::string report;
    std::string dump;
};

JobRun runJob(const TempFolder& folder, const std::vector<std::string>& lines)
{
    writeLines(folder / "job.dat", lines);
    JobRun run;
    run.result = runInProcess(folder.path(), "job.dat\n");
    if (std::filesystem::exists(folder / "level.out"))
        run.report = readFile(folder / "level.out");
    if (std::filesystem::exists(folder / "level.dmp"))
        run.dump = readFile(folder / "level.dmp");
    return run;
}

// The observation rows of the report: the lines after its observation heading.
std::vector<std::string> observationRows(const std::string& report)
{
    const std::vector<std::string> lines = reportLines(report);
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("line Code   Distance(km)") == std::string::npos)
            continue;
        for (std::size_t row = i + 2; row < lines.size() && !lines[row].empty(); ++row)
            rows.push_back(lines[row]);
    }
    return rows;
}

std::vector<std::string> twoObservations(const std::string& firstGrade, const std::string& secondGrade)
{
    return {"grades", observationLine("K", "P1", "1.0", "2.0", firstGrade),
            observationLine("P1", "K", "-1.0", "0.5", secondGrade), "-99", knownPointLine("K", "10.0", "0")};
}

}  // namespace

TEST(AdjustmentLayout, ReportAndDumpByteForByte)
{
    TempFolder folder;
    writeFile(folder / "golden.dat", goldenFile("golden.dat"));
    const RunResult run = runInProcess(folder.path(), "golden.dat\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(readFile(folder / "level.out"), goldenFile("golden_level.out"));
    EXPECT_EQ(readFile(folder / "level.dmp"), goldenFile("golden_level.dmp"));
}

TEST(AdjustmentLayout, ConsoleLinesOfTheAdjustment)
{
    TempFolder folder;
    writeFile(folder / "golden.dat", goldenFile("golden.dat"));
    const RunResult run = runInProcess(folder.path(), "golden.dat\n");
    const std::string expected =
        "\n"
        "           **  LEVEL NET ADJUSTMENT COMPUTATION **\n"
        " after reordierror=          0\n"
        "\n"
        "       *** Reordering Information *** \n"
        "   Require Storage Before Reording =         5\n"
        "   Require Storage After Reording  =         5\n"
        "\n"
        " Number of Obs.s    =        3\n"
        " Number of Unknowns =        3\n"
        "\n"
        " approxiamte elevation computation\n"
        " form and solving normal eqs\n"
        " claculate residuals \n"
        " degree of freedom =     2\n"
        "standard deviation per 1 km=         .00200\n"
        " reliability analysis and data snnopping\n"
        "normal end O.K\n";
    ASSERT_GE(run.console.size(), expected.size());
    EXPECT_EQ(run.console.substr(run.console.size() - expected.size()), expected);
    // the adjustment's banner box follows the start-up summary
    EXPECT_NE(run.console.find("\n\n               ****************************************\n"), std::string::npos);
}

TEST(AdjustmentLayout, GradeWeightingShowsAThousandTimesTheGrade)
{
    TempFolder folder;
    const JobRun run = runJob(folder, twoObservations("0.003", "0.002"));
    ASSERT_EQ(run.result.status, 0);
    // p = 1 / ((1000 g)^2 d): 1 / (9 * 2) = .056 and 1 / (4 * .5) = .500
    EXPECT_EQ(observationRows(run.report),
              std::vector<std::string>({"    1      10002      2.000        3.0        .056        1.00000",
                                        "    2      20001       .500        2.0        .500       -1.00000"}));
}

TEST(AdjustmentLayout, GradeOfMinusFiveGivesDistanceWeightingAndShowsTheGradeAsRead)
{
    TempFolder folder;
    const JobRun run = runJob(folder, twoObservations("-5.0", "0.003"));
    ASSERT_EQ(run.result.status, 0);
    EXPECT_EQ(observationRows(run.report),
              std::vector<std::string>({"    1      10002      2.000       -5.0        .500        1.00000",
                                        "    2      20001       .500         .0       2.000       -1.00000"}));
}

TEST(AdjustmentLayout, GradeOfMinusFourPointNineGivesGradeWeightingForAll)
{
    TempFolder folder;
    const JobRun run = runJob(folder, twoObservations("-4.9", "0.003"));
    ASSERT_EQ(run.result.status, 0);
    // p = 1 / (4900^2 * 2) = 2.08e-8 prints as .000; 1 / (9 * .5) = .222
    EXPECT_EQ(observationRows(run.report),
              std::vector<std::string>({"    1      10002      2.000    -4900.0        .000        1.00000",
                                        "    2      20001       .500        3.0        .222       -1.00000"}));
}

TEST(AdjustmentLayout, FirstGradeZeroMeansNoGradeAndDistanceWeighting)
{
    TempFolder folder;
    const JobRun run = runJob(folder, twoObservations("0", "0.003"));
    ASSERT_EQ(run.result.status, 0);
    EXPECT_EQ(observationRows(run.report),
              std::vector<std::string>({"    1      10002      2.000         .0        .500        1.00000",
                                        "    2      20001       .500         .0       2.000       -1.00000"}));
}

TEST(AdjustmentLayout, ApproximateHeightsAreTruncatedTowardZero)
{
    TempFolder folder;
    const JobRun up = runJob(folder, {"up", observationLine("K", "P1", "1.5", "1.0", "0"), "-99",
                                   knownPointLine("K", "12.345", "0")});
    EXPECT_NE(up.dump.find("\r\n            2     P1            13.000\r\n"), std::string::npos) << up.dump;
    EXPECT_NE(up.dump.find("\r\n            2   P1           .84500E+00\r\n"), std::string::npos);

    TempFolder below;
    const JobRun down = runJob(below, {"down", observationLine("K", "P1", "1.5", "1.0", "0"), "-99",
                                    knownPointLine("K", "-12.345", "0")});
    EXPECT_NE(down.dump.find("\r\n            1     K            -12.345\r\n"), std::string::npos);
    EXPECT_NE(down.dump.find("\r\n            2     P1           -10.000\r\n"), std::string::npos);
    EXPECT_NE(down.dump.find("\r\n            2   P1          -.84500E+00\r\n"), std::string::npos);
}

TEST(AdjustmentLayout, ReportShowsTheTitleCutToFiftyAndTheFileNameAsTyped)
{
    TempFolder folder;
    const std::string title = "A title of more than fifty characters, cut in the report";
    writeLines(folder / "abcdefghijklmnopqrstuvwxyz0123",
               {title, observationLine("K", "P1", "1.0", "1.0", "0"), "-99", knownPointLine("K", "1.0", "0")});
    const RunResult run = runInProcess(folder.path(), "abcdefghijklmnopqrstuvwxyz0123-and-more\n");
    ASSERT_EQ(run.status, 0);
    const std::string report = readFile(folder / "level.out");
    EXPECT_NE(report.find(":" + title.substr(0, 50) + "\r\n"), std::string::npos);
    EXPECT_NE(report.find(":abcdefghijklmnopqrstuvwxyz0123          \r\n"), std::string::npos);
}

TEST(AdjustmentLayout, FileArgumentReachesTheReportCutToForty)
{
    TempFolder folder;
    const std::string name = "a-job-file-name-that-runs-past-forty-characters.dat";
    writeLines(folder / name, {"job", observationLine("K", "P1", "1.0", "1.0", "0"), "-99", knownPointLine("K", "1.0", "0")});
    const RunResult run = runInProcess(folder.path(), "", {name});
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(readFile(folder / "level.out").find(":" + name.substr(0, 40) + "\r\n"), std::string::npos);
}
