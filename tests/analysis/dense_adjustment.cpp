#include "dense_adjustment.h"

#include <cmath>

namespace korvane::analysis::testing {

double DenseAdjustment::cofactor(int a, int b) const
{
    const int i = unknownOfPoint[a];
    const int j = unknownOfPoint[b];
    return i < 0 || j < 0 ? 0.0 : cofactors(i, j);
}

DenseAdjustment denseAdjustment(const Network& network, double unitSigma0)
{
    DenseAdjustment result;
    for (const Observation& o : network.observations)
        result.equations.push_back({o.from, o.to, o.dh, o.weight});
    std::vector<double> held(network.pointCount(), 0.0);
    std::vector<bool> isHeld(network.pointCount(), false);
    std::vector<int> equationOfKnown(network.known.size(), -1);
    for (const KnownPoint& k : network.known) {
        if (k.sigma > 0.0) {
            const double sigmaMm = 1000.0 * k.sigma;
            equationOfKnown[&k - network.known.data()] = int(result.equations.size());
            result.equations.push_back({-1, k.point, k.height, unitSigma0 * unitSigma0 / (sigmaMm * sigmaMm)});
        } else {
            isHeld[k.point] = true;
            held[k.point] = k.height;
        }
    }
    int unknowns = 0;
    for (int p = 0; p < network.pointCount(); ++p)
        result.unknownOfPoint.push_back(isHeld[p] ? -1 : unknowns++);

    const int m = int(result.equations.size());
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(m, unknowns);
    Eigen::VectorXd l(m);
    for (int e = 0; e < m; ++e) {
        const DenseEquation& eq = result.equations[e];
        double value = eq.value;
        auto put = [&](int point, double sign) {
            if (result.unknownOfPoint[point] >= 0)
                a(e, result.unknownOfPoint[point]) += sign;
            else
                value -= sign * held[point];
        };
        put(eq.to, 1.0);
        if (eq.from >= 0)
            put(eq.from, -1.0);
        l[e] = value;
    }
    Eigen::MatrixXd lCofactors = Eigen::MatrixXd::Zero(m, m);  // P^-1
    for (int e = 0; e < m; ++e)
        lCofactors(e, e) = 1.0 / result.equations[e].weight;
    for (const KnownGroup& group : network.knownGroups) {
        const int size = int(group.members.size());
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < size; ++j)
                lCofactors(equationOfKnown[group.members[i]], equationOfKnown[group.members[j]]) =
                    1e6 * group.covariance[std::size_t(i) * size + j] / (unitSigma0 * unitSigma0);
    }
    const Eigen::MatrixXd p = lCofactors.inverse();
    result.weights = p;
    const Eigen::MatrixXd n = a.transpose() * p * a;
    result.cofactors = n.inverse();
    const Eigen::VectorXd x = result.cofactors * (a.transpose() * p * l);
    result.design = a;
    result.heights.resize(network.pointCount());
    for (int pt = 0; pt < network.pointCount(); ++pt)
        result.heights[pt] = isHeld[pt] ? held[pt] : x[result.unknownOfPoint[pt]];
    result.residualsMm = 1000.0 * (a * x - l);
    const Eigen::MatrixXd qvv = lCofactors - a * result.cofactors * a.transpose();
    result.residualCofactors = qvv.diagonal();
    result.redundancy = (qvv * p).diagonal();
    const Eigen::VectorXd pv = p * result.residualsMm;
    const Eigen::VectorXd reduced = (p * qvv * p).diagonal();
    result.reducedWeights = reduced;
    result.standardized = pv.cwiseQuotient(reduced.cwiseSqrt());
    result.grossErrors = -pv.cwiseQuotient(reduced);
    result.vtpv = result.residualsMm.dot(pv);
    result.dof = m - unknowns;
    result.sigma0Posterior = result.dof > 0 ? std::sqrt(result.vtpv / result.dof) : 0.0;
    return result;
}

}  // namespace korvane::analysis::testing
