// tarnex at its capacity limits: the whole run (reading the input file, level.inp, the
// adjustment, writing level.out and level.dmp) on a network of 1500 points and 2000
// observations with a profile just under 90000 values, and its profile solve against a dense
// solve of the same normal matrix.
//
//   bench_engine                       runs the benchmarks
//   bench_engine --write-network DIR   writes the network as DIR/network.dat and ends
#include "capacity_network.h"
#include "engine.h"
#include "xchesi.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace tarnex_bench;

namespace {

struct Workspace {
    std::filesystem::path folder;
    CapacityNetwork network;

    Workspace()
    {
        folder = std::filesystem::temp_directory_path() / ("tarnex-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        network = capacityNetwork();
        std::ofstream(folder / "network.dat", std::ios::binary) << network.inputFile();
    }
    ~Workspace()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

const Workspace& workspace()
{
    static const Workspace shared;
    return shared;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void solveInProfile(const NormalSystem& system, std::vector<double>& matrix, std::vector<double>& rhs,
                    std::vector<double>& diagonal)
{
    matrix = system.matrix;
    rhs = system.rhs;
    std::ostringstream ignored;
    tarnex::Console console(ignored);
    tarnex::XCHESI(matrix, diagonal, system.profile, rhs, tarnex::kSolveAndInvert, console);
}

using Dense = std::vector<double>;  // row-major n x n

Dense denseMatrix(const NormalSystem& system)
{
    const int n = system.profile.m;
    Dense dense(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0.0);
    for (int i = 1; i <= n; ++i)
        for (int j = system.profile.first[static_cast<std::size_t>(i)]; j <= i; ++j) {
            const double value = system.matrix[system.profile.at(i, j)];
            dense[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(n) + static_cast<std::size_t>(j - 1)] = value;
            dense[static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(n) + static_cast<std::size_t>(i - 1)] = value;
        }
    return dense;
}

// Dense Cholesky, solution and the full inverse: what the profile solve replaces.
void solveDense(Dense& a, std::vector<double>& x, int n)
{
    const auto at = [&](int i, int j) -> double& {
        return a[static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(j)];
    };
    for (int j = 0; j < n; ++j) {
        for (int i = j; i < n; ++i) {
            double s = at(i, j);
            for (int k = 0; k < j; ++k)
                s -= at(i, k) * at(j, k);
            at(i, j) = i == j ? std::sqrt(s) : s / at(j, j);
        }
    }
    for (int i = 0; i < n; ++i) {
        double s = x[static_cast<std::size_t>(i)];
        for (int k = 0; k < i; ++k)
            s -= at(i, k) * x[static_cast<std::size_t>(k)];
        x[static_cast<std::size_t>(i)] = s / at(i, i);
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = x[static_cast<std::size_t>(i)];
        for (int k = i + 1; k < n; ++k)
            s -= at(k, i) * x[static_cast<std::size_t>(k)];
        x[static_cast<std::size_t>(i)] = s / at(i, i);
    }
    // L^-1 in the lower triangle, then Z = L^-T L^-1 into the upper triangle and diagonal.
    for (int j = 0; j < n; ++j) {
        at(j, j) = 1.0 / at(j, j);
        for (int i = j + 1; i < n; ++i) {
            double s = 0.0;
            for (int k = j; k < i; ++k)
                s -= at(i, k) * (k == j ? at(j, j) : at(k, j));
            at(i, j) = s / at(i, i);
        }
    }
    for (int i = 0; i < n; ++i)
        for (int j = i; j < n; ++j) {
            double s = 0.0;
            for (int k = j; k < n; ++k)
                s += at(k, i) * at(k, j);
            at(i, j) = s;
        }
}

void AdjustmentEndToEnd(benchmark::State& state)
{
    const Workspace& w = workspace();
    std::istringstream answers;
    for (auto _ : state) {
        std::ostringstream console;
        std::ostringstream errors;
        tarnex::EngineSession session{answers, console, errors, w.folder};
        if (tarnex::runEngine(session, std::string("network.dat")) != 0) {
            state.SkipWithError(errors.str().c_str());
            break;
        }
    }
    state.counters["points"] = 1500;
    state.counters["observations"] = static_cast<double>(w.network.observations.size());
    state.counters["profile_storage"] = static_cast<double>(w.network.profileStorage);
    state.counters["peak_rss_MB"] = peakMegabytes();
}
BENCHMARK(AdjustmentEndToEnd)->Unit(benchmark::kMillisecond);

void ProfileSolve(benchmark::State& state)
{
    const NormalSystem system = normalSystem(workspace().network);
    std::vector<double> matrix;
    std::vector<double> rhs;
    std::vector<double> diagonal;
    for (auto _ : state) {
        solveInProfile(system, matrix, rhs, diagonal);
        benchmark::DoNotOptimize(rhs.data());
    }
    state.counters["profile_storage"] = static_cast<double>(system.profile.storage());
}
BENCHMARK(ProfileSolve)->Unit(benchmark::kMillisecond);

void DenseSolve(benchmark::State& state)
{
    const NormalSystem system = normalSystem(workspace().network);
    const int n = system.profile.m;
    const Dense dense = denseMatrix(system);
    Dense a;
    std::vector<double> x;
    for (auto _ : state) {
        a = dense;
        x.assign(system.rhs.begin() + 1, system.rhs.end());
        solveDense(a, x, n);
        benchmark::DoNotOptimize(a.data());
    }
    // The same solution and inverse diagonal from the profile, and how much faster it came.
    std::vector<double> matrix;
    std::vector<double> rhs;
    std::vector<double> diagonal;
    const auto start = std::chrono::steady_clock::now();
    constexpr int kRepeats = 20;
    for (int r = 0; r < kRepeats; ++r)
        solveInProfile(system, matrix, rhs, diagonal);
    const double profileSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kRepeats;
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
        largest = std::max(largest, std::fabs(rhs[static_cast<std::size_t>(i + 1)] - x[static_cast<std::size_t>(i)]));
        largest = std::max(largest, std::fabs(diagonal[static_cast<std::size_t>(i + 1)] -
                                              a[static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(i)]) /
                                        std::fabs(diagonal[static_cast<std::size_t>(i + 1)]));
    }
    if (largest > 1e-6)
        state.SkipWithError("the profile and the dense solve disagree");
    state.counters["profile_ms"] = profileSeconds * 1000.0;
    state.counters["dense_over_profile"] = 0.0;  // set below from the measured dense time
    const auto denseStart = std::chrono::steady_clock::now();
    a = dense;
    x.assign(system.rhs.begin() + 1, system.rhs.end());
    solveDense(a, x, n);
    const double denseSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - denseStart).count();
    state.counters["dense_over_profile"] = denseSeconds / profileSeconds;
}
BENCHMARK(DenseSolve)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-network") == 0) {
        const CapacityNetwork network = capacityNetwork();
        std::ofstream(std::filesystem::path(argv[2]) / "network.dat", std::ios::binary) << network.inputFile();
        std::cout << "network.dat: 1500 points, " << network.observations.size() << " observations, tie span "
                  << network.tieSpan << ", profile storage " << network.profileStorage << "\n";
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
