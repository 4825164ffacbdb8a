#include "capacity_network.h"

#include "neighbours.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

namespace tarnex_bench {

namespace {

constexpr int kPoints = 1500;
constexpr int kObservations = 2000;
constexpr long kStorage = 90000;
constexpr double kGrade = 0.003;  // m per square root of a km
constexpr double kBenchmarkSigma[] = {0.0, 0.002, 0.002, 0.002};

// Point numbers along the traverse: benchmarks at its start, a third, two thirds and its end;
// the other points numbered in the order the traverse meets them.
std::vector<int> traverse()
{
    std::vector<int> order;
    int next = 5;
    for (int position = 0; position < kPoints; ++position) {
        if (position == 0)
            order.push_back(1);
        else if (position == kPoints / 3)
            order.push_back(2);
        else if (position == 2 * kPoints / 3)
            order.push_back(3);
        else if (position == kPoints - 1)
            order.push_back(4);
        else
            order.push_back(next++);
    }
    return order;
}

std::vector<std::pair<int, int>> links(const std::vector<int>& order, int span)
{
    std::vector<std::pair<int, int>> pairs;
    for (int position = 1; position < kPoints; ++position)
        pairs.emplace_back(order[static_cast<std::size_t>(position - 1)], order[static_cast<std::size_t>(position)]);
    const int ties = kObservations - (kPoints - 1);
    for (int t = 0; t < ties; ++t) {
        const int position = span + static_cast<int>(static_cast<long>(t) * (kPoints - 1 - span) / (ties - 1));
        pairs.emplace_back(order[static_cast<std::size_t>(position)], order[static_cast<std::size_t>(position - span)]);
    }
    return pairs;
}

long storageOf(const std::vector<std::pair<int, int>>& pairs)
{
    std::vector<long> codes = {0};
    for (auto [from, to] : pairs)
        codes.push_back(static_cast<long>(from) * 10000 + to);
    std::ostringstream ignored;
    tarnex::Console console(ignored);
    return tarnex::PROFIL(tarnex::SORTL(codes, kPoints), console).storage();
}

}  // namespace

CapacityNetwork capacityNetwork()
{
    CapacityNetwork network;
    const std::vector<int> order = traverse();
    int span = 2;
    while (storageOf(links(order, span + 1)) <= kStorage)
        ++span;
    network.tieSpan = span;
    const std::vector<std::pair<int, int>> pairs = links(order, span);
    network.profileStorage = storageOf(pairs);

    std::mt19937 random(1992);
    std::uniform_real_distribution<double> slope(-4.0, 4.0);
    std::uniform_real_distribution<double> length(0.4, 2.5);
    std::normal_distribution<double> error(0.0, 1.0);
    network.heights.assign(kPoints, 0.0);
    double height = 120.0;
    for (int number : order) {
        network.heights[static_cast<std::size_t>(number - 1)] = height;
        height += slope(random);
    }
    network.names.resize(kPoints);
    char name[16];
    for (int number = 1; number <= kPoints; ++number) {
        std::snprintf(name, sizeof name, number <= network.benchmarks ? "BM%02d" : "P%04d", number);
        network.names[static_cast<std::size_t>(number - 1)] = name;
    }
    for (auto [from, to] : pairs) {
        const double distance = std::round(length(random) * 1000.0) / 1000.0;
        const double sigma = kGrade * std::sqrt(distance);
        const double dh = network.heights[static_cast<std::size_t>(to - 1)] -
                          network.heights[static_cast<std::size_t>(from - 1)] + sigma * error(random);
        network.observations.push_back({from, to, std::round(dh * 1e5) / 1e5, distance});
    }
    return network;
}

std::string CapacityNetwork::inputFile() const
{
    std::string text = "Capacity network: 1500 points, 2000 observations\r\n";
    char line[96];
    for (const NetworkObservation& o : observations) {
        std::snprintf(line, sizeof line, "%-10s%-10s%10.5f%10.3f%10.5f\r\n", names[static_cast<std::size_t>(o.from - 1)].c_str(),
                      names[static_cast<std::size_t>(o.to - 1)].c_str(), o.dh, o.distance, kGrade);
        text += line;
    }
    text += "-99\r\n";
    for (int b = 0; b < benchmarks; ++b) {
        std::snprintf(line, sizeof line, "%-10s%10.5f%10.5f\r\n", names[static_cast<std::size_t>(b)].c_str(),
                      heights[static_cast<std::size_t>(b)], kBenchmarkSigma[b]);
        text += line;
    }
    text += "-99\r\n";
    return text;
}

NormalSystem normalSystem(const CapacityNetwork& network)
{
    std::vector<long> codes = {0};
    for (const NetworkObservation& o : network.observations)
        codes.push_back(static_cast<long>(o.from) * 10000 + o.to);
    std::ostringstream ignored;
    tarnex::Console console(ignored);
    NormalSystem system;
    system.profile = tarnex::PROFIL(tarnex::SORTL(codes, kPoints), console);
    system.matrix.assign(static_cast<std::size_t>(system.profile.storage()) + 1, 0.0);
    system.rhs.assign(kPoints + 1, 0.0);
    const auto add = [&](int i, int j, double value) {
        system.matrix[system.profile.at(std::max(i, j), std::min(i, j))] += value;
    };
    for (const NetworkObservation& o : network.observations) {
        const double g = 1000.0 * kGrade;
        const double p = 1.0 / (g * g * o.distance);
        add(o.from, o.from, p);
        add(o.to, o.to, p);
        add(o.from, o.to, -p);
        system.rhs[static_cast<std::size_t>(o.from)] -= p * o.dh;
        system.rhs[static_cast<std::size_t>(o.to)] += p * o.dh;
    }
    for (int b = 0; b < network.benchmarks; ++b) {
        const double sigma = kBenchmarkSigma[b];
        const double w = sigma > 0.0 ? 1.0 / (sigma * sigma) : 1e12;
        add(b + 1, b + 1, w);
        system.rhs[static_cast<std::size_t>(b + 1)] += w * network.heights[static_cast<std::size_t>(b)];
    }
    return system;
}

}  // namespace tarnex_bench
