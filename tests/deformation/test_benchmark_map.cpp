// The map's benchmark positions: the positions file (header optional, every bad line named by
// file, line and field) and the network's own layout (every benchmark placed, apart, the same
// every time, separate parts side by side).
#include "benchmark_map.h"
#include "hand_filled_result.h"
#include "input_error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace korvane::deformation {
namespace {

std::filesystem::path positionsFile(const std::string& text)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "deformation-positions-test.csv";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(Positions, ReadWithOrWithoutHeader)
{
    for (const std::string& text : {std::string("name,E,N\r\nA,100.5,200\r\n\r\nB, 1e3 ,-5\r\n"),
                                    std::string("\xEF\xBB\xBF" "A,100.5,200\nB,1000,-5\n")}) {
        const auto positions = readPositions(positionsFile(text));
        ASSERT_EQ(positions.size(), 2u) << text;
        EXPECT_EQ(positions.at("A").e, 100.5);
        EXPECT_EQ(positions.at("B").n, -5.0);
    }
}

TEST(Positions, BadLinesAreNamed)
{
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"A,1,2\nB,x,3\n", ", line 2: E \"x\" is not a number"},
        {"A,1,2\nB,1,nan\n", ", line 2: N \"nan\" is not a number"},
        {"name,E,N\nA,1\n", ", line 2: expected name,E,N; E or N is missing"},
        {"A,1,2\n,1,2\n", ", line 2: expected name,E,N; the name is missing"},
        {"A,1,2\nB,3,4\nA,5,6\n", ", line 3: name \"A\" is given a second time"},
    };
    for (const auto& c : cases) {
        const std::filesystem::path path = positionsFile(c.text);
        try {
            readPositions(path);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const analysis::InputError& error) {
            EXPECT_EQ(std::string(error.what()), path.string() + c.message);
        }
    }
    EXPECT_THROW(readPositions("/nonexistent/positions.csv"), analysis::InputError);
}

TEST(NetworkLayout, PlacesEveryBenchmarkApartAndTheSameEachTime)
{
    const DeformationResult result = testing::chainResult(60);
    const MapPlaces first = networkLayout(result);
    const MapPlaces again = networkLayout(result);
    ASSERT_EQ(first.places.size(), 60u);
    EXPECT_FALSE(first.surveyed);
    for (std::size_t i = 0; i < first.places.size(); ++i) {
        ASSERT_TRUE(first.places[i]);
        EXPECT_EQ(first.places[i]->e, again.places[i]->e);
        EXPECT_EQ(first.places[i]->n, again.places[i]->n);
        if (i > 0) {
            EXPECT_GT(std::hypot(first.places[i]->e - first.places[i - 1]->e, first.places[i]->n - first.places[i - 1]->n),
                      0.5);
        }
    }
}

TEST(NetworkLayout, SeparatePartsStandSideBySide)
{
    // A - B - C - D in the first epoch; E,1 is in the second only, joined to nothing.
    DeformationResult result = testing::handFilledResult();
    result.epochs[1].analysis.observations.pop_back();  // D - E,1
    const MapPlaces places = networkLayout(result);
    for (int b = 0; b < 4; ++b)
        EXPECT_LT(places.places[b]->e, places.places[4]->e) << b;
}

}  // namespace
}  // namespace korvane::deformation
