// The conversion of the engine input file into level.inp, its console summary, its capacity
// stops and its record-reader errors.
#include "big5_texts.h"
#include "engine_test_support.h"
#include "fixed_fields.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tarnex_test;

namespace {

std::string summaryLine(std::string_view label, int value)
{
    return shown(tarnex::Record().X(9).A(label).I(value, 6).text());
}

std::string capacityLine(int capacity)
{
    return shown(tarnex::Record().X(15).A(tarnex::kCapacityWarning).I(capacity, 6).text());
}

std::string pointName(const char* prefix, int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "%s%04d", prefix, number);
    return name;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(Conversion, WorkFileByteForByte)
{
    TempFolder folder;
    writeFile(folder / "work_file.dat", goldenFile("work_file.dat"));
    const RunResult run = runInProcess(folder.path(), "work_file.dat\n");
    EXPECT_EQ(readFile(folder / "level.inp"), goldenFile("work_file_level.inp"));
    EXPECT_TRUE(contains(run.console, summaryLine(tarnex::kSummaryObservations, 4) + "\n"));
    EXPECT_TRUE(contains(run.console, summaryLine(tarnex::kSummaryPoints, 4) + "\n"));
    EXPECT_TRUE(contains(run.console, summaryLine(tarnex::kSummaryKnownPoints, 2) + "\n"));
    EXPECT_TRUE(contains(run.console, summaryLine(tarnex::kSummaryFreedom, 2) + "\n"));
    EXPECT_FALSE(std::filesystem::exists(folder / "tape3"));
    EXPECT_FALSE(std::filesystem::exists(folder / "junk##.$$"));
    EXPECT_TRUE(std::filesystem::exists(folder / "work_file.dat"));
}

TEST(Conversion, SummaryLabelsAreBig5)
{
    // 觀測量數目 and 水準點總數 in code page 950
    EXPECT_EQ(tarnex::kSummaryObservations.substr(0, 10), "\xC6\x5B\xB4\xFA\xB6\x71\xBC\xC6\xA5\xD8");
    EXPECT_EQ(tarnex::kSummaryPoints.substr(0, 10), "\xA4\xF4\xB7\xC7\xC2\x49\xC1\x60\xBC\xC6");
}

TEST(Conversion, KnownPointListMayEndAtEndOfFile)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"job", observationLine("K1", "P1", "1.0", "1.0", ".003"), "-99",
                                    knownPointLine("K1", "10.0", "0")});
    runInProcess(folder.path(), "job.dat\n");
    const std::string work = readFile(folder / "level.inp");
    EXPECT_TRUE(contains(work, "\r\n         1\r\n         1  10.00000         .0000000000          K1      \r\n       -99\r\n"));
}

TEST(Conversion, NineCharacterKnownPointMatchesNoObservation)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"job", observationLine("BENCHMK09", "P1", "1.0", "1.0", ".003"), "-99",
                                    knownPointLine("BENCHMK09", "10.0", "0"), "-99"});
    runInProcess(folder.path(), "job.dat\n");
    const std::string work = readFile(folder / "level.inp");
    EXPECT_TRUE(contains(work, "     20003     1.000   1.00000    .00300          BENCHMK0  P1        \r\n"));
    EXPECT_TRUE(contains(work, "         1     BENCHMK0\r\n         2     BENCHMK0\r\n         3     P1      \r\n"));
}

TEST(Conversion, ObservationNamesAreSignificantToEightCharacters)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"job", observationLine("K", "STATION-01", "1.0", "1.0", ".003"),
                                    observationLine("STATION-02", "K", "-1.0", "1.0", ".003"), "-99",
                                    knownPointLine("K", "10.0", "0"), "-99"});
    runInProcess(folder.path(), "job.dat\n");
    const std::string work = readFile(folder / "level.inp");
    EXPECT_TRUE(contains(work, "     10002"));
    EXPECT_TRUE(contains(work, "     20001"));
    EXPECT_FALSE(contains(work, "         3     "));
}

TEST(Conversion, EndOfFileInsideTheObservationListStops)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"job", observationLine("K", "P1", "1.0", "1.0", ".003"),
                                    observationLine("P1", "P2", "1.0", "1.0", ".003")});
    const RunResult run = runInProcess(folder.path(), "job.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "tarnex: job.dat ends after line 3: the line \"-99\" that ends the observation list is missing\n");
    EXPECT_TRUE(contains(run.console, "Stop - Program terminated.\n"));
}

TEST(Conversion, MalformedNumberNamesLineAndField)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"job", observationLine("K", "P1", "1.0", "1.0", ".003"),
                                    observationLine("P1", "P2", "1.0", "1.0", "Null"), "-99"});
    const RunResult run = runInProcess(folder.path(), "job.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "tarnex: job.dat, line 3, field grade (columns 41-50): \"      Null\" is not a number\n");
}

TEST(Conversion, MalformedKnownPointNamesLineAndField)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"job", observationLine("K", "P1", "1.0", "1.0", ".003"), "-99",
                                    knownPointLine("K", "12.3.4", "0")});
    const RunResult run = runInProcess(folder.path(), "job.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.errors, "job.dat, line 4, field elev (columns 11-20)")) << run.errors;
}

TEST(Conversion, NumberTooWideForTheWorkFileIsRefused)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"job", observationLine("K", "P1", "12345.678", "1.0", ".003"), "-99",
                                    knownPointLine("K", "10", "0")});
    const RunResult run = runInProcess(folder.path(), "job.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.errors, "line 2, field dh (columns 21-30)")) << run.errors;
}

// Values of any size that an input field can hold: each is refused by name before it reaches the
// work file (1e100 and 1e300 once overran the formatter's buffer on the way).
TEST(Conversion, HugeNumbersAreRefusedNamingLineAndField)
{
    struct Case {
        std::vector<std::string> lines;
        std::string where;
    };
    const std::string observation = observationLine("K", "P1", "1.0", "1.0", ".003");
    for (const Case& c : {
             Case{{"job", observationLine("K", "P1", "1e100", "1.0", ".003"), "-99", knownPointLine("K", "10", "0")},
                  "line 2, field dh (columns 21-30)"},
             Case{{"job", observationLine("K", "P1", "1.0", "1e300", ".003"), "-99", knownPointLine("K", "10", "0")},
                  "line 2, field dist (columns 31-40)"},
             Case{{"job", observationLine("K", "P1", "1.0", "1.0", "-1.7e308"), "-99", knownPointLine("K", "10", "0")},
                  "line 2, field grade (columns 41-50)"},
             Case{{"job", observation, "-99", knownPointLine("K", "1e308", "0")}, "line 4, field elev (columns 11-20)"},
             Case{{"job", observation, "-99", knownPointLine("K", "10", "1e21")}, "line 4, field sigma (columns 21-30)"},
         }) {
        SCOPED_TRACE(c.where);
        TempFolder folder;
        writeLines(folder / "job.dat", c.lines);
        const RunResult run = runInProcess(folder.path(), "job.dat\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.errors, c.where)) << run.errors;
        EXPECT_TRUE(contains(run.errors, "does not fit the work file's field")) << run.errors;
    }
}

TEST(Conversion, TitleOnlyFileStops)
{
    TempFolder folder;
    writeFile(folder / "empty.dat", "");
    const RunResult run = runInProcess(folder.path(), "empty.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.errors, "empty.dat ends after line 0: the job title line is missing"));
}

namespace {

std::vector<std::string> knownPointsJob(int knownPoints)
{
    std::vector<std::string> lines = {"capacity", observationLine(pointName("K", 1), "P1", "1.0", "1.0", ".003"), "-99"};
    for (int i = 1; i <= knownPoints; ++i)
        lines.push_back(knownPointLine(pointName("K", i), "10.0", "0"));
    lines.push_back("-99");
    return lines;
}

std::vector<std::string> chainJob(int chainPoints)
{
    std::vector<std::string> lines = {"capacity", observationLine("K", pointName("P", 1), "1.0", "1.0", ".003")};
    for (int i = 1; i < chainPoints; ++i)
        lines.push_back(observationLine(pointName("P", i), pointName("P", i + 1), "1.0", "1.0", ".003"));
    lines.push_back("-99");
    lines.push_back(knownPointLine("K", "10.0", "0"));
    return lines;
}

}  // namespace

TEST(ConversionCapacity, TwoHundredKnownPointsAreAccepted)
{
    TempFolder folder;
    writeLines(folder / "job.dat", knownPointsJob(200));
    const RunResult run = runInProcess(folder.path(), "job.dat\n");
    EXPECT_FALSE(contains(run.console, capacityLine(200)));
    EXPECT_TRUE(contains(run.console, summaryLine(tarnex::kSummaryKnownPoints, 200)));
    EXPECT_TRUE(contains(run.console, summaryLine(tarnex::kSummaryPoints, 201)));
}

TEST(ConversionCapacity, TheTwoHundredAndFirstKnownPointStops)
{
    TempFolder folder;
    writeLines(folder / "job.dat", knownPointsJob(201));
    const RunResult run = runInProcess(folder.path(), "job.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.console, "\n" + capacityLine(200) + "\nStop - Program terminated.\n"));
    EXPECT_FALSE(contains(run.console, summaryLine(tarnex::kSummaryKnownPoints, 200)));
    EXPECT_FALSE(std::filesystem::exists(folder / "tape3"));
}

TEST(ConversionCapacity, FifteenHundredPointsAreAccepted)
{
    TempFolder folder;
    writeLines(folder / "job.dat", chainJob(1499));
    const RunResult run = runInProcess(folder.path(), "job.dat\n");
    EXPECT_FALSE(contains(run.console, capacityLine(1500)));
    EXPECT_TRUE(contains(run.console, summaryLine(tarnex::kSummaryPoints, 1500)));
}

TEST(ConversionCapacity, TheFifteenHundredAndFirstPointStops)
{
    TempFolder folder;
    writeLines(folder / "job.dat", chainJob(1500));
    const RunResult run = runInProcess(folder.path(), "job.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.console, "\n" + capacityLine(1500) + "\nStop - Program terminated.\n"));
    EXPECT_FALSE(std::filesystem::exists(folder / "tape3"));
    // the work file holds the records written before the stop, and no terminator
    const std::string work = readFile(folder / "level.inp");
    EXPECT_TRUE(contains(work, "  14991500"));
    EXPECT_FALSE(contains(work, "       -99"));
}
