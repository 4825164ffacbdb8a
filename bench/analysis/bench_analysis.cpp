// The network analysis at size: a grid-like network of 10,000 and 100,000 points (1.5
// observations per point, known points spread over it), the whole analysis from the rows as read
// (network, checks, adjustment with every height's sigma and every redundancy number,
// statistics). Wall and process CPU time, and the peak resident memory of the process.
// Targets: 100,000 points in 2 s and 512 MB, 10,000 points in 0.2 s, ten times the network in at
// most twelve times the time: the ratio of the two BM_WholeAnalysis lines, each the mean of
// repeated runs (at least 2 s of them).
//
// Each run starts as `korvane analyse` does, in a process whose memory holds nothing of an earlier
// analysis: the allocator's free memory is given back to the system first (untimed). Without
// that, what a run costs would depend on what the runs before it left behind: a 10,000-point
// run after 100,000-point runs finds its memory mapped already and takes half the time or less
// that it takes after runs of its own size.
#include "analyse.h"
#include "engine_file_reader.h"
#include "grid_network.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <malloc.h>
#include <map>
#include <string>

namespace {

using namespace korvane::analysis;

// Grid shapes: columns x rows.
const std::map<int, std::pair<int, int>> kGrids = {{10000, {125, 80}}, {100000, {400, 250}}};

const NetworkRows& gridRows(int points)
{
    static std::map<int, NetworkRows> made;
    auto found = made.find(points);
    if (found == made.end()) {
        const auto [columns, rows] = kGrids.at(points);
        found = made.emplace(points, bench::gridNetworkRows(columns, rows)).first;
    }
    return found->second;
}

// Peak resident memory since the last reset, MB (Linux: VmHWM, reset through clear_refs).
void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double peakMemoryMb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
        status.ignore(256, '\n');
    }
    return 0.0;
}

AnalysisResult analyseRows(const NetworkRows& rows)
{
    return analyse(buildNetwork(rows), {});
}

void BM_WholeAnalysis(benchmark::State& state)
{
    const NetworkRows& rows = gridRows(int(state.range(0)));
    resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        state.ResumeTiming();
        AnalysisResult result = analyseRows(rows);
        benchmark::DoNotOptimize(result);
    }
    state.counters["points"] = double(state.range(0));
    state.counters["observations"] = double(rows.observations.size());
    state.counters["peak_MB"] = peakMemoryMb();
}
BENCHMARK(BM_WholeAnalysis)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(2.0);

// Reading the engine input file of the network (not part of the targets above).
void BM_ReadEngineFile(benchmark::State& state)
{
    const std::string text = bench::engineFileText(gridRows(int(state.range(0))));
    for (auto _ : state) {
        NetworkRows rows = readEngineFile(text, "grid.dat");
        benchmark::DoNotOptimize(rows);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ReadEngineFile)->Arg(100000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
