// The DL-100C conversions on large downloads: the report must stay linear in the size of the
// text (10 MB well under a second, ten times the text at most twelve times as long).

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "common/messages.h"
#include "convert/level/level_commands.h"
#include "convert/level/level_sheet.h"
#include "convert_inputs.h"

namespace {

class SilentMessages : public korvane::Messages {
 public:
  void information(const QString&, const QString&) override {}
  void critical(const QString&, const QString& text) override { failure = text; }
  void exclamation(const QString&, const QString&) override {}
  void plain(const QString&) override {}
  bool confirm(const QString&, const QString&) override { return false; }
  QString failure;
};

const korvane::convert::ConversionCommand& command(const char* verb) {
  static const std::vector<korvane::convert::ConversionCommand> commands = korvane::convert::levelCommands();
  for (const auto& c : commands) {
    if (c.verb == QLatin1String(verb)) return c;
  }
  std::abort();
}

void LevelReport(benchmark::State& state) {
  const QString text = korvane::bench::dl100cDownload(state.range(0) << 20);
  SilentMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, QString(), 10, {}, {}, {}};
  const auto& report = command("dl100c-report");
  for (auto _ : state) {
    const std::optional<QString> result = report.convert(text, environment);
    if (!result) state.SkipWithError(messages.failure.toUtf8().constData());
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(state.iterations() * text.size());
  state.counters["lines"] = double(text.count(u'\n'));
}
BENCHMARK(LevelReport)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The workbook's cells without the file: the row layout over the same records.
void LevelSheetLayout(benchmark::State& state) {
  class CountingCells : public korvane::convert::level::SheetCells {
   public:
    void setValue(int, int, const QString& value) override { characters += value.size(); }
    qint64 characters = 0;
  };
  const QString text = korvane::bench::dl100cDownload(state.range(0) << 20);
  for (auto _ : state) {
    CountingCells cells;
    korvane::convert::level::writeLevelSheet(text, {}, cells);
    benchmark::DoNotOptimize(cells.characters);
  }
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(LevelSheetLayout)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole workbook command on a 10 MB download, file written.
void LevelWorkbookFile(benchmark::State& state) {
  const QString text = korvane::bench::dl100cDownload(state.range(0) << 20);
  QTemporaryDir folder;
  SilentMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, folder.filePath("bench.xlsx"), {}};
  const auto& workbook = command("dl100c-xlsx");
  for (auto _ : state) workbook.convert(text, environment);
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(LevelWorkbookFile)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
