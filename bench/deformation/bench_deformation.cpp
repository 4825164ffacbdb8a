// The whole monitoring run (every epoch's analysis, the comparisons with their stable-point
// searches, the kinematic adjustment with every velocity's sigma) on networks built in memory:
// a square grid of benchmarks 1 km apart, levelled every year with 1 mm/sqrt(km) noise, a bowl
// of sinking benchmarks in the middle, a few sections missing each year.
//
//   Monitoring/10000/20/0   10,000 benchmarks, 19,800 sections a year, 20 epochs
//   Monitoring/1521/5/0     a first-order network: 1,521 benchmarks over 5 epochs
//   Monitoring/1521/5/33    the same with a third of the benchmarks sinking
//   Monitoring/10000/5/33   and at 10,000 benchmarks
//
// The counter peak_rss_mb is the process's peak resident memory after the run.
#include "deformation.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace korvane;

std::vector<deformation::EpochInput> monitoringEpochs(int side, int epochs, int movingPercent)
{
    const int n = side * side;
    std::vector<double> height(n), velocity(n, 0.0);
    std::vector<std::string> names(n);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> percent(0, 99);
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            const int b = r * side + c;
            names[b] = "BM" + std::to_string(r) + "_" + std::to_string(c);
            height[b] = 10.0 + 0.05 * r + 0.03 * c;
            const double distance = std::hypot(r - side / 2.0, c - side / 2.0) / side;
            if (distance < 0.1)
                velocity[b] = -80.0 * (1.0 - distance / 0.1) - 5.0;
            else if (percent(random) < movingPercent)
                velocity[b] = -5.0 - percent(random) * 0.5;
        }
    velocity[0] = 0.0;
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<deformation::EpochInput> out;
    for (int k = 0; k < epochs; ++k) {
        analysis::NetworkRows rows;
        rows.observationPlace = "row ";
        rows.knownPointPlace = "known ";
        long row = 0;
        auto observe = [&](int a, int b) {
            if (percent(random) == 0)  // about one section in a hundred is not levelled this year
                return;
            const double dh = height[b] - height[a] + (velocity[b] - velocity[a]) * k / 1000.0 + noise(random) / 1000.0;
            rows.observations.push_back({names[a], names[b], dh, 1.0, 0.0, ++row});
        };
        for (int r = 0; r < side; ++r)
            for (int c = 0; c < side; ++c) {
                if (c + 1 < side)
                    observe(r * side + c, r * side + c + 1);
                if (r + 1 < side)
                    observe(r * side + c, (r + 1) * side + c);
            }
        rows.knownPoints.push_back({names[0], height[0], 0.0, 1});
        out.push_back({std::to_string(2001 + k) + "-01-01", "epoch " + std::to_string(k + 1), analysis::buildNetwork(rows)});
    }
    return out;
}

void Monitoring(benchmark::State& state)
{
    const int side = int(std::lround(std::sqrt(double(state.range(0)))));
    const std::vector<deformation::EpochInput> epochs = monitoringEpochs(side, int(state.range(1)), int(state.range(2)));
    deformation::DeformationOptions options;
    options.stable = deformation::StableSearch::Iterative;
    int steps = 0;
    int stable = 0;
    for (auto _ : state) {
        const deformation::DeformationResult result = deformation::analyseDeformation(epochs, options);
        steps = 0;
        for (const auto& c : result.comparisons)
            steps += c.searchSteps;
        stable = int(result.kinematic.stableSet.size());
        benchmark::DoNotOptimize(result.velocities.data());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024.0;
    state.counters["search_adjustments"] = steps;
    state.counters["stable_benchmarks"] = stable;
}

}  // namespace

BENCHMARK(Monitoring)->Args({1521, 5, 0})->Args({1521, 5, 33})->Args({10000, 20, 0})->Args({10000, 5, 33})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
