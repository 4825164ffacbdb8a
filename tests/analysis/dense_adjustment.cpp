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
    for (const KnownPoint& k : network.known) {
        if (k.sigma > 0.0) {
            const double sigmaMm = 1000.0 * k.sigma;
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
    Eigen::VectorXd l(m), p(m);
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
        p[e] = eq.weight;
    }
    const Eigen::MatrixXd n = a.transpose() * p.asDiagonal() * a;
    result.cofactors = n.inverse();
    const Eigen::VectorXd x = result.cofactors * (a.transpose() * p.asDiagonal() * l);
    result.design = a;
    result.heights.resize(network.pointCount());
    for (int pt = 0; pt < network.pointCount(); ++pt)
        result.heights[pt] = isHeld[pt] ? held[pt] : x[result.unknownOfPoint[pt]];
    result.residualsMm = 1000.0 * (a * x - l);
    const Eigen::MatrixXd qvv = Eigen::MatrixXd(p.cwiseInverse().asDiagonal()) - a * result.cofactors * a.transpose();
    result.residualCofactors = qvv.diagonal();
    result.redundancy = p.cwiseProduct(result.residualCofactors);
    result.vtpv = result.residualsMm.cwiseProduct(result.residualsMm).dot(p);
    result.dof = m - unknowns;
    result.sigma0Posterior = result.dof > 0 ? std::sqrt(result.vtpv / result.dof) : 0.0;
    return result;
}

}  // namespace korvane::analysis::testing
