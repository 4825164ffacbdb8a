// A 10 x 10 grid over a subsidence bowl, five yearly epochs with 1 mm/sqrt(km) noise: a few
// benchmarks near the centre sink 5 to 80 mm a year, the rest stand still; every year some
// sections are not levelled, one benchmark is destroyed after the second epoch and one is new
// from the third.
#include "monitoring_networks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane::deformation {
namespace {

using testing::EpochPlan;
using testing::Field;

struct Bowl {
    Field field;
    std::vector<EpochInput> epochs;
    int destroyed = 0;
    int added = 0;
};

Bowl subsidenceBowl(unsigned seed)
{
    Bowl bowl;
    bowl.field = testing::gridField(10, 10);
    Field& f = bowl.field;
    const struct {
        int benchmark;
        double mmPerYear;
    } sinking[] = {{44, -80.0}, {45, -40.0}, {54, -25.0}, {55, -60.0}, {34, -12.0}, {66, -8.0}, {43, -5.0}};
    for (const auto& s : sinking)
        f.velocityMm[s.benchmark] = s.mmPerYear;
    bowl.destroyed = 27;
    bowl.added = 72;
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> section(0, f.sections.size() - 1);
    for (int k = 0; k < 5; ++k) {
        EpochPlan plan = testing::fullPlan(f, std::to_string(2015 + k) + "-03-01", double(k));
        for (int missing = 0; missing < 6; ++missing)
            plan.observed[section(random)] = 0;
        if (k >= 2)
            plan.present[bowl.destroyed] = 0;
        if (k < 2)
            plan.present[bowl.added] = 0;
        bowl.epochs.push_back(testing::observeEpoch(f, plan, 1.0, random));
    }
    return bowl;
}

int benchmarkNamed(const DeformationResult& r, const std::string& name)
{
    return int(std::find(r.benchmarks.begin(), r.benchmarks.end(), name) - r.benchmarks.begin());
}

TEST(SubsidenceBowl, VelocitiesAreFoundWithinTheirSigmaAndTheMoversAreSignificant)
{
    for (StableSearch search : {StableSearch::Iterative, StableSearch::Iwst}) {
        SCOPED_TRACE(search == StableSearch::Iwst ? "iwst" : "iterative");
        Bowl bowl = subsidenceBowl(7);
        DeformationOptions options;
        options.stable = search;
        const DeformationResult r = analyseDeformation(bowl.epochs, options);
        ASSERT_EQ(r.epochs.size(), 5u);
        EXPECT_NEAR(*r.pooledSigma0, 1.0, 0.15);

        int outsideThreeSigma = 0;
        int stillFlagged = 0;
        int stillCount = 0;
        for (int b = 0; b < int(bowl.field.names.size()); ++b) {
            const int j = benchmarkNamed(r, bowl.field.names[b]);
            const VelocityRow& v = r.velocities[j];
            SCOPED_TRACE(bowl.field.names[b]);
            ASSERT_TRUE(v.velocityMmPerYear);
            const double truth = bowl.field.velocityMm[b];
            if (std::abs(*v.velocityMmPerYear - truth) > 3.0 * *v.sigmaMmPerYear)
                ++outsideThreeSigma;
            if (truth != 0.0) {
                EXPECT_TRUE(v.significant);
                EXPECT_EQ(v.kind, std::abs(truth) > 30.0 ? VelocityClass::BeyondLimit : VelocityClass::Moving);
            } else {
                ++stillCount;
                stillFlagged += v.significant ? 1 : 0;
            }
        }
        EXPECT_LE(outsideThreeSigma, 1);
        EXPECT_LE(stillFlagged, stillCount / 10);  // 5 % expected by chance

        // The stable set of the first against the last epoch holds no mover and most still ones.
        const EpochComparison& span = r.comparisons.back();
        EXPECT_TRUE(span.stable.congruent);
        EXPECT_FALSE(span.all.congruent);
        for (int j : span.stableSet) {
            const auto& names = bowl.field.names;
            const auto at = std::find(names.begin(), names.end(), r.benchmarks[j]) - names.begin();
            EXPECT_EQ(bowl.field.velocityMm[at], 0.0) << r.benchmarks[j];
        }
        EXPECT_GE(int(span.stableSet.size()), 80);

        // The destroyed benchmark has a velocity from its two epochs, the new one from its three.
        const VelocityRow& destroyed = r.velocities[benchmarkNamed(r, bowl.field.names[bowl.destroyed])];
        const VelocityRow& added = r.velocities[benchmarkNamed(r, bowl.field.names[bowl.added])];
        EXPECT_EQ(destroyed.epochs, (std::vector<int>{0, 1}));
        EXPECT_EQ(added.epochs, (std::vector<int>{2, 3, 4}));
        EXPECT_TRUE(added.velocityMmPerYear);
    }
}

TEST(SubsidenceBowl, ABenchmarkOfOneEpochHasNoVelocityAndACutOffPartStillJoins)
{
    Field f = testing::gridField(4, 4);
    f.velocityMm[15] = -20.0;
    std::mt19937 random(3);
    std::vector<EpochInput> epochs;
    for (int k = 0; k < 3; ++k) {
        EpochPlan plan = testing::fullPlan(f, std::to_string(2020 + k) + "-06-30", double(k));
        if (k != 1)
            plan.present[5] = 0;  // observed in the second epoch only
        if (k == 2) {
            // The corner 15 is cut off with 14 and 11 only between themselves: sections 10-11, 10-14 lost.
            for (std::size_t s = 0; s < f.sections.size(); ++s) {
                const auto& sec = f.sections[s];
                if ((sec.from == 10 && sec.to == 11) || (sec.from == 10 && sec.to == 14) ||
                    (sec.from == 7 && sec.to == 11) || (sec.from == 13 && sec.to == 14))
                    plan.observed[s] = 0;
            }
        }
        epochs.push_back(testing::observeEpoch(f, plan, 1.0, random));
    }
    const DeformationResult r = analyseDeformation(epochs, {});
    const VelocityRow& once = r.velocities[benchmarkNamed(r, f.names[5])];
    EXPECT_EQ(once.kind, VelocityClass::NoVelocity);
    EXPECT_FALSE(once.velocityMmPerYear);
    EXPECT_FALSE(r.notes.empty());
    EXPECT_EQ(r.epochs[2].cutOff.size(), 3u);
    const VelocityRow& corner = r.velocities[benchmarkNamed(r, f.names[15])];
    ASSERT_TRUE(corner.velocityMmPerYear);
    EXPECT_NEAR(*corner.velocityMmPerYear, -20.0, 4.0 * *corner.sigmaMmPerYear);
    EXPECT_TRUE(corner.significant);
}

}  // namespace
}  // namespace korvane::deformation
