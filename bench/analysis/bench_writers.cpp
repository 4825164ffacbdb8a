// Writing the results of the network analysis at size: the JSON document, the three CSV tables
// and the HTML report of a grid-like network of 10,000 and 100,000 points (the analysis itself
// untimed, done once per size). Each writes into a stream that throws the text away, so the
// figures are the writers' own; bytes_per_second is the text they make.
// Targets, with the whole `korvane analyse` run in mind (0.6 s at 100,000 points): --json and
// --csv add at most 40 % each, the HTML report stays below 20 MB.
#include "analyse.h"
#include "csv_writer.h"
#include "grid_network.h"
#include "html_writer.h"
#include "json_writer.h"

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <streambuf>

namespace {

using namespace korvane::analysis;

// Grid shapes: columns x rows.
const std::map<int, std::pair<int, int>> kGrids = {{10000, {125, 80}}, {100000, {400, 250}}};

const AnalysisResult& gridResult(int points)
{
    static std::map<int, AnalysisResult> made;
    auto found = made.find(points);
    if (found == made.end()) {
        const auto [columns, rows] = kGrids.at(points);
        AnalysisOptions options;
        options.snoop = true;
        found = made.emplace(points, analyse(buildNetwork(bench::gridNetworkRows(columns, rows)), options)).first;
    }
    return found->second;
}

// Counts the characters it is given and keeps none.
class CountingBuffer : public std::streambuf {
public:
    std::streamsize count = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        count += n;
        return n;
    }
    int_type overflow(int_type c) override
    {
        ++count;
        return traits_type::not_eof(c);
    }
};

template <typename Write>
void writeBenchmark(benchmark::State& state, const Write& write)
{
    const AnalysisResult& result = gridResult(int(state.range(0)));
    std::streamsize bytes = 0;
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        write(result, out);
        bytes = buffer.count;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.counters["MB"] = double(bytes) / 1e6;
}

void BM_WriteJson(benchmark::State& state)
{
    writeBenchmark(state, [](const AnalysisResult& result, std::ostream& out) { writeJson(result, out); });
}

void BM_WriteCsv(benchmark::State& state)
{
    writeBenchmark(state, [](const AnalysisResult& result, std::ostream& out) {
        writePointsCsv(result, out);
        writeObservationsCsv(result, out);
        writeLoopsCsv(result, out);
    });
}

void BM_WriteHtml(benchmark::State& state)
{
    writeBenchmark(state, [](const AnalysisResult& result, std::ostream& out) { writeHtml(result, out); });
}

BENCHMARK(BM_WriteJson)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteCsv)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteHtml)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
