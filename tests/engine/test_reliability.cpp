// Redundancy numbers, data snooping and the marks of the reliability table.
#include "engine_test_support.h"
#include "neighbours.h"
#include "profile.h"
#include "reliability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace tarnex;

namespace {

// TEST, the engine's data-snooping routine (its name is also the test framework's macro).
constexpr auto snoop = &tarnex::TEST;

std::string marks(double r, char second, double vCm)
{
    const Marks m = observationMarks(r, second, vCm);
    return {m.first, m.second, m.third};
}

// Z of two points joined by one observation, stored in its profile.
struct TwoPointInverse {
    Profile profile;
    std::vector<double> z;
};

TwoPointInverse twoPoints(double z11, double z21, double z22)
{
    std::ostringstream ignored;
    Console console(ignored);
    TwoPointInverse inverse;
    inverse.profile = PROFIL(SORTL({0, 10002}, 2), console);
    inverse.z = {0.0, z11, z21, z22};
    return inverse;
}

}  // namespace

TEST(Snooping, StandardizedResidual)
{
    // w = v sqrt(p) / (sqrt(r) sigma0) = 0.004 * 2 / (0.5 * 0.002) = 8
    const SnoopingResult result = snoop(-0.004, 4.0, 0.25, 0.002, true);
    EXPECT_NEAR(result.w, 8.0, 1e-12);
    EXPECT_EQ(result.mark, 'R');
}

TEST(Snooping, RejectedAboveThree)
{
    EXPECT_EQ(snoop(0.0015, 4.0, 1.0, 0.001, true).mark, '.');  // w = 3 exactly
    EXPECT_EQ(snoop(0.0029, 1.0, 1.0, 0.001, true).mark, '.');
    EXPECT_EQ(snoop(0.0031, 1.0, 1.0, 0.001, true).mark, 'R');
}

TEST(Snooping, TinyRedundancyIsNotCheckable)
{
    const SnoopingResult result = snoop(0.01, 1.0, 0.9e-6, 0.001, true);
    EXPECT_EQ(result.w, 999.0);
    EXPECT_EQ(result.mark, 'N');
    EXPECT_EQ(snoop(0.0, 1.0, -0.0005, 0.001, true).mark, 'N');
}

TEST(Snooping, NoFreedomMeansNoTest)
{
    const SnoopingResult result = snoop(0.01, 1.0, 0.5, 0.0, false);
    EXPECT_EQ(result.w, 999.0);
    EXPECT_EQ(result.mark, 'N');
}

TEST(Snooping, ZeroSigmaGivesZeroW)
{
    const SnoopingResult result = snoop(0.0, 1.0, 0.5, 0.0, true);
    EXPECT_EQ(result.w, 0.0);
    EXPECT_EQ(result.mark, '.');
}

TEST(Marks, Combinations)
{
    EXPECT_EQ(marks(0.2, 'R', 0.1), "1R ");   // r = 0.2 and |w| = 3.5
    EXPECT_EQ(marks(0.0, 'N', 0.0), "1N ");
    EXPECT_EQ(marks(0.5, '.', 2.5), "..?");   // r = 0.5, |w| = 1, |v| = 2.5 cm
    EXPECT_EQ(marks(0.5, '.', -2.5), "..?");
    EXPECT_EQ(marks(0.5, '.', 2.0), ".. ");
    EXPECT_EQ(marks(0.25, '.', 2.0000001), "..?");
    EXPECT_EQ(marks(0.2499, 'R', 0.0), "1R ");
}

TEST(Marks, ExactlyTwoCentimetresFromAResidualInMetres)
{
    EXPECT_EQ(marks(0.5, '.', 100.0 * 0.02), ".. ");
    EXPECT_EQ(marks(0.5, '.', 100.0 * -0.02), ".. ");
}

TEST(Relio, RedundancyFromTheInverseInsideTheProfile)
{
    // Z(1,1) = 0.5, Z(2,1) = 0.125, Z(2,2) = 0.25: q = 0.5 - 0.25 + 0.25 = 0.5, p = 1.2: r = 0.4
    TwoPointInverse inverse = twoPoints(0.5, 0.125, 0.25);
    std::ostringstream console;
    Console channel(console);
    tarnex_test::TempFolder folder;
    RecordFile report;
    report.create(folder / "level.out", "level.out");
    const RedundancyResult forward = RELIO(1, inverse.z, inverse.profile, 1, 2, 0.001, 1.2, 0.002, true, channel, report);
    const RedundancyResult backward = RELIO(2, inverse.z, inverse.profile, 2, 1, 0.001, 1.2, 0.002, true, channel, report);
    EXPECT_NEAR(forward.r, 0.4, 1e-15);
    EXPECT_NEAR(backward.r, 0.4, 1e-15);
    EXPECT_NEAR(forward.test.w, 0.001 * std::sqrt(1.2) / (std::sqrt(0.4) * 0.002), 1e-12);
    EXPECT_FALSE(forward.negative);
    EXPECT_EQ(console.str(), "");
}

TEST(Relio, SelfObservationHasRedundancyOne)
{
    TwoPointInverse inverse = twoPoints(0.5, 0.125, 0.25);
    std::ostringstream console;
    Console channel(console);
    tarnex_test::TempFolder folder;
    RecordFile report;
    report.create(folder / "level.out", "level.out");
    const RedundancyResult result = RELIO(3, inverse.z, inverse.profile, 2, 2, 0.0, 5.0, 0.002, true, channel, report);
    EXPECT_EQ(result.r, 1.0);
    EXPECT_EQ(result.test.mark, '.');
}

TEST(Relio, NegativeRedundancyIsReportedOnConsoleAndReport)
{
    // q = 1 + 1 - 0 = 2 with p = 1: r = -1
    TwoPointInverse inverse = twoPoints(1.0, 0.0, 1.0);
    std::ostringstream console;
    Console channel(console);
    tarnex_test::TempFolder folder;
    {
        RecordFile report;
        report.create(folder / "level.out", "level.out");
        const RedundancyResult result = RELIO(7, inverse.z, inverse.profile, 1, 2, 0.01, 1.0, 0.002, true, channel, report);
        EXPECT_TRUE(result.negative);
        EXPECT_EQ(result.r, -1.0);
        EXPECT_EQ(result.test.mark, 'N');
        report.close();
    }
    EXPECT_EQ(console.str(), "*** rt < 0 of obs. no.   7 ***\n");
    EXPECT_EQ(tarnex_test::readFile(folder / "level.out"), " *** rt < 0 of obs. no.   7 ***\r\n");
}

TEST(Relio, SlightlyNegativeRedundancyIsNotCheckableWithoutAMessage)
{
    // q = 1.0005 with p = 1: r = -0.0005
    TwoPointInverse inverse = twoPoints(0.50025, 0.0, 0.50025);
    std::ostringstream console;
    Console channel(console);
    tarnex_test::TempFolder folder;
    RecordFile report;
    report.create(folder / "level.out", "level.out");
    const RedundancyResult result = RELIO(1, inverse.z, inverse.profile, 1, 2, 0.0, 1.0, 0.002, true, channel, report);
    EXPECT_FALSE(result.negative);
    EXPECT_EQ(marks(result.r, result.test.mark, 0.0), "1N ");
    EXPECT_EQ(console.str(), "");
}
