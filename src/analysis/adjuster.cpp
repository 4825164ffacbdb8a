#include "adjuster.h"

#include "analysis_failure.h"
#include "large_memory.h"

#include <algorithm>

namespace korvane::analysis {

namespace {

// The equations' ends, then those of the groups' pair terms.
std::vector<EquationEnds> equationEnds(const AdjustmentModel& model, const std::vector<Adjuster::GroupPair>& pairs)
{
    std::vector<EquationEnds> ends;
    ends.reserve(model.equations.size() + pairs.size());
    for (const Equation& e : model.equations)
        ends.push_back({e.from >= 0 ? model.unknownOfPoint[e.from] : -1, model.unknownOfPoint[e.to]});
    for (const Adjuster::GroupPair& pair : pairs) {
        const std::vector<int>& members = model.groups[pair.group].equations;
        ends.push_back({model.unknownOfPoint[model.equations[members[pair.first]].to],
                        model.unknownOfPoint[model.equations[members[pair.second]].to]});
    }
    return ends;
}

std::vector<Adjuster::GroupPair> groupPairs(const AdjustmentModel& model)
{
    std::vector<Adjuster::GroupPair> pairs;
    for (int g = 0; g < int(model.groups.size()); ++g) {
        const int n = int(model.groups[g].equations.size());
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                pairs.push_back({g, i, j});
    }
    return pairs;
}

}  // namespace

double adjustedValueCofactor(const Equation& equation, const PairCofactors& q)
{
    if (equation.from == equation.to)
        return 0.0;
    return q.to - 2.0 * q.between + q.from;
}

Adjuster::Adjuster(const Network& network, const AdjustmentModel& model, std::function<void()> pause)
    : network_(network),
      model_(model),
      pause_(std::move(pause)),
      pairs_(groupPairs(model)),
      system_(model.unknownCount(), equationEnds(model, pairs_)),
      factor_(system_.matrix())
{
}

AdjustmentState Adjuster::adjust(const std::vector<bool>& inUse)
{
    const int equations = model_.equationCount();
    std::vector<double> weights(equations + pairs_.size(), 0.0);
    std::vector<double> reduced(equations + pairs_.size(), 0.0);
    const Eigen::VectorXd& h0 = model_.approximate;
    for (int e = 0; e < equations; ++e) {
        const Equation& equation = model_.equations[e];
        weights[e] = inUse[e] ? equation.weight : 0.0;
        reduced[e] = equation.value - (h0[equation.to] - (equation.from >= 0 ? h0[equation.from] : 0.0));
    }
    const std::vector<ActiveGroup> groups = fillGroups(inUse, weights, reduced);
    Eigen::VectorXd rhs;
    system_.assemble(weights, reduced, rhs);
    if (pause_)
        pause_();

    inverse_.reset();
    if (const auto column = factor_.factorize(system_.matrix())) {
        const int point = model_.pointOfUnknown[system_.unknownOf(*column)];
        const std::string& name = network_.names[point];
        throw AnalysisFailure("the normal equations cannot be solved: the height of " + name +
                                  " (column " + std::to_string(*column + 1) + " of " +
                                  std::to_string(system_.size()) +
                                  " in elimination order) is not determined by the observations and known points "
                                  "(weights too far apart, or observations that cancel)",
                              {name});
    }
    const Eigen::VectorXd solution = system_.size() > 0 ? factor_.solve(rhs) : Eigen::VectorXd();
    findRowSums();
    if (pause_)
        pause_();
    inverse_.emplace(factor_.invert(pause_));
    if (places_.empty())
        findPlaces();

    AdjustmentState state;
    state.heights = h0;
    for (int unknown = 0; unknown < model_.unknownCount(); ++unknown)
        state.heights[model_.pointOfUnknown[unknown]] += solution[system_.columnOf(unknown)];
    state.residualsMm.resize(equations);
    int used = 0;
    for (int e = 0; e < equations; ++e) {
        const Equation& equation = model_.equations[e];
        const double adjusted = state.heights[equation.to] - (equation.from >= 0 ? state.heights[equation.from] : 0.0);
        const double v = 1000.0 * (adjusted - equation.value);
        state.residualsMm[e] = v;
        if (inUse[e]) {
            if (model_.groupOfEquation[e] < 0)
                state.vtpv += equation.weight * v * v;
            ++used;
        }
    }
    for (const ActiveGroup& group : groups) {
        Eigen::VectorXd v(group.equations.size());
        for (int i = 0; i < v.size(); ++i)
            v[i] = state.residualsMm[group.equations[i]];
        state.vtpv += v.dot(group.weights * v);
    }
    state.dof = used - model_.unknownCount();
    return state;
}

std::vector<ActiveGroup> Adjuster::fillGroups(const std::vector<bool>& inUse, std::vector<double>& weights,
                                              std::vector<double>& reduced) const
{
    std::vector<ActiveGroup> groups;
    std::vector<std::vector<int>> activeIndex;  // per group and member: its place among those in use, or -1
    for (const EquationGroup& group : model_.groups) {
        ActiveGroup active = activeGroup(group, inUse);
        std::vector<int>& index = activeIndex.emplace_back(group.equations.size(), -1);
        for (int i = 0; i < int(active.members.size()); ++i)
            index[active.members[i]] = i;
        for (int i = 0; i < int(active.equations.size()); ++i)
            weights[active.equations[i]] = active.weights.row(i).sum();
        groups.push_back(std::move(active));
    }
    const int equations = model_.equationCount();
    for (std::size_t k = 0; k < pairs_.size(); ++k) {
        const GroupPair& pair = pairs_[k];
        const int first = activeIndex[pair.group][pair.first];
        const int second = activeIndex[pair.group][pair.second];
        if (first < 0 || second < 0)
            continue;
        const std::vector<int>& members = model_.groups[pair.group].equations;
        weights[equations + k] = -groups[pair.group].weights(first, second);
        reduced[equations + k] = reduced[members[pair.second]] - reduced[members[pair.first]];
    }
    return groups;
}

double Adjuster::cofactor(int pointA, int pointB) const
{
    const int a = model_.unknownOfPoint[pointA];
    const int b = model_.unknownOfPoint[pointB];
    if (a < 0 || b < 0)
        return 0.0;
    // N = A' P A holds only the weights, so Q = N^-1 is in the weights' inverse unit: mm^2 under
    // grade weighting, km under distance weighting (mm^2 once multiplied by sigma0^2).
    const int column = system_.columnOf(a);
    return a == b ? inverse_->diagonal(column) : inverse_->at(system_.columnOf(b), column);
}

void Adjuster::findPlaces()
{
    reserveLarge(places_, model_.equations.size());
    auto place = [&](int pointA, int pointB) {
        const int a = pointA >= 0 ? model_.unknownOfPoint[pointA] : -1;
        const int b = pointB >= 0 ? model_.unknownOfPoint[pointB] : -1;
        if (a < 0 || b < 0)
            return -1;
        return a == b ? inverse_->diagonalPlace(system_.columnOf(a))
                      : inverse_->place(system_.columnOf(a), system_.columnOf(b));
    };
    for (const Equation& e : model_.equations)
        places_.push_back({place(e.from, e.from), place(e.to, e.to), place(e.from, e.to)});
}

void Adjuster::prefetchCofactors(int e) const
{
    for (int place : places_[e])
        if (place >= 0)
            inverse_->prefetch(place);
}

PairCofactors Adjuster::equationCofactors(int e) const
{
    auto value = [&](int place) { return place < 0 ? 0.0 : inverse_->atPlace(place); };
    const std::array<int, 3>& places = places_[e];
    return {value(places[0]), value(places[1]), value(places[2])};
}

double Adjuster::equationCofactor(int e) const
{
    return adjustedValueCofactor(model_.equations[e], equationCofactors(e));
}

void Adjuster::findRowSums()
{
    Eigen::VectorXd indicator = Eigen::VectorXd::Zero(system_.size());
    bool any = false;
    for (const std::vector<int>& datum : model_.datumPoints) {
        for (int point : datum) {
            if (const int unknown = model_.unknownOfPoint[point]; unknown >= 0)
                indicator[system_.columnOf(unknown)] = 1.0;
            any = true;
        }
    }
    if (!any)
        return;
    rowSums_ = Eigen::VectorXd::Zero(model_.unknownOfPoint.size());
    if (system_.size() == 0)
        return;
    const Eigen::VectorXd rows = factor_.solve(indicator);
    for (int unknown = 0; unknown < model_.unknownCount(); ++unknown)
        rowSums_[model_.pointOfUnknown[unknown]] = rows[system_.columnOf(unknown)];
}

}  // namespace korvane::analysis
