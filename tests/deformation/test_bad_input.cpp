// What a monitoring run refuses, with a message that names the epochs or benchmarks.
#include "chinese_sentences.h"
#include "monitoring_networks.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace korvane::deformation {
namespace {

using testing::Field;

EpochInput epoch(const Field& f, const std::string& date, double years)
{
    std::mt19937 random(1);
    return testing::observeEpoch(f, testing::fullPlan(f, date, years), 1.0, random);
}

TEST(BadInput, IsRefusedWithAMessageNamingWhatIsWrong)
{
    const Field f = testing::gridField(2, 3);
    Field elsewhere = testing::gridField(2, 2);
    for (std::string& name : elsewhere.names)
        name = "X" + name;
    DeformationOptions unknownStable;
    unknownStable.stable = StableSearch::Given;
    unknownStable.stableNames = {"BM0-0", "NOPE"};
    const struct {
        std::vector<EpochInput> epochs;
        DeformationOptions options;
        std::string message;
    } cases[] = {
        {{epoch(f, "2020-01-01", 0)}, {}, "two epochs or more; 1 was given"},
        {{epoch(f, "2020-01-01", 0), epoch(f, "2020-02-30", 1)}, {}, "2020-02-30 is no date YYYY-MM-DD"},
        {{epoch(f, "2021-01-01", 0), epoch(f, "2020-01-01", 1)}, {}, "dates must increase"},
        {{epoch(f, "2020-01-01", 0), epoch(f, "2020-01-01", 1)}, {}, "same date 2020-01-01"},
        {{epoch(f, "2020-01-01", 0), epoch(elsewhere, "2021-01-01", 1)}, {}, "no benchmark in common"},
        {{epoch(f, "2020-01-01", 0), epoch(f, "2021-01-01", 1)}, unknownStable, "stable benchmark NOPE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            analyseDeformation(c.epochs, c.options);
            ADD_FAILURE() << "accepted";
        } catch (const DeformationFailure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.message), std::string::npos) << failure.what();
            // The window tells it in Chinese: only names, dates and sources keep Latin letters.
            const std::string chinese = analysis::failureInChinese(failure.what());
            static const std::regex word("[A-Za-z]{2,}");
            static const std::set<std::string> names = {"epoch", "NOPE", "BM", "XBM", "YYYY", "MM", "DD"};
            for (auto it = std::sregex_iterator(chinese.begin(), chinese.end(), word); it != std::sregex_iterator(); ++it)
                EXPECT_TRUE(names.count(it->str())) << chinese;
        }
    }
}

TEST(BadInput, DatesBecomeDecimalYears)
{
    EXPECT_DOUBLE_EQ(*decimalYear("2021-01-01"), 2021.0);
    EXPECT_DOUBLE_EQ(*decimalYear("2020-12-31"), 2020.0 + 365.0 / 366.0);
    EXPECT_DOUBLE_EQ(*decimalYear("2021-07-02"), 2021.0 + 182.0 / 365.0);
    for (const char* bad : {"2021-13-01", "2021-1-01", "21-01-01x", "2021/01/01", "2019-02-29", ""})
        EXPECT_FALSE(decimalYear(bad)) << bad;
}

}  // namespace
}  // namespace korvane::deformation
