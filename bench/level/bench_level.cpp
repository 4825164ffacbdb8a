// The DL-100C conversions on large downloads: the report must stay linear in the size of the
// text (10 MB well under a second, ten times the text at most twelve times as long).

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "common/messages.h"
#include "convert/level/level_commands.h"
#include "convert/level/level_sheet.h"

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

QString field(qint64 value, int width) {
  return (value < 0 ? QStringLiteral("-") : QStringLiteral("+")) + QString::number(qAbs(value)).rightJustified(width, u'0');
}

// A download of about `bytes` characters: levelling lines of twenty sections each, every section
// a backsight, an intermediate sight now and then, a foresight and its turning point.
QString download(qsizetype bytes) {
  QString text = QStringLiteral("A,01,Z,\r\n");
  text.reserve(bytes + 200);
  qint64 height = 2543210;
  for (int line = 1; text.size() < bytes; ++line) {
    const QString job = QStringLiteral("JOB%1").arg(line % 1000);
    if (line % 2) {
      text += QStringLiteral("b,00,%1,BM%2,%3,\r\n").arg(job).arg(line).arg(field(height, 8));
    } else {
      text += QStringLiteral("c,00,%1,%2,%3,\r\n").arg(job, QString::number(line).rightJustified(8, u' '), field(height, 8));
    }
    qint64 accumulated = 0;
    for (int section = 1; section <= 20; ++section) {
      const qint64 back = 140000 + (line * 37 + section * 11) % 9000;
      const qint64 fore = 130000 + (line * 13 + section * 29) % 9000;
      const qint64 distance = 25000 + section * 10;
      const QString status = section % 7 == 0 ? QStringLiteral("I7") : QStringLiteral("00");
      const QString point = QStringLiteral("TP%1").arg(section);
      text += QStringLiteral("g,00,%1,%2,+00000000,1,0,%3,08:15,,\r\n").arg(field(back, 8), field(distance, 7), point);
      if (section % 5 == 0) text += QStringLiteral("k,00,%1,%2,+00000000,1,0,P%3,08:16,,\r\n").arg(field(back + 500, 8), field(distance / 2, 7)).arg(section);
      text += QStringLiteral("j,%1,%2,%3,+00000000,1,0,%4,08:17,,\r\n").arg(status, field(fore, 8), field(distance, 7), point);
      height += back - fore;
      accumulated += 2 * distance;
      text += QStringLiteral("v,00,%1,%2,2,%3,+00000000,%4,%5,%6,\r\n")
                  .arg(section)
                  .arg(point, field(back - fore, 8), field(2 * distance, 7), field(accumulated, 7), field(height, 8));
    }
    text += QStringLiteral("w,00,21,BM%1,2,+00000000,+00000000,+0000000,%2,%3,\r\nt,00,\r\n")
                .arg(line + 1)
                .arg(field(accumulated, 7), field(height, 8));
  }
  return text + QStringLiteral("Z,&,\r\n");
}

const korvane::convert::ConversionCommand& command(const char* verb) {
  static const std::vector<korvane::convert::ConversionCommand> commands = korvane::convert::levelCommands();
  for (const auto& c : commands) {
    if (c.verb == QLatin1String(verb)) return c;
  }
  std::abort();
}

void LevelReport(benchmark::State& state) {
  const QString text = download(state.range(0) << 20);
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
  const QString text = download(state.range(0) << 20);
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
  const QString text = download(state.range(0) << 20);
  QTemporaryDir folder;
  SilentMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, folder.filePath("bench.xlsx"), {}};
  const auto& workbook = command("dl100c-xlsx");
  for (auto _ : state) workbook.convert(text, environment);
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(LevelWorkbookFile)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
