#include "network_checks.h"

#include "text_columns.h"

#include <map>

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
        parts[part].hasDatum = model.partHasDatum[part];
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

    std::vector<NameFinding> findings;
    std::map<std::string, std::vector<int>> byClassicName;
    for (int point = 0; point < network.pointCount(); ++point) {
        const std::string& name = network.names[point];
        if (observed[point])
            byClassicName[leadingColumns(name, kClassicNameColumns)].push_back(point);
        const int columns = columnCount(name);
        if (network.knownIndex[point] >= 0 && observed[point] && columns > kClassicNameColumns)
            findings.push_back({NameFinding::Kind::KnownNameBeyondEight, {point}, leadingColumns(name, kClassicNameColumns)});
        if (columns > kEngineFileNameColumns)
            findings.push_back({NameFinding::Kind::TooLongForEngineFile, {point}, leadingColumns(name, kClassicNameColumns)});
    }
    for (auto& [classic, points] : byClassicName)
        if (points.size() > 1)
            findings.push_back({NameFinding::Kind::MergedByEightColumns, points, classic});
    return findings;
}

}  // namespace korvane::analysis
