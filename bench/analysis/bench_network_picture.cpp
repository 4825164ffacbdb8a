// The network picture of the analysis window: choosing the part of a 100,000-point network to
// draw (the nearest points around a centre) and Graphviz's layout of it, at the picture's point
// limit and below it. Both run away from the window's thread; this says how long the picture
// takes to appear. Guide: the part at the limit laid out in a couple of seconds.
#include "analyse.h"
#include "grid_network.h"
#include "workbench/network_picture_graph.h"

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

const analysis::AnalysisResult& largeResult()
{
    static const analysis::AnalysisResult result =
        analysis::analyse(analysis::buildNetwork(analysis::bench::gridNetworkRows(400, 250)), {});
    return result;
}

void BM_ChoosePictureOf100000Points(benchmark::State& state)
{
    const analysis::AnalysisResult& result = largeResult();
    for (auto _ : state) {
        workbench::PictureGraph graph = workbench::choosePicture(result, int(result.points.size() / 2));
        benchmark::DoNotOptimize(graph);
    }
}
BENCHMARK(BM_ChoosePictureOf100000Points)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LayOutPicture(benchmark::State& state)
{
    const analysis::AnalysisResult& result = largeResult();
    const workbench::PictureGraph graph =
        workbench::choosePicture(result, int(result.points.size() / 2), int(state.range(0)));
    for (auto _ : state) {
        workbench::PicturePlaces places = workbench::layOutPicture(graph);
        benchmark::DoNotOptimize(places);
    }
    state.counters["points"] = double(graph.points.size());
    state.counters["lines"] = double(graph.lines.size());
}
BENCHMARK(BM_LayOutPicture)
    ->Arg(workbench::kNeatoPointLimit)
    ->Arg(1000)
    ->Arg(workbench::kPicturePointLimit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
