// What the adjustment adjusts: its equations and its datum.
//
// Every observation is an equation h(to) - h(from) = dh with the weight tarnex gives it. A known
// point enters in one of three ways: held fixed (sigma 0 or less), as an observation of its own
// height (sigma above 0) whose weight is 1/sigma^2 with sigma in the observations' units, or not
// at all (--free, where its height is only compared with the adjusted one afterwards). tarnex
// adds 1/sigma^2 with sigma in metres to weights in 1/mm^2 or 1/km, which holds every weighted
// known point practically fixed; here sigma is converted: weight 1/(1000 sigma)^2 under grade
// weighting, sigma0^2/(1000 sigma)^2 under distance weighting with an a-priori sigma0 in mm per
// square root of a km. Without that sigma0 a weighted known point cannot be weighted against
// distance weights and is held fixed; the notes say so.
//
// Known heights observed together with a covariance matrix C (Network::knownGroups) enter as one
// group of equations with the weight matrix P = sigma0^2 C^-1 (C in mm^2): its cofactor matrix
// C / sigma0^2 is kept, since removing one of them while snooping leaves the others the inverse
// of their part of it, not their part of P. Their `weight` is 1 over their own cofactor.
//
// A part of the network without a known point that enters (and every part under --free) has a
// datum defect of one: its first point is held at its approximate height, which leaves every
// residual and redundancy number as they are; the heights of such a part are then either not
// reported (no datum point) or moved onto its datum points (--free: its known points, or those
// the surveyor names), whose corrections to their given heights sum to zero
// (datum_transform.h).
#pragma once

#include "analysis_options.h"
#include "network.h"
#include "network_graph.h"

#include <Eigen/Core>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace korvane::analysis {

enum class KnownUse { Fixed, Weighted, Compared };

struct Equation {
    int from = -1;          // point, or -1 for the observed height of a known point
    int to = 0;             // point
    double value = 0.0;     // m
    double weight = 0.0;    // 1/mm^2 (grade weighting) or 1/km (distance weighting)
    int observation = -1;   // its observation, or -1
    int knownPoint = -1;    // its known point, or -1
};

struct EquationGroup {
    std::vector<int> equations;  // per member, its equation
    Eigen::MatrixXd cofactors;   // C / sigma0^2 in the weights' inverse unit, per member
};

struct AdjustmentModel {
    std::vector<Equation> equations;  // the observations in input order, then the weighted known points
    std::vector<EquationGroup> groups;
    std::vector<int> groupOfEquation;  // per equation: its entry in `groups`, or -1
    std::vector<KnownUse> knownUse;   // per known point
    std::vector<int> unknownOfPoint;  // per point: its unknown, or -1 when its height is held
    std::vector<int> pointOfUnknown;
    Eigen::VectorXd approximate;      // per point, m
    std::vector<bool> partHasDatum;   // a known point that enters gives the part its heights
    std::vector<int> heldPoint;       // per part: the point held for a datum defect, or -1
    // Per part held for its datum defect: the known points whose given heights give it its
    // datum (--free), or none: then the part has no heights.
    std::vector<std::vector<int>> datumPoints;
    std::optional<double> sigma0Apriori;  // in the units of the weights: 1 under grade weighting
    std::vector<std::string> notes;       // what the results should say about the weights and datum

    int unknownCount() const { return int(pointOfUnknown.size()); }
    // The part's heights are determined: by a known point that enters, or by datum points.
    bool partHasHeights(int part) const { return partHasDatum[part] || !datumPoints[part].empty(); }
    int datumDefect() const { return int(std::count_if(heldPoint.begin(), heldPoint.end(), [](int p) { return p >= 0; })); }
    int equationCount() const { return int(equations.size()); }
};

// Throws AnalysisFailure when a datum point named in the options is no known point, or when the
// weights span more orders of magnitude than double precision can adjust reliably.
AdjustmentModel buildAdjustmentModel(const Network& network, const NetworkGraph& graph, const AnalysisOptions& options);

}  // namespace korvane::analysis
