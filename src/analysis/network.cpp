#include "network.h"

#include "input_error.h"
#include "large_memory.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>

#include <cmath>
#include <sstream>
#include <cstdint>
#include <functional>
#include <string_view>

namespace korvane::analysis {

namespace {

std::string numberText(double value)
{
    std::ostringstream text;
    text.precision(10);
    text << value;
    return text.str();
}

[[noreturn]] void refuse(const std::string& origin, const std::string& field, const std::string& problem)
{
    throw InputError(origin + ", field " + field + ": " + problem);
}

void requireName(const std::string& name, const std::string& origin, const std::string& field)
{
    if (name.empty())
        refuse(origin, field, "the point name is empty");
}

void requireFinite(double value, const std::string& origin, const std::string& field)
{
    if (!std::isfinite(value))
        refuse(origin, field, "the value is not a finite number");
}

// Values no levelling holds: a larger one is a wrong unit or a damaged field, and would carry
// its digits into every sum and tolerance after it.
constexpr double kLargestHeight = 100000.0;       // m
constexpr double kLargestDifference = 10000.0;    // m
constexpr double kLongestSection = 10000.0;       // km

void requireWithin(double value, double largest, const std::string& unit, const std::string& what,
                   const std::string& origin, const std::string& field)
{
    if (std::abs(value) > largest)
        refuse(origin, field,
               "the " + what + " " + numberText(value) + " " + unit + " is beyond the " + numberText(largest) + " " +
                   unit + " that levelling can hold (a wrong unit or a damaged field?)");
}

// Point numbers by name: an open-addressing table of (hash, point) whose names are the
// network's own, so that no name is stored twice and a lookup touches one slot and one name.
class PointNumbering {
public:
    PointNumbering(Network& network, std::size_t expectedPoints) : network_(network)
    {
        reserveLarge(network_.names, expectedPoints);
        network_.knownIndex.reserve(expectedPoints);
        grow(expectedPoints);
    }

    int find(const std::string& name) const
    {
        const std::size_t hash = hashOf(name);
        return slots_[slotOf(name, hash)].point;
    }
    int findOrAppend(const std::string& name)
    {
        const std::size_t hash = hashOf(name);
        Slot& slot = slots_[slotOf(name, hash)];
        if (slot.point >= 0)
            return slot.point;
        slot = {std::uint32_t(hash), network_.pointCount()};
        network_.names.push_back(name);
        network_.knownIndex.push_back(-1);
        if (2 * std::size_t(network_.pointCount()) > slots_.size())
            grow(slots_.size());
        return network_.pointCount() - 1;
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        int point = -1;
    };

    static std::size_t hashOf(const std::string& name) { return std::hash<std::string_view>()(name); }

    // The slot that holds `name`, or the empty slot where it would go.
    std::size_t slotOf(const std::string& name, std::size_t hash) const
    {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (slot.point < 0 || (slot.hash == std::uint32_t(hash) && network_.names[slot.point] == name))
                return at;
        }
    }

    // Room for half as many again as `points` at least, the names so far placed again.
    void grow(std::size_t points)
    {
        std::size_t size = 16;
        while (size < points + points / 2)
            size *= 2;
        slots_.assign(size, Slot{});
        for (int point = 0; point < network_.pointCount(); ++point) {
            const std::size_t hash = hashOf(network_.names[point]);
            slots_[slotOf(network_.names[point], hash)] = {std::uint32_t(hash), point};
        }
    }

    Network& network_;
    std::vector<Slot> slots_;  // a power of two of them, at most half in use
};

Weighting weightingOf(const ObservationRow& first)
{
    return first.grade > -5.0 && first.grade != 0.0 ? Weighting::Grade : Weighting::Distance;
}

// The groups of known points observed together: each name a known point of no other group, the
// covariance matrix finite, symmetric and positive definite; the members' sigma its diagonal.
void addKnownGroups(const NetworkRows& rows, const PointNumbering& numbering, Network& network)
{
    for (const KnownGroupRow& row : rows.knownGroups) {
        const std::string origin = rows.knownPointPlace + std::to_string(row.row);
        const std::string& field = rows.fields.sigma;
        const int n = int(row.names.size());
        if (n == 0 || row.covariance.size() != std::size_t(n) * std::size_t(n))
            refuse(origin, field, "the covariance matrix of " + std::to_string(n) + " heights needs " +
                                      std::to_string(n * n) + " values, not " + std::to_string(row.covariance.size()));
        KnownGroup group;
        group.row = row.row;
        for (const std::string& name : row.names) {
            const int point = numbering.find(name);
            if (point < 0 || network.knownIndex[point] < 0)
                refuse(origin, rows.fields.name, "the observed height of " + name + " is not a known point");
            const int k = network.knownIndex[point];
            if (network.known[k].group >= 0)
                refuse(origin, rows.fields.name, "the height of " + name + " is observed in two groups");
            network.known[k].group = int(network.knownGroups.size());
            group.members.push_back(k);
        }
        Eigen::MatrixXd covariance(n, n);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                covariance(i, j) = row.covariance[std::size_t(i) * n + j];
                requireFinite(covariance(i, j), origin, field);
            }
        }
        if (!covariance.isApprox(covariance.transpose(), 1e-12))
            refuse(origin, field, "the covariance matrix is not symmetric");
        if (Eigen::LLT<Eigen::MatrixXd> factor(covariance); factor.info() != Eigen::Success)
            refuse(origin, field, "the covariance matrix is not positive definite");
        for (int i = 0; i < n; ++i)
            network.known[group.members[i]].sigma = std::sqrt(covariance(i, i));
        group.covariance = row.covariance;
        network.knownGroups.push_back(std::move(group));
    }
}

}  // namespace

Network buildNetwork(const NetworkRows& rows)
{
    const FieldNames& fields = rows.fields;
    Network network;
    network.title = rows.title;
    network.sourceName = rows.sourceName;
    network.observationPlace = rows.observationPlace;
    network.knownPointPlace = rows.knownPointPlace;
    network.notes = rows.notes;
    if (rows.observations.empty())
        throw InputError(rows.sourceName + ": there is no observation to adjust");
    network.weighting = weightingOf(rows.observations.front());

    // A levelling network has about as many points as observations: room for that many.
    PointNumbering numbering(network, rows.knownPoints.size() + rows.observations.size());
    network.known.reserve(rows.knownPoints.size());
    reserveLarge(network.observations, rows.observations.size());
    for (const KnownPointRow& row : rows.knownPoints) {
        const std::string origin = rows.knownPointPlace + std::to_string(row.row);
        requireName(row.name, origin, fields.name);
        requireFinite(row.height, origin, fields.height);
        requireFinite(row.sigma, origin, fields.sigma);
        requireWithin(row.height, kLargestHeight, "m", "height", origin, fields.height);
        requireWithin(row.sigma, kLargestHeight, "m", "standard deviation", origin, fields.sigma);
        if (const int earlier = numbering.find(row.name); earlier >= 0)
            refuse(origin, fields.name,
                   "the known point " + row.name + " is given twice (also at " +
                       network.knownPointOrigin(network.knownIndex[earlier]) + ")");
        const int point = numbering.findOrAppend(row.name);
        network.knownIndex[point] = int(network.known.size());
        network.known.push_back({point, row.height, row.sigma, row.row});
    }
    addKnownGroups(rows, numbering, network);

    for (const ObservationRow& row : rows.observations) {
        // The text of the place only when a message needs it.
        auto origin = [&] { return rows.observationPlace + std::to_string(row.row); };
        if (row.from.empty() || row.to.empty())
            requireName(row.from.empty() ? row.from : row.to, origin(), row.from.empty() ? fields.from : fields.to);
        if (!std::isfinite(row.dh) || !std::isfinite(row.distance) || !std::isfinite(row.grade)) {
            requireFinite(row.dh, origin(), fields.dh);
            requireFinite(row.distance, origin(), fields.distance);
            requireFinite(row.grade, origin(), fields.grade);
        }
        if (!(row.distance > 0.0))
            refuse(origin(), fields.distance,
                   "the distance " + numberText(row.distance) + " km gives no weight: a distance above 0 is needed");
        if (std::abs(row.dh) > kLargestDifference || row.distance > kLongestSection) {
            requireWithin(row.dh, kLargestDifference, "m", "height difference", origin(), fields.dh);
            requireWithin(row.distance, kLongestSection, "km", "distance", origin(), fields.distance);
        }
        Observation observation;
        observation.from = numbering.findOrAppend(row.from);
        observation.to = numbering.findOrAppend(row.to);
        observation.dh = row.dh;
        observation.distance = row.distance;
        observation.grade = row.grade;
        observation.row = row.row;
        if (network.weighting == Weighting::Grade) {
            if (row.grade == 0.0)
                refuse(origin(), fields.grade,
                       "the grade is 0, but the first observation's grade asks for grade weighting");
            const double gradeMm = 1000.0 * row.grade;
            observation.weight = 1.0 / (gradeMm * gradeMm * row.distance);
        } else {
            observation.weight = 1.0 / row.distance;
        }
        if (!std::isfinite(observation.weight) || !(observation.weight > 0.0))
            refuse(origin(), network.weighting == Weighting::Grade ? fields.grade : fields.distance,
                   "the weight of this observation cannot be computed (too large or too small)");
        network.observations.push_back(std::move(observation));
    }
    return network;
}

}  // namespace korvane::analysis
