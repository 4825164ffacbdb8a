// The total-station conversions on large inputs: a GTS-200 download with block breaks through
// gts200-obs (and the other GTS-200 verbs), a GTS-600 printout through gts600-cadastral and
// gts600-coord. Each must take time proportional to its input: 10 MB within a second, and ten
// times the input at most twelve times as long.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <algorithm>
#include <map>

#include "common/messages.h"
#include "convert/total_station/total_station_commands.h"
#include "convert_inputs.h"

namespace {

using namespace korvane::bench;

class SilentMessages : public korvane::Messages {
 public:
  void information(const QString&, const QString&) override {}
  void critical(const QString&, const QString&) override {}
  void exclamation(const QString&, const QString&) override {}
  void plain(const QString&) override {}
  bool confirm(const QString&, const QString&) override { return true; }
};

constexpr qsizetype kMegabyte = 1 << 20;

const korvane::convert::ConversionCommand& command(const char* verb) {
  static const std::vector<korvane::convert::ConversionCommand> commands = korvane::convert::totalStationCommands();
  return *std::find_if(commands.begin(), commands.end(),
                       [verb](const auto& c) { return c.verb == QLatin1String(verb); });
}

// Inputs made once per kind and size.
const QString& input(QString (*make)(qsizetype), qsizetype size) {
  static std::map<std::pair<QString (*)(qsizetype), qsizetype>, QString> made;
  auto [it, added] = made.try_emplace({make, size});
  if (added) it->second = make(size);
  return it->second;
}

void runVerb(benchmark::State& state, const char* verb, QString (*make)(qsizetype)) {
  const QString& text = input(make, state.range(0) * kMegabyte);
  QTemporaryDir folder;
  SilentMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, {}, {}};
  const auto& convert = command(verb).convert;
  for (auto _ : state) {
    std::optional<QString> result = convert(text, environment);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(state.iterations() * text.size());
}

void Gts200Obs(benchmark::State& state) { runVerb(state, "gts200-obs", gts200ObservationDownload); }
void Gts200Cadastral(benchmark::State& state) { runVerb(state, "gts200-cadastral", gts200ObservationDownload); }
void Gts200CoordYxz(benchmark::State& state) { runVerb(state, "gts200-coord-yxz", gts200CoordinateDownload); }
void Gts600Cadastral(benchmark::State& state) { runVerb(state, "gts600-cadastral", gts600ObservationPrintout); }
void Gts600Coord(benchmark::State& state) { runVerb(state, "gts600-coord", gts600CoordinatePrintout); }

}  // namespace

// Sizes in MB.
BENCHMARK(Gts200Obs)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(Gts600Cadastral)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(Gts200Cadastral)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(Gts200CoordYxz)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(Gts600Coord)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
