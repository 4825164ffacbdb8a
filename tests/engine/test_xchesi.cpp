// The profile Cholesky solver: solution and inverse against a dense inverse, modes, and the
// rank-defect test of the pivots.
#include "dense_reference.h"
#include "neighbours.h"
#include "profile.h"
#include "xchesi.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace tarnex;
using tarnex_test::DenseMatrix;

namespace {

struct System {
    Profile profile;
    std::vector<double> matrix;  // profile storage, element 0 unused
    DenseMatrix dense;
    std::vector<double> rhs;     // index 0 unused
};

Profile profileOf(const std::vector<long>& lineCodes, int m)
{
    std::ostringstream ignored;
    Console console(ignored);
    return PROFIL(SORTL(lineCodes, m), console);
}

// Normal equations of a random levelling network of m points: a band of nearby links, a few
// far links, and weighted known points.
System randomSystem(int m, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> weight(0.2, 5.0);
    std::uniform_int_distribution<int> reach(1, 6);
    std::vector<long> lineCodes = {0};
    std::vector<double> weights = {0.0};
    for (int to = 2; to <= m; ++to) {
        const int links = 1 + static_cast<int>(random() % 2);
        for (int l = 0; l < links; ++l) {
            const int from = std::max(1, to - reach(random));
            lineCodes.push_back(static_cast<long>(from) * 10000 + to);
            weights.push_back(weight(random));
        }
    }
    for (int far = 0; far < 3; ++far) {
        const int from = 1 + static_cast<int>(random() % static_cast<unsigned>(m / 2));
        const int to = m / 2 + 1 + static_cast<int>(random() % static_cast<unsigned>(m / 2));
        lineCodes.push_back(static_cast<long>(to) * 10000 + from);
        weights.push_back(weight(random));
    }
    System system;
    system.profile = profileOf(lineCodes, m);
    system.matrix.assign(static_cast<std::size_t>(system.profile.storage()) + 1, 0.0);
    system.dense.assign(static_cast<std::size_t>(m), std::vector<double>(static_cast<std::size_t>(m), 0.0));
    const auto add = [&](int i, int j, double value) {
        system.dense[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] += value;
        if (i != j)
            system.dense[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i - 1)] += value;
        system.matrix[system.profile.at(std::max(i, j), std::min(i, j))] += value;
    };
    for (std::size_t l = 1; l < lineCodes.size(); ++l) {
        const int from = static_cast<int>(lineCodes[l] / 10000);
        const int to = static_cast<int>(lineCodes[l] % 10000);
        add(from, from, weights[l]);
        add(to, to, weights[l]);
        add(from, to, -weights[l]);
    }
    add(1, 1, 1e6);
    add(m / 2, m / 2, 4.0);
    system.rhs.push_back(0.0);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int i = 1; i <= m; ++i)
        system.rhs.push_back(value(random));
    return system;
}

int solve(System& system, std::vector<double>& diagonal, int mode, std::string* console = nullptr, int hint = 0)
{
    std::ostringstream out;
    Console channel(out);
    const int error = XCHESI(system.matrix, diagonal, system.profile, system.rhs, mode, channel, hint);
    if (console)
        *console = out.str();
    return error;
}

System diagonalPair(double secondPivot)
{
    System system;
    system.profile = profileOf({0}, 2);
    system.matrix = {0.0, 1.0, secondPivot};
    system.rhs = {0.0, 1.0, 1.0};
    return system;
}

}  // namespace

TEST(Xchesi, TwoByTwoInverseIsTwoThirdsOneThirdTwoThirds)
{
    System system;
    system.profile = profileOf({0, 10002}, 2);
    system.matrix = {0.0, 2.0, -1.0, 2.0};
    system.rhs = {0.0, 1.0, 1.0};
    std::vector<double> diagonal;
    ASSERT_EQ(solve(system, diagonal, kSolveAndInvert), 0);
    EXPECT_NEAR(system.matrix[1], 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(system.matrix[2], 1.0 / 3.0, 1e-15);
    EXPECT_NEAR(system.matrix[3], 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(diagonal[1], 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(diagonal[2], 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(system.rhs[1], 1.0, 1e-15);
    EXPECT_NEAR(system.rhs[2], 1.0, 1e-15);
}

TEST(Xchesi, SolutionAndInverseMatchADenseInverseAtEveryProfilePosition)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        System system = randomSystem(60, seed);
        const DenseMatrix inverse = tarnex_test::denseInverse(system.dense);
        const std::vector<double> b(system.rhs.begin() + 1, system.rhs.end());
        const std::vector<double> x = tarnex_test::multiply(inverse, b);
        std::vector<double> diagonal;
        ASSERT_EQ(solve(system, diagonal, kSolveAndInvert), 0);
        const Profile& p = system.profile;
        for (int i = 1; i <= p.m; ++i) {
            EXPECT_NEAR(system.rhs[static_cast<std::size_t>(i)], x[static_cast<std::size_t>(i - 1)], 1e-9) << i;
            EXPECT_NEAR(diagonal[static_cast<std::size_t>(i)], inverse[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(i - 1)], 1e-10);
            for (int j = p.first[static_cast<std::size_t>(i)]; j <= i; ++j)
                EXPECT_NEAR(system.matrix[p.at(i, j)], inverse[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)], 1e-10)
                    << "seed " << seed << " at " << i << "," << j;
        }
    }
}

TEST(Xchesi, InvertingModeLeavesTheRightHandSide)
{
    System system = randomSystem(20, 7);
    const std::vector<double> before = system.rhs;
    const DenseMatrix inverse = tarnex_test::denseInverse(system.dense);
    std::vector<double> diagonal;
    ASSERT_EQ(solve(system, diagonal, 1), 0);
    EXPECT_EQ(system.rhs, before);
    EXPECT_NEAR(diagonal[20], inverse[19][19], 1e-10);
}

TEST(Xchesi, SolvingModeLeavesTheFactor)
{
    System system;
    system.profile = profileOf({0, 10002}, 2);
    system.matrix = {0.0, 4.0, -2.0, 5.0};
    system.rhs = {0.0, 2.0, 3.0};
    std::vector<double> diagonal;
    ASSERT_EQ(solve(system, diagonal, -1), 0);
    // L = [[2, 0], [-1, 2]]; x solves [[4, -2], [-2, 5]] x = (2, 3)
    EXPECT_DOUBLE_EQ(system.matrix[1], 2.0);
    EXPECT_DOUBLE_EQ(system.matrix[2], -1.0);
    EXPECT_DOUBLE_EQ(system.matrix[3], 2.0);
    EXPECT_NEAR(system.rhs[1], 1.0, 1e-15);
    EXPECT_NEAR(system.rhs[2], 1.0, 1e-15);
}

TEST(XchesiRankDefect, PivotOfExactlyZero)
{
    System system;
    system.profile = profileOf({0, 10002}, 2);
    system.matrix = {0.0, 1.0, 1.0, 1.0};
    system.rhs = {0.0, 1.0, 1.0};
    std::vector<double> diagonal;
    std::string console;
    EXPECT_EQ(solve(system, diagonal, kSolveAndInvert, &console), 2);
    EXPECT_EQ(console, "    ***  F  RANGDEFEKT IM GLEICHUNGSSYSTEM SPALTE=    2\n");
}

TEST(XchesiRankDefect, RootOfOneEMinusFourteenIsADefect)
{
    System system = diagonalPair(1e-14 * 1e-14);
    std::vector<double> diagonal;
    std::string console;
    EXPECT_EQ(solve(system, diagonal, kSolveAndInvert, &console), 2);
    EXPECT_EQ(console, "    ***  F  RANGDEFEKT IM GLEICHUNGSSYSTEM SPALTE=    2\n");
}

TEST(XchesiRankDefect, RootOfTwoEMinusFourteenPasses)
{
    System system = diagonalPair(2e-14 * 2e-14);
    std::vector<double> diagonal;
    std::string console;
    EXPECT_EQ(solve(system, diagonal, kSolveAndInvert, &console), 0);
    EXPECT_EQ(console, "");
    EXPECT_NEAR(system.rhs[2] * 4e-28, 1.0, 1e-12);
}

TEST(XchesiRankDefect, NegativePivotIsADefect)
{
    System system = diagonalPair(-1.0);
    std::vector<double> diagonal;
    EXPECT_EQ(solve(system, diagonal, kSolveAndInvert), 2);
}

TEST(XchesiRankDefect, ColumnOfAGroupWithoutDatumIsADefectWhateverItsPivot)
{
    System system = randomSystem(12, 5);
    std::vector<double> diagonal;
    std::string console;
    EXPECT_EQ(solve(system, diagonal, kSolveAndInvert, &console, 9), 9);
    EXPECT_EQ(console, "    ***  F  RANGDEFEKT IM GLEICHUNGSSYSTEM SPALTE=    9\n");
}
