// A part of the network without a known point, a network without any, and the free network in
// the datum of its known points (the partial minimum trace): solved by hand, independent of the
// order of the input, its cofactors the S-transform of the pseudo-inverse of N, its residuals
// those of any minimal datum, and the comparison of the known heights finds the wrong one.
#include "analyse.h"
#include "analysis_failure.h"
#include "dense_adjustment.h"
#include "network_builders.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <map>
#include <random>

namespace korvane::analysis {
namespace {

NetworkRows twoParts()
{
    return testing::rowsOf({testing::observation("K", "A", 1.0, 1.0, 0.001), testing::observation("A", "B", 1.0, 1.0, 0.001),
                            testing::observation("B", "K", -1.997, 1.0, 0.001),
                            testing::observation("X", "Y", 0.5, 1.0, 0.001), testing::observation("Y", "Z", 0.5, 1.0, 0.001),
                            testing::observation("Z", "X", -0.994, 1.0, 0.001)},
                           {testing::knownPoint("K", 50.0)});
}

TEST(Parts, APartWithoutAKnownPointIsNamedAndItsObservationsStillTested)
{
    const AnalysisResult result = analyse(buildNetwork(twoParts()), {});
    ASSERT_EQ(result.checks.parts.size(), 2u);
    const PartCheck& lost = result.checks.parts[1];
    EXPECT_FALSE(lost.hasDatum);
    EXPECT_TRUE(lost.knownPoints.empty());
    std::vector<std::string> names;
    for (int point : lost.points)
        names.push_back(result.points[point].name);
    EXPECT_EQ(names, (std::vector<std::string>{"X", "Y", "Z"}));
    EXPECT_TRUE(result.checks.parts[0].hasDatum);

    for (int point : lost.points) {
        EXPECT_EQ(result.points[point].status, HeightStatus::NoDatum);
        EXPECT_FALSE(result.points[point].height);
        EXPECT_FALSE(result.points[point].sigma);
    }
    // The triangle X Y Z closes 6 mm: each side takes -2 mm and r = 1/3 (one condition on three
    // equal sides), as in the first triangle (3 mm: -1 mm each). The effect on heights needs
    // heights: none in the lost part.
    for (int i = 3; i < 6; ++i) {
        EXPECT_NEAR(*result.observations[i].test.residual, -2.0, 1e-9);
        EXPECT_NEAR(*result.observations[i].test.redundancy, 1.0 / 3.0, 1e-12);
        EXPECT_TRUE(result.observations[i].test.w);
        EXPECT_FALSE(result.observations[i].test.mdbEffect);
    }
    EXPECT_NEAR(*result.observations[0].test.residual, -1.0, 1e-9);
    EXPECT_TRUE(result.observations[0].test.mdbEffect);
    EXPECT_EQ(result.global.dof, 2);
    EXPECT_NEAR(*result.points[1].height, 51.0 - 0.001, 1e-9);  // A
}

TEST(Parts, WithoutAnyKnownPointTheAnalysisStopsNamingThePoints)
{
    NetworkRows rows = twoParts();
    rows.knownPoints.clear();
    try {
        analyse(buildNetwork(rows), {});
        ADD_FAILURE() << "no failure";
    } catch (const AnalysisFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find("no known point"), std::string::npos);
        EXPECT_NE(std::string(failure.what()).find("--free"), std::string::npos);
        EXPECT_EQ(failure.names.size(), 6u);
    }
    // A free network without known points has no datum: no heights, but every observation is
    // adjusted and tested, and each part counts one height the observations leave open.
    AnalysisOptions free;
    free.freeNetwork = true;
    const AnalysisResult result = analyse(buildNetwork(rows), free);
    for (const PointResult& point : result.points) {
        EXPECT_EQ(point.status, HeightStatus::NoDatum);
        EXPECT_FALSE(point.height || point.sigma);
    }
    for (const PartCheck& part : result.checks.parts)
        EXPECT_FALSE(part.hasDatum);
    EXPECT_NEAR(*result.observations[3].test.residual, -2.0, 1e-9);
    EXPECT_EQ(result.unknowns, 6);
    EXPECT_EQ(result.datumDefect, 2);
    EXPECT_EQ(result.global.dof, 2);
}

// The triangle 1 > 2 > 3 > 1 (1 km sides, distance weights) closes -3 mm: each side takes +1 mm,
// so 2 = 1 + 1.004 and 3 = 1 + 2.004. With the known heights 1 = 100 and 3 = 102 as the datum,
// (h1 - 100) + (h3 - 102) = 0 gives h1 = 99.998. Held at 1, Q = [[0,0,0],[0,2/3,1/3],[0,1/3,2/3]]
// (km); g = Q e_D = (0, 1/3, 2/3), c = 2/3, n = 2: Q(1,1) = Q(3,3) = 1/6, Q(2,2) = 1/2; sigma0^2
// = vTPv / f = 3 mm^2/km.
NetworkRows knownTriangle(bool reordered)
{
    using testing::knownPoint;
    using testing::observation;
    if (!reordered)
        return testing::rowsOf({observation("1", "2", 1.003, 1.0), observation("2", "3", 0.999, 1.0),
                                observation("3", "1", -2.005, 1.0)},
                               {knownPoint("1", 100.0), knownPoint("3", 102.0)});
    return testing::rowsOf({observation("1", "3", 2.005, 1.0), observation("3", "2", -0.999, 1.0),
                            observation("2", "1", -1.003, 1.0)},
                           {knownPoint("3", 102.0), knownPoint("1", 100.0)});
}

std::map<std::string, const PointResult*> byName(const AnalysisResult& result)
{
    std::map<std::string, const PointResult*> points;
    for (const PointResult& point : result.points)
        points[point.name] = &point;
    return points;
}

TEST(FreeNetwork, TheKnownPointsGiveTheDatumAsSolvedByHandInAnyOrder)
{
    AnalysisOptions options;
    options.freeNetwork = true;
    for (bool reordered : {false, true}) {
        SCOPED_TRACE(reordered ? "reordered" : "as given");
        const AnalysisResult result = analyse(buildNetwork(knownTriangle(reordered)), options);
        auto points = byName(result);
        EXPECT_NEAR(*points["1"]->height, 99.998, 1e-9);
        EXPECT_NEAR(*points["2"]->height, 101.002, 1e-9);
        EXPECT_NEAR(*points["3"]->height, 102.002, 1e-9);
        EXPECT_NEAR(*points["1"]->sigma, std::sqrt(3.0 / 6.0), 1e-9);
        EXPECT_NEAR(*points["2"]->sigma, std::sqrt(3.0 / 2.0), 1e-9);
        EXPECT_NEAR(*points["3"]->sigma, std::sqrt(3.0 / 6.0), 1e-9);
        EXPECT_NEAR(*points["1"]->freeOffset, -2.0, 1e-6);
        EXPECT_NEAR(*points["3"]->freeOffset, 2.0, 1e-6);
        EXPECT_FALSE(points["2"]->freeOffset);
        EXPECT_EQ(result.unknowns, 3);
        EXPECT_EQ(result.datumDefect, 1);
        EXPECT_EQ(result.global.dof, 1);
    }

    // The datum on point 1 alone: it keeps its given height and has no variance.
    options.datumPoints = {"1"};
    const AnalysisResult one = analyse(buildNetwork(knownTriangle(true)), options);
    auto points = byName(one);
    EXPECT_NEAR(*points["1"]->height, 100.0, 1e-9);
    EXPECT_NEAR(*points["1"]->sigma, 0.0, 1e-7);
    EXPECT_NEAR(*points["3"]->height, 102.004, 1e-9);
    EXPECT_NEAR(*points["3"]->freeOffset, 4.0, 1e-6);
    EXPECT_NEAR(*points["2"]->sigma, std::sqrt(3.0 * 2.0 / 3.0), 1e-9);
}

TEST(FreeNetwork, ADatumPointMustBeAKnownPointOfTheNetwork)
{
    AnalysisOptions options;
    options.freeNetwork = true;
    for (const auto& [name, expected] : std::initializer_list<std::pair<const char*, const char*>>{
             {"9", "not a point of the network"}, {"2", "no given height"}}) {
        options.datumPoints = {"1", name};
        try {
            analyse(buildNetwork(knownTriangle(false)), options);
            ADD_FAILURE() << name;
        } catch (const AnalysisFailure& failure) {
            EXPECT_NE(std::string(failure.what()).find(expected), std::string::npos) << failure.what();
            EXPECT_EQ(failure.names, std::vector<std::string>{name});
        }
    }
}

TEST(FreeNetwork, CofactorsArePseudoInverseAndTheWrongKnownHeightStandsOut)
{
    std::mt19937 random(31);
    testing::RandomNetworkShape shape;
    shape.points = 50;
    shape.extraSections = 40;
    shape.knownPoints = 4;
    testing::RandomNetwork generated = testing::randomNetwork(shape, random);
    generated.rows.knownPoints[2].height += 0.025;  // a known height 25 mm wrong
    const Network network = buildNetwork(generated.rows);
    AnalysisOptions options;
    options.freeNetwork = true;
    const AnalysisResult result = analyse(network, options);

    // Residuals and redundancy numbers of a minimal datum: the same with one point held.
    NetworkRows oneHeld = generated.rows;
    oneHeld.knownPoints.resize(1);
    const AnalysisResult held = analyse(buildNetwork(oneHeld), {});
    ASSERT_EQ(result.global.dof, held.global.dof);
    for (std::size_t i = 0; i < result.observations.size(); ++i) {
        EXPECT_NEAR(*result.observations[i].test.residual, *held.observations[i].test.residual, 1e-7);
        EXPECT_NEAR(*result.observations[i].test.redundancy, *held.observations[i].test.redundancy, 1e-9);
    }

    // sigma^2 of the heights: sigma0^2 times the diagonal of S N^+ S', S = I - 1 e_D' / n the
    // S-transformation onto the known points D (any generalised inverse of N gives the same).
    const int m = network.pointCount();
    Eigen::MatrixXd n = Eigen::MatrixXd::Zero(m, m);
    for (const Observation& o : network.observations) {
        n(o.from, o.from) += o.weight;
        n(o.to, o.to) += o.weight;
        n(o.from, o.to) -= o.weight;
        n(o.to, o.from) -= o.weight;
    }
    const Eigen::MatrixXd pseudoInverse = n.completeOrthogonalDecomposition().pseudoInverse();
    Eigen::MatrixXd s = Eigen::MatrixXd::Identity(m, m);
    for (const KnownPoint& known : network.known)
        s.col(known.point).array() -= 1.0 / double(network.known.size());
    const Eigen::MatrixXd q = s * pseudoInverse * s.transpose();
    const double sigma0 = *result.global.sigma0Posterior;
    double offsetSum = 0.0;
    for (int p = 0; p < m; ++p) {
        EXPECT_EQ(result.points[p].status, HeightStatus::Adjusted);
        EXPECT_NEAR(*result.points[p].sigma, sigma0 * std::sqrt(q(p, p)), 1e-7) << p;
        if (result.points[p].freeOffset)
            offsetSum += *result.points[p].freeOffset;
    }
    EXPECT_NEAR(offsetSum, 0.0, 1e-6);
    // Height differences as in the held adjustment (whose points are numbered otherwise).
    std::map<std::string, double> heldHeight;
    for (const PointResult& point : held.points)
        heldHeight[point.name] = *point.height;
    for (int p = 1; p < m; ++p)
        EXPECT_NEAR(*result.points[p].height - *result.points[0].height,
                    heldHeight[result.points[p].name] - heldHeight[result.points[0].name], 1e-8);

    // The known points' offsets: the wrong one (given 25 mm high) by about -25 mm * 3/4, the
    // others by about +25/4 mm.
    int worst = -1;
    for (int k = 0; k < int(network.known.size()); ++k) {
        const int point = network.known[k].point;
        EXPECT_EQ(result.points[point].known, KnownRole::Compared);
        ASSERT_TRUE(result.points[point].freeOffset);
        if (worst < 0 || std::abs(*result.points[point].freeOffset) >
                             std::abs(*result.points[network.known[worst].point].freeOffset))
            worst = k;
    }
    EXPECT_EQ(worst, 2);
    EXPECT_NEAR(*result.points[network.known[2].point].freeOffset, -25.0 * 3.0 / 4.0, 5.0);
}

}  // namespace
}  // namespace korvane::analysis
