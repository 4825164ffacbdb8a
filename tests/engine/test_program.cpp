// The real tarnex binary in a temporary folder: the start-up dialogue, the file-name prompt
// and the exit statuses.
#include "big5_texts.h"
#include "engine_test_support.h"

#include <gtest/gtest.h>

using namespace tarnex_test;

namespace {

void writeSmallJob(const std::filesystem::path& path)
{
    writeLines(path, {"small job", observationLine("K", "P1", "1.0", "1.0", ".003"),
                      observationLine("P1", "K", "-1.0", "1.0", ".003"), "-99", knownPointLine("K", "10.0", "0"), "-99"});
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

const std::string kPromptShown = std::string(14, ' ') + std::string(tarnex::kFileNamePrompt);

}  // namespace

TEST(Program, StartBannerAndPromptAsShownOnTheConsole)
{
    TempFolder folder;
    writeSmallJob(folder / "job.dat");
    const RunResult run = runBinary(folder.path(), "job.dat\n");
    const std::string pad(15, ' ');
    const std::string expected = "\n" + pad + "**********************************************\n" + pad +
                                 std::string(tarnex::kStartBannerTitle) + "\n" + pad +
                                 "*                                            *\n" + pad +
                                 "*                                            *\n" + pad +
                                 "* ADJUSTMENT OF LEVELING NETWORK             *\n" + pad +
                                 "*         VERSION 2.01  1997.09              *\n" + pad +
                                 "*                                            *\n" + pad +
                                 "* input differential leveling data format:   *\n" + pad +
                                 "* (a80) job title                            *\n" + pad +
                                 "* (2A10,2F10.0,f10.0)from,to,dh,dist,grade   *\n" + pad +
                                 "* -99                                        *\n" + pad +
                                 "* (A10,F10.0,F10.0)name,elev,sigma           *\n" + pad +
                                 "* -99                                        *\n" + pad +
                                 "**********************************************\n" + "\n\n" + kPromptShown + "\n\n";
    EXPECT_EQ(run.console.substr(0, expected.size()), expected);
    EXPECT_EQ(run.status, 0);
}

TEST(Program, PromptRepeatsOnlyTheReenterLineForMissingFiles)
{
    TempFolder folder;
    writeSmallJob(folder / "job.dat");
    const RunResult run = runBinary(folder.path(), "missing.dat\nnot-there\njob.dat\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(occurrences(run.console, tarnex::kFileNamePrompt.data()), 0u + 1u);
    EXPECT_EQ(occurrences(run.console, "file not exist, please reenter =?\n"), 2u);
    EXPECT_TRUE(std::filesystem::exists(folder / "level.inp"));
}

TEST(Program, FileNameIsCutToThirtyCharacters)
{
    TempFolder folder;
    writeSmallJob(folder / "abcdefghijklmnopqrstuvwxyz0123");
    const RunResult run = runBinary(folder.path(), "abcdefghijklmnopqrstuvwxyz0123-typed-further.dat\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(occurrences(run.console, "file not exist"), 0u);
    EXPECT_TRUE(std::filesystem::exists(folder / "level.inp"));
}

TEST(Program, ThirtyOneCharacterNameCannotBeReachedAtThePrompt)
{
    TempFolder folder;
    writeSmallJob(folder / "abcdefghijklmnopqrstuvwxyz01234");
    const RunResult run = runBinary(folder.path(), "abcdefghijklmnopqrstuvwxyz01234\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(occurrences(run.console, "file not exist, please reenter =?\n"), 1u);
}

TEST(Program, EndOfInputAtThePromptStopsWithStatusOne)
{
    TempFolder folder;
    const RunResult run = runBinary(folder.path(), "missing.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("standard input ended"), std::string::npos);
    EXPECT_TRUE(run.console.ends_with("Stop - Program terminated.\n"));
    EXPECT_FALSE(std::filesystem::exists(folder / "level.inp"));
}

TEST(Program, FileArgumentSkipsThePromptAndTheCut)
{
    TempFolder folder;
    const std::string longName = "a-job-file-whose-name-is-longer-than-thirty.dat";
    writeSmallJob(folder / longName);
    const RunResult run = runBinary(folder.path(), "", {longName});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(occurrences(run.console, tarnex::kFileNamePrompt.data()), 0u);
    EXPECT_TRUE(std::filesystem::exists(folder / "level.inp"));
}

TEST(Program, MissingFileArgumentStopsWithStatusOne)
{
    TempFolder folder;
    const RunResult run = runBinary(folder.path(), "", {"missing.dat"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("missing.dat"), std::string::npos);
}

TEST(Program, CapacityStopEndsWithStatusOne)
{
    TempFolder folder;
    std::vector<std::string> lines = {"job", "-99"};
    for (int i = 0; i < 201; ++i)
        lines.push_back(knownPointLine("K" + std::to_string(i), "1.0", "0"));
    writeLines(folder / "job.dat", lines);
    const RunResult run = runBinary(folder.path(), "job.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.console.ends_with("   200\nStop - Program terminated.\n"));
}

TEST(Program, RecordReaderErrorEndsWithStatusOne)
{
    TempFolder folder;
    writeLines(folder / "job.dat", {"job", observationLine("K", "P1", "1..0", "1.0", ".003"), "-99"});
    const RunResult run = runBinary(folder.path(), "job.dat\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "tarnex: job.dat, line 2, field dh (columns 21-30): \"      1..0\" is not a number\n");
}

TEST(Program, MoreThanOneArgumentIsRefused)
{
    TempFolder folder;
    const RunResult run = runBinary(folder.path(), "", {"a.dat", "b.dat"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("usage"), std::string::npos);
}

TEST(Program, HelpAndVersionOnlyAsTheOneArgumentAndTouchNoFile)
{
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string consoleStart;
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0, "Usage: tarnex [FILE]\n"},
        {{"--version"}, 0, std::string("tarnex ") + PROJECT_VERSION + "\n"},
        {{"--help", "job.dat"}, 1, ""},
        {{"job.dat", "--version"}, 1, ""},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        writeSmallJob(folder / "job.dat");
        const RunResult run = runBinary(folder.path(), "job.dat\n", c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.front();
        EXPECT_TRUE(run.console.starts_with(c.consoleStart)) << run.console;
        EXPECT_EQ(occurrences(run.console, "ADJUSTMENT OF LEVELING NETWORK"), 0u) << c.arguments.front();
        EXPECT_FALSE(std::filesystem::exists(folder / "level.inp")) << c.arguments.front();
    }
    // A file of that name is still reached by its path.
    TempFolder folder;
    writeSmallJob(folder / "--help");
    const RunResult run = runBinary(folder.path(), "", {"./--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "level.inp"));
}
