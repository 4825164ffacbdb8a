// Reading the engine input file as tarnex reads it: columns, name shifting, terminators, the
// known-point list ending at the end of the file, numbers, the grade rule, CP950 columns of
// Chinese names in UTF-8 text, and errors that name the file, line and field.
#include "analyse.h"
#include "analysis_failure.h"
#include "engine_file_reader.h"
#include "field_reader.h"
#include "fixed_number.h"
#include "input_error.h"
#include "network.h"
#include "text_columns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace korvane::analysis {
namespace {

// A line of ten-column fields, each as given (padded with blanks to ten columns; the columns of
// a Chinese character count two).
std::string fields(std::initializer_list<std::string> list)
{
    std::string line;
    for (const std::string& field : list)
        line += field + std::string(std::max(0, 10 - columnCount(field)), ' ');
    return line;
}

std::string lines(std::initializer_list<std::string> list)
{
    std::string text;
    for (const std::string& line : list)
        text += line + "\r\n";
    return text;
}

TEST(FixedFieldNumber, ReadsEveryFieldAsTarnexDoes)
{
    const char* fields[] = {"    1.5   ", "  -0.25   ", "          ", "   12     ", " 1 2 3    ", "  1.5E2   ",
                            "  1.5d-2  ", "  1.5+2   ", "  1.5q1   ", "    .5    ", "   -.5    ", "    5.    ",
                            "   +3     ", "1.2.3     ", "  abc     ", "   -      ", "   1e     ", "   1e999  ",
                            "   1.5x   ", "  0.00001 ", "123456789012345678"};
    for (const char* field : fields) {
        const std::optional<double> ours = fixedFieldNumber(field);
        const std::optional<double> tarnex = tarnex::parseReal(field, 0);
        ASSERT_EQ(ours.has_value(), tarnex.has_value() && std::isfinite(*tarnex)) << '"' << field << '"';
        if (ours) {
            EXPECT_EQ(*ours, *tarnex) << '"' << field << '"';
        }
    }
}

TEST(TextColumns, ChineseCharactersTakeTwoColumns)
{
    EXPECT_EQ(columnCount("BM1"), 3);
    EXPECT_EQ(columnCount("水準點A"), 7);
    const ColumnField inside = columnField("水準點A   B", 1, 10);
    EXPECT_EQ(inside.text, "水準點A   ");
    EXPECT_FALSE(inside.cut);
    // A two-column character in columns 10 and 11 belongs to neither field.
    EXPECT_TRUE(columnField("ABCDEFGHI水", 1, 10).cut);
    EXPECT_TRUE(columnField("ABCDEFGHI水", 11, 10).cut);
    EXPECT_EQ(leadingColumns("水準點ABCDE", 8), "水準點AB");
    EXPECT_EQ(leadingColumns("ABCDEFG水準", 8), "ABCDEFG水");
}

TEST(EngineFileReader, ReadsTheLayoutTarnexReads)
{
    const std::string text = lines({"Job title that is long enough",
                                    fields({"   A1", "B 2", "       1.5", "0.8", "0.003"}),
                                    fields({"B 2", "水準點一", "-0.25", "  1.2", "0.003"}),
                                    "      -999 anything after the terminator is ignored",
                                    fields({"A1", "100.5", "0.0"}),
                                    "  -99"});
    const NetworkRows rows = readEngineFile(text, "net.dat");
    EXPECT_EQ(rows.title, "Job title that is long enough");
    ASSERT_EQ(rows.observations.size(), 2u);
    EXPECT_EQ(rows.observations[0].from, "A1");  // leading blanks shifted away
    EXPECT_EQ(rows.observations[0].to, "B 2");   // inner blanks kept
    EXPECT_EQ(rows.observations[0].dh, 1.5);
    EXPECT_EQ(rows.observations[0].distance, 0.8);
    EXPECT_EQ(rows.observations[0].grade, 0.003);
    EXPECT_EQ(rows.observations[1].to, "水準點一");
    EXPECT_EQ(rows.observations[1].dh, -0.25);
    EXPECT_EQ(rows.observationPlace + std::to_string(rows.observations[1].row), "net.dat, line 3");
    ASSERT_EQ(rows.knownPoints.size(), 1u);
    EXPECT_EQ(rows.knownPoints[0].height, 100.5);
}

TEST(EngineFileReader, KnownPointsMayEndAtTheEndOfTheFile)
{
    const NetworkRows rows =
        readEngineFile("t\n" + fields({"A", "B", "1", "1"}) + "\n-99\n" + fields({"A", "1"}) + "\n" + fields({"B", "2"}) + "\n\n\n", "n.dat");
    ASSERT_EQ(rows.knownPoints.size(), 2u);
    EXPECT_EQ(rows.knownPoints[1].name, "B");
}

TEST(EngineFileReader, BadInputNamesFileLineAndField)
{
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"", "n.dat ends after line 0: the job title line is missing"},
        {lines({"t", fields({"A", "B", "1.0", "1.0"})}),
         "n.dat ends after line 2: the line \"-99\" that ends the observation list is missing"},
        {lines({"t", fields({"A", "B", "   1.x", "1.0"}), "-99"}),
         "n.dat, line 2, field dh (columns 21-30): \"   1.x    \" is not a number"},
        {lines({"t", fields({"A", "B", "1.0", "1..0"}), "-99"}),
         "n.dat, line 2, field dist (columns 31-40): \"1..0      \" is not a number"},
        {lines({"t", fields({"A", "B", "1.0", "1.0", "grade"}), "-99"}),
         "n.dat, line 2, field grade (columns 41-50): \"grade     \" is not a number"},
        {lines({"t", "ABCDEFGHI水B              1.0       1.0", "-99"}),
         "n.dat, line 2, field from (columns 1-10): a two-column character stands across the edge of the field"},
        {lines({"t", fields({"A", "B", "1.0", "1.0"}), "-99", fields({"A", "x"})}),
         "n.dat, line 4, field elev (columns 11-20): \"x         \" is not a number"},
        {std::string("t\nA         B \xFF\n-99\n"), "n.dat, line 2: the text is neither UTF-8 nor code page 950"},
    };
    for (const Case& c : cases) {
        try {
            readEngineFile(c.text, "n.dat");
            ADD_FAILURE() << "no error for: " << c.text;
        } catch (const InputError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

TEST(BuildNetwork, NumbersPointsAsTarnexAndRefusesRowsWithoutAWeight)
{
    NetworkRows rows = readEngineFile(lines({"t", fields({"P1", "P2", "1.0", "1.0", "0.003"}),
                                             fields({"P2", "K1", "1.0", "2.0", "0.001"}), "-99",
                                             fields({"K1", "10.0"}), fields({"K2", "12.0", "0.002"})}),
                                      "n.dat");
    const Network network = buildNetwork(rows);
    EXPECT_EQ(network.names, (std::vector<std::string>{"K1", "K2", "P1", "P2"}));
    EXPECT_EQ(network.weighting, Weighting::Grade);
    EXPECT_DOUBLE_EQ(network.observations[0].weight, 1.0 / (9.0 * 1.0));
    EXPECT_DOUBLE_EQ(network.observations[1].weight, 1.0 / (1.0 * 2.0));
    EXPECT_TRUE(network.known[0].fixed());
    EXPECT_FALSE(network.known[1].fixed());

    struct Case {
        double distance;
        double grade;
        std::string message;
    };
    const Case cases[] = {
        {0.0, 0.003, "n.dat, line 3, field dist: the distance 0 km gives no weight: a distance above 0 is needed"},
        {-1.0, 0.003, "n.dat, line 3, field dist: the distance -1 km gives no weight: a distance above 0 is needed"},
        {1.0, 0.0, "n.dat, line 3, field grade: the grade is 0, but the first observation's grade asks for grade weighting"},
    };
    for (const Case& c : cases) {
        NetworkRows bad = rows;
        bad.observations[1].distance = c.distance;
        bad.observations[1].grade = c.grade;
        try {
            buildNetwork(bad);
            ADD_FAILURE() << c.message;
        } catch (const InputError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
    NetworkRows twice = rows;
    twice.knownPoints.push_back(twice.knownPoints.front());
    twice.knownPoints.back().row = 8;
    try {
        buildNetwork(twice);
        ADD_FAILURE() << "a known point given twice";
    } catch (const InputError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "n.dat, line 8, field name: the known point K1 is given twice (also at n.dat, line 5)");
    }
}

TEST(BuildNetwork, TheFirstGradeChoosesTheWeighting)
{
    struct Case {
        double firstGrade;
        Weighting weighting;
    };
    for (const Case c : {Case{-5.0, Weighting::Distance}, Case{-4.9, Weighting::Grade}, Case{0.0, Weighting::Distance},
                         Case{0.002, Weighting::Grade}}) {
        NetworkRows rows;
        rows.sourceName = "n";
        rows.observations = {{"A", "B", 1.0, 2.0, c.firstGrade, 2}, {"B", "C", 1.0, 4.0, 0.001, 3}};
        const Network network = buildNetwork(rows);
        EXPECT_EQ(network.weighting, c.weighting) << c.firstGrade;
        if (c.weighting == Weighting::Distance) {
            EXPECT_DOUBLE_EQ(network.observations[1].weight, 0.25);
        }
    }
}

}  // namespace
}  // namespace korvane::analysis

namespace korvane::analysis {
namespace {

// Damaged files: bytes replaced, inserted or removed at random. Each gives either a network that
// is analysed, or an InputError or AnalysisFailure with a message - never another exception.
TEST(EngineFileReader, RandomDamageGivesAClearErrorOrANetwork)
{
    const std::string good = lines({"Damage test", fields({"BM1", "A", "1.2", "1.0", "0.003"}),
                                    fields({"A", "水準點", "0.5", "0.8", "0.003"}), fields({"水準點", "BM1", "-1.7", "1.1", "0.003"}),
                                    fields({"A", "BM1", "-1.2", "0.9", "0.003"}), "-99", fields({"BM1", "10.0", "0.0"}), "-99"});
    const std::string alphabet = std::string("0123456789.-+ EDeq\r\n\t-99") + "\xE6\xB0\xB4\xFF\x80";
    std::mt19937 random(17);
    int analysed = 0, refused = 0;
    for (int trial = 0; trial < 600; ++trial) {
        std::string text = good;
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            const char c = alphabet[random() % alphabet.size()];
            switch (random() % 3) {
            case 0:
                text[at] = c;
                break;
            case 1:
                text.insert(text.begin() + long(at), c);
                break;
            default:
                text.erase(at, 1 + random() % 3);
            }
        }
        try {
            analyse(buildNetwork(readEngineFile(text, "d.dat")), {});
            ++analysed;
        } catch (const InputError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("d.dat", 0), 0u) << error.what();
            ++refused;
        } catch (const AnalysisFailure& failure) {
            EXPECT_FALSE(std::string(failure.what()).empty());
            ++refused;
        }
    }
    EXPECT_GT(analysed, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace korvane::analysis
