#include "benchmark_map.h"

#include "input_error.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <queue>
#include <sstream>
#include <unordered_map>

namespace korvane::deformation {

namespace {

using analysis::InputError;

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const auto last = text.find_last_not_of(" \t\r");
    std::string field = text.substr(first, last - first + 1);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = field.substr(1, field.size() - 2);
    return field;
}

std::optional<double> coordinate(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    std::size_t used = 0;
    try {
        const double value = std::stod(text, &used);
        if (used != text.size() || !std::isfinite(value))
            return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

struct Edge {
    int to = 0;
    double length = 0.0;
};

using Graph = std::vector<std::vector<Edge>>;

// The levelled sections of every epoch between the benchmarks, the shortest of repeated ones.
Graph sectionGraph(const DeformationResult& result)
{
    std::unordered_map<std::string, int> index;
    for (std::size_t b = 0; b < result.benchmarks.size(); ++b)
        index.emplace(result.benchmarks[b], int(b));
    std::map<std::pair<int, int>, double> shortest;
    for (const EpochResult& epoch : result.epochs) {
        const analysis::AnalysisResult& a = epoch.analysis;
        for (const analysis::ObservationResult& o : a.observations) {
            const auto from = index.find(a.points[o.from].name);
            const auto to = index.find(a.points[o.to].name);
            if (from == index.end() || to == index.end() || from->second == to->second)
                continue;
            const std::pair key = std::minmax(from->second, to->second);
            const double length = o.distance > 0.0 ? o.distance : 1.0;
            const auto [at, added] = shortest.emplace(key, length);
            if (!added)
                at->second = std::min(at->second, length);
        }
    }
    Graph graph(result.benchmarks.size());
    for (const auto& [key, length] : shortest) {
        graph[key.first].push_back({key.second, length});
        graph[key.second].push_back({key.first, length});
    }
    return graph;
}

std::vector<double> distancesFrom(const Graph& graph, int source)
{
    std::vector<double> distance(graph.size(), std::numeric_limits<double>::infinity());
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    distance[source] = 0.0;
    queue.push({0.0, source});
    while (!queue.empty()) {
        const auto [d, node] = queue.top();
        queue.pop();
        if (d > distance[node])
            continue;
        for (const Edge& edge : graph[node])
            if (d + edge.length < distance[edge.to]) {
                distance[edge.to] = d + edge.length;
                queue.push({distance[edge.to], edge.to});
            }
    }
    return distance;
}

constexpr int kPivots = 32;

// Pivot MDS of one connected part: coordinates from the two leading directions of the
// double-centred squared distances to a few pivots spread over the part (each the farthest
// from those before it).
std::vector<PlanePoint> partLayout(const Graph& graph, const std::vector<int>& nodes)
{
    const int m = int(nodes.size());
    std::vector<PlanePoint> placed(m);
    if (m == 1)
        return placed;
    std::unordered_map<int, int> row;
    for (int i = 0; i < m; ++i)
        row.emplace(nodes[i], i);
    const int k = std::min(m, kPivots);
    Eigen::MatrixXd squared(m, k);
    std::vector<double> nearest(m, std::numeric_limits<double>::infinity());
    int pivot = nodes.front();
    for (int j = 0; j < k; ++j) {
        const std::vector<double> distance = distancesFrom(graph, pivot);
        for (int i = 0; i < m; ++i) {
            const double d = distance[nodes[i]];
            squared(i, j) = d * d;
            nearest[i] = std::min(nearest[i], d);
        }
        pivot = nodes[std::max_element(nearest.begin(), nearest.end()) - nearest.begin()];
    }
    const Eigen::VectorXd rowMean = squared.rowwise().mean();
    const Eigen::RowVectorXd columnMean = squared.colwise().mean();
    const double mean = squared.mean();
    const Eigen::MatrixXd centred =
        (-0.5 * ((squared.colwise() - rowMean).rowwise() - columnMean).array() - 0.5 * mean).matrix();
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(centred.transpose() * centred);
    for (int axis = 0; axis < 2 && axis < k; ++axis) {
        const int column = k - 1 - axis;  // eigenvalues ascending
        const double value = solver.eigenvalues()(column);
        if (!(value > 1e-12 * std::max(1.0, solver.eigenvalues()(k - 1))))
            continue;
        Eigen::VectorXd along = centred * solver.eigenvectors().col(column) / std::pow(value, 0.25);
        if (along(0) > 0.0)
            along = -along;  // the first benchmark of the part to the west, and south
        for (int i = 0; i < m; ++i)
            (axis == 0 ? placed[i].e : placed[i].n) = along(i);
    }
    return placed;
}

}  // namespace

std::map<std::string, PlanePoint> readPositions(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw InputError("cannot read the positions file " + path.string());
    std::map<std::string, PlanePoint> positions;
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        if (trimmed(line).empty())
            continue;
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');)
            fields.push_back(trimmed(field));
        const std::string where = path.string() + ", line " + std::to_string(number) + ": ";
        const std::optional<double> e = fields.size() > 1 ? coordinate(fields[1]) : std::nullopt;
        const std::optional<double> n = fields.size() > 2 ? coordinate(fields[2]) : std::nullopt;
        if (number == 1 && (!e || !n))
            continue;  // a header
        if (fields.size() < 3 || fields[0].empty())
            throw InputError(where + "expected name,E,N; " +
                             (fields.empty() || fields[0].empty() ? "the name is missing" : "E or N is missing"));
        if (!e)
            throw InputError(where + "E \"" + fields[1] + "\" is not a number");
        if (!n)
            throw InputError(where + "N \"" + fields[2] + "\" is not a number");
        if (!positions.emplace(fields[0], PlanePoint{*e, *n}).second)
            throw InputError(where + "name \"" + fields[0] + "\" is given a second time");
    }
    if (in.bad())
        throw InputError("cannot read the positions file " + path.string());
    return positions;
}

MapPlaces surveyedPlaces(const DeformationResult& result, const std::map<std::string, PlanePoint>& positions)
{
    MapPlaces map;
    map.surveyed = true;
    for (std::size_t b = 0; b < result.benchmarks.size(); ++b) {
        const auto found = positions.find(result.benchmarks[b]);
        map.places.push_back(found == positions.end() ? std::nullopt : std::optional(found->second));
        if (found == positions.end())
            map.unplaced.push_back(int(b));
    }
    return map;
}

MapPlaces networkLayout(const DeformationResult& result)
{
    const Graph graph = sectionGraph(result);
    const int count = int(graph.size());
    MapPlaces map;
    map.places.assign(count, std::nullopt);
    std::vector<int> part(count, -1);
    double west = 0.0;  // where the next part starts
    for (int start = 0; start < count; ++start) {
        if (part[start] >= 0)
            continue;
        std::vector<int> nodes{start};
        part[start] = start;
        for (std::size_t i = 0; i < nodes.size(); ++i)
            for (const Edge& edge : graph[nodes[i]])
                if (part[edge.to] < 0) {
                    part[edge.to] = start;
                    nodes.push_back(edge.to);
                }
        const std::vector<PlanePoint> placed = partLayout(graph, nodes);
        double low = 0.0, high = 0.0, spread = 0.0;
        for (const PlanePoint& p : placed) {
            low = std::min(low, p.e);
            high = std::max(high, p.e);
            spread = std::max(spread, std::abs(p.n));
        }
        for (std::size_t i = 0; i < nodes.size(); ++i)
            map.places[nodes[i]] = PlanePoint{west + placed[i].e - low, placed[i].n};
        west += high - low + std::max(1.0, 0.2 * std::max(high - low, spread));
    }
    return map;
}

}  // namespace korvane::deformation
