// The sparse solver against a dense one: the selected inverse at every position of the factor's
// pattern against the dense inverse (1e-9 relative) on random sparse networks; cofactors,
// heights and residuals of the whole adjustment against the dense adjustment; and a factorisation
// that fails naming its column and point.
#include "adjuster.h"
#include "analyse.h"
#include "adjustment_model.h"
#include "analysis_failure.h"
#include "cholesky_factor.h"
#include "dense_adjustment.h"
#include "network_builders.h"
#include "network_graph.h"
#include "normal_system.h"
#include "selected_inverse.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <random>

namespace korvane::analysis {
namespace {

constexpr double kRelative = 1e-9;

struct Shape {
    const char* name;
    int unknowns;
    int extraEquations;  // beyond a random spanning tree
    int chainSpan;       // 0: any pair; n: pairs at most n apart (banded, like a chain)
};

std::vector<EquationEnds> randomEquations(const Shape& shape, std::mt19937& random)
{
    std::vector<EquationEnds> equations;
    for (int i = 1; i < shape.unknowns; ++i) {
        const int low = shape.chainSpan > 0 ? std::max(0, i - shape.chainSpan) : 0;
        equations.push_back({std::uniform_int_distribution<int>(low, i - 1)(random), i});
    }
    std::uniform_int_distribution<int> any(0, shape.unknowns - 1);
    for (int e = 0; e < shape.extraEquations; ++e) {
        const int a = any(random);
        int b = shape.chainSpan > 0 ? std::min(shape.unknowns - 1, a + 1 + any(random) % shape.chainSpan) : any(random);
        if (b == a)
            b = (a + 1) % shape.unknowns;
        equations.push_back({a, b});
    }
    // Heights observed directly (known points) give the datum; a few more make it less regular.
    for (int k = 0; k < 1 + shape.unknowns / 40; ++k)
        equations.push_back({-1, any(random)});
    return equations;
}

TEST(SelectedInverse, EqualsTheDenseInverseOnTheFactorsPattern)
{
    const Shape shapes[] = {{"small", 8, 4, 0},     {"tree", 60, 0, 0},     {"sparse", 150, 60, 0},
                            {"meshy", 200, 400, 0}, {"chain", 300, 40, 3}, {"dense", 40, 500, 0}};
    std::mt19937 random(20240514);
    std::uniform_real_distribution<double> weight(0.05, 20.0);
    for (const Shape& shape : shapes) {
        for (int trial = 0; trial < 3; ++trial) {
            const std::vector<EquationEnds> equations = randomEquations(shape, random);
            std::vector<double> weights, reduced(equations.size(), 0.0);
            for (std::size_t e = 0; e < equations.size(); ++e)
                weights.push_back(weight(random));
            NormalSystem system(shape.unknowns, equations);
            Eigen::VectorXd rhs;
            system.assemble(weights, reduced, rhs);
            CholeskyFactor factor(system.matrix());
            ASSERT_FALSE(factor.factorize(system.matrix())) << shape.name;
            const SelectedInverse inverse(factor.factor());

            const Eigen::MatrixXd full = Eigen::MatrixXd(system.matrix()).selfadjointView<Eigen::Upper>();
            const Eigen::MatrixXd dense = full.llt().solve(Eigen::MatrixXd::Identity(shape.unknowns, shape.unknowns));
            const Eigen::SparseMatrix<double>& l = factor.factor();
            int positions = 0;
            for (int column = 0; column < l.cols(); ++column) {
                for (Eigen::SparseMatrix<double>::InnerIterator it(l, column); it; ++it) {
                    const double expected = dense(it.row(), column);
                    const double got = inverse.at(int(it.row()), column);
                    ASSERT_LE(std::abs(got - expected), kRelative * std::abs(expected))
                        << shape.name << " trial " << trial << " at (" << it.row() << ", " << column << ")";
                    EXPECT_EQ(inverse.at(column, int(it.row())), got);  // its mirror image
                    ++positions;
                }
            }
            EXPECT_EQ(positions, l.nonZeros());
        }
    }
}

TEST(SelectedInverse, RefusesAPositionOutsideThePattern)
{
    const std::vector<EquationEnds> chain = {{-1, 0}, {0, 1}, {1, 2}, {2, 3}};
    NormalSystem system(4, chain);
    Eigen::VectorXd rhs;
    system.assemble(std::vector<double>(4, 1.0), std::vector<double>(4, 0.0), rhs);
    CholeskyFactor factor(system.matrix());
    ASSERT_FALSE(factor.factorize(system.matrix()));
    const SelectedInverse inverse(factor.factor());
    int outside = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            try {
                inverse.at(i, j);
            } catch (const std::logic_error&) {
                ++outside;
            }
    EXPECT_EQ(outside, 16 - (4 + 2 * (factor.factor().nonZeros() - 4)));
}

TEST(SparseAdjustment, AgreesWithTheDenseAdjustmentOnRandomNetworks)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 6; ++trial) {
        testing::RandomNetworkShape shape;
        shape.points = 20 + 40 * trial;
        shape.extraSections = 10 + 30 * trial;
        shape.knownPoints = 1 + trial % 3;
        shape.weightedKnown = trial % 2 == 1;
        shape.gradeWeighting = trial % 3 != 2;
        const testing::RandomNetwork generated = testing::randomNetwork(shape, random);
        const Network network = buildNetwork(generated.rows);
        AnalysisOptions options;
        options.sigma0 = 1.5;
        const double unit = network.weighting == Weighting::Grade ? 1.0 : 1.5;
        const NetworkGraph graph = buildNetworkGraph(network);
        const AdjustmentModel model = buildAdjustmentModel(network, graph, options);
        Adjuster adjuster(network, model);
        const AdjustmentState state = adjuster.adjust(std::vector<bool>(model.equations.size(), true));
        const testing::DenseAdjustment dense = testing::denseAdjustment(network, unit);

        ASSERT_EQ(state.dof, dense.dof);
        for (int p = 0; p < network.pointCount(); ++p) {
            EXPECT_NEAR(state.heights[p], dense.heights[p], 1e-9) << "trial " << trial << " point " << p;
            EXPECT_NEAR(adjuster.cofactor(p, p), dense.cofactor(p, p), kRelative * dense.cofactor(p, p));
        }
        for (int e = 0; e < model.equationCount(); ++e) {
            EXPECT_NEAR(state.residualsMm[e], dense.residualsMm[e], 1e-6) << "trial " << trial << " equation " << e;
            const Equation& equation = model.equations[e];
            if (equation.from >= 0) {
                EXPECT_NEAR(adjuster.cofactor(equation.from, equation.to), dense.cofactor(equation.from, equation.to),
                            kRelative * std::max(dense.cofactor(equation.from, equation.to), 1e-12));
            }
        }
        EXPECT_NEAR(state.vtpv, dense.vtpv, 1e-9 * std::max(1.0, dense.vtpv));
    }
}

TEST(CholeskyFactor, AFailingFactorisationNamesItsColumn)
{
    // The second pivot of [[1,-1],[-1,1]] is exactly 0: the matrix is singular in column 1.
    Eigen::SparseMatrix<double> m(4, 4);
    std::vector<Eigen::Triplet<double>> entries = {{0, 0, 1.0}, {0, 1, -1.0}, {1, 1, 1.0},
                                                   {1, 2, -1.0}, {2, 2, 3.0}, {3, 3, 1.0}};
    m.setFromTriplets(entries.begin(), entries.end());
    CholeskyFactor factor(m);
    EXPECT_EQ(factor.factorize(m), std::optional<int>(1));
    EXPECT_EQ(firstFailingColumn(m), std::optional<int>(1));

    // Nearly singular: the second pivot survives only as rounding noise.
    m.coeffRef(1, 1) = 1.0 + 1e-15;
    EXPECT_EQ(factor.factorize(m), std::optional<int>(1));
    m.coeffRef(1, 1) = 2.0;
    EXPECT_FALSE(factor.factorize(m));
}

TEST(SparseAdjustment, WeightsTooFarApartForDoublePrecisionAreRefusedBeforeTheFactor)
{
    // Q hangs on P by a weight of 1e7 and P on the known point K by 1e-4: P's pivot would be lost
    // in rounding. The spread is refused, naming both observations.
    const Network network = buildNetwork(testing::rowsOf(
        {testing::observation("K", "P", 1.0, 1e4), testing::observation("P", "Q", 1.0, 1e-7)},
        {testing::knownPoint("K", 10.0)}));
    try {
        analyse(network, {});
        ADD_FAILURE() << "no failure";
    } catch (const AnalysisFailure& failure) {
        const std::string message = failure.what();
        EXPECT_NE(message.find("too far apart"), std::string::npos) << message;
        EXPECT_NE(message.find("the observation at test, line 3 weighs 1e+11 times the observation at test, line 2"),
                  std::string::npos)
            << message;
        EXPECT_EQ(failure.names, (std::vector<std::string>{"Q", "P"}));
    }
}

}  // namespace
}  // namespace korvane::analysis
