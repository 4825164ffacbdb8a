#include "network_checks.h"

#include "text_columns.h"

#include <algorithm>
#include <unordered_map>

namespace korvane::analysis {

namespace {

constexpr int kClassicNameColumns = 8;
constexpr int kEngineFileNameColumns = 10;

}  // namespace

std::vector<PartCheck> partChecks(const Network& network, const NetworkGraph& graph, const AdjustmentModel& model)
{
    std::vector<PartCheck> parts(graph.partCount());
    for (int part = 0; part < graph.partCount(); ++part) {
        parts[part].points = graph.partPoints[part];
        parts[part].hasDatum = model.partHasHeights(part);
    }
    for (const KnownPoint& known : network.known)
        parts[graph.partOfPoint[known.point]].knownPoints.push_back(known.point);
    for (const Observation& o : network.observations)
        ++parts[graph.partOfPoint[o.from]].observations;
    return parts;
}

std::vector<NameFinding> nameChecks(const Network& network)
{
    std::vector<bool> observed(network.pointCount(), false);
    for (const Observation& o : network.observations)
        observed[o.from] = observed[o.to] = true;

    // Two names share their first eight columns only if one of them is longer than that: group
    // the longer names by those columns, then add a shorter name equal to such a group's key.
    std::vector<NameFinding> findings;
    std::unordered_map<std::string, std::vector<int>> byClassicName;
    for (int point = 0; point < network.pointCount(); ++point) {
        const std::string& name = network.names[point];
        const int columns = columnCount(name);
        if (observed[point] && columns > kClassicNameColumns)
            byClassicName[leadingColumns(name, kClassicNameColumns)].push_back(point);
        if (network.knownIndex[point] >= 0 && observed[point] && columns > kClassicNameColumns)
            findings.push_back({NameFinding::Kind::KnownNameBeyondEight, {point}, leadingColumns(name, kClassicNameColumns)});
        if (columns > kEngineFileNameColumns)
            findings.push_back({NameFinding::Kind::TooLongForEngineFile, {point}, leadingColumns(name, kClassicNameColumns)});
    }
    if (!byClassicName.empty()) {
        for (int point = 0; point < network.pointCount(); ++point) {
            const std::string& name = network.names[point];
            if (!observed[point] || columnCount(name) > kClassicNameColumns)
                continue;
            if (const auto group = byClassicName.find(name); group != byClassicName.end())
                group->second.push_back(point);
        }
    }
    std::vector<NameFinding> merged;
    for (auto& [classic, points] : byClassicName) {
        if (points.size() > 1) {
            std::sort(points.begin(), points.end());
            merged.push_back({NameFinding::Kind::MergedByEightColumns, points, classic});
        }
    }
    std::sort(merged.begin(), merged.end(), [](const NameFinding& x, const NameFinding& y) { return x.points < y.points; });
    findings.insert(findings.end(), merged.begin(), merged.end());
    return findings;
}

}  // namespace korvane::analysis
