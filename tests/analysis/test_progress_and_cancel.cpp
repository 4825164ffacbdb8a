// The seam a window uses: progress in stages that only move forward and end at "done", and a
// cancel flag that stops the analysis wherever it is.
#include "analyse.h"
#include "analysis_failure.h"
#include "network_builders.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace korvane::analysis {
namespace {

Network sampleNetwork()
{
    std::mt19937 random(3);
    testing::RandomNetworkShape shape;
    shape.points = 80;
    shape.extraSections = 60;
    return buildNetwork(testing::randomNetwork(shape, random).rows);
}

TEST(Progress, StagesMoveForwardAndEndDone)
{
    std::vector<std::pair<std::string, double>> seen;
    Progress progress;
    progress.report = [&](std::string_view stage, double done) { seen.emplace_back(std::string(stage), done); };
    AnalysisOptions options;
    options.snoop = true;
    analyse(sampleNetwork(), options, progress);
    ASSERT_GE(seen.size(), 5u);
    EXPECT_EQ(seen.front().first, "checks");
    EXPECT_EQ(seen.back(), std::make_pair(std::string("done"), 1.0));
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_GE(seen[i].second, seen[i - 1].second) << seen[i].first;
}

TEST(Progress, TheCancelFlagStopsTheAnalysisAtAnyStage)
{
    for (const std::string stage : {"checks", "ordering", "adjustment", "statistics"}) {
        std::atomic<bool> cancel{false};
        Progress progress;
        progress.cancel = &cancel;
        progress.report = [&](std::string_view reached, double) {
            if (reached == stage)
                cancel = true;
        };
        bool laterStage = false;
        progress.report = [&, previous = progress.report](std::string_view reached, double done) {
            laterStage = laterStage || (cancel && reached != stage);
            previous(reached, done);
        };
        EXPECT_THROW(analyse(sampleNetwork(), {}, progress), AnalysisCancelled) << stage;
        EXPECT_FALSE(laterStage) << "the analysis went on past " << stage;
    }
}

}  // namespace
}  // namespace korvane::analysis
