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
#include "gts200_download.h"
#include "gts200_sample.h"

namespace {

class SilentMessages : public korvane::Messages {
 public:
  void information(const QString&, const QString&) override {}
  void critical(const QString&, const QString&) override {}
  void exclamation(const QString&, const QString&) override {}
  void plain(const QString&) override {}
  bool confirm(const QString&, const QString&) override { return true; }
};

constexpr qsizetype kMegabyte = 1 << 20;

// A GTS-200 download of about `size` characters: the sample run over and over with numbered
// points, cut into transfer blocks.
QString gts200ObservationDownload(qsizetype size) {
  QString data = QStringLiteral("_");
  for (int run = 0; data.size() < size; ++run) {
    const QString number = QString::number(run % 100000);
    for (QString record : korvane::testing::kGts200Records) {
      record.replace(QStringLiteral("A0"), QStringLiteral("A") + number);
      record.replace(QStringLiteral("P1"), QStringLiteral("P") + number);
      data += record;
    }
  }
  return korvane::testing::gts200Download(data);
}

QString gts200CoordinateDownload(qsizetype size) {
  QString data = QStringLiteral("_");
  for (int point = 0; data.size() < size; ++point) {
    data += QStringLiteral("+%1_ x%2_ y%3_ z%4_")
                .arg(QStringLiteral("P%1").arg(point), 10)
                .arg(2500000000LL + point, 10, 10, QChar(u'0'))
                .arg(187654321LL + point, 10, 10, QChar(u'0'))
                .arg(12345 + point % 1000, 10, 10, QChar(u'0'));
  }
  return korvane::testing::gts200Download(data);
}

QString gts600ObservationPrintout(qsizetype size) {
  QString text;
  for (int station = 0; text.size() < size; ++station) {
    if (station % 50 == 0) text += QStringLiteral("Job: LOT-%1      Date: 2024-05-01\r\n").arg(station / 50);
    text += QStringLiteral("Occ. Stn: A%1      Inst.Ht:  1.450\r\n").arg(station, -5);
    text += QStringLiteral("Backsight Point:  B%1       Azimuth:   0.0000\r\n").arg(station, -5);
    for (int sight = 0; sight < 8; ++sight) {
      text += QStringLiteral("  SS      P%1 HA: %2  VA: 89.5930  HD:%3\r\n")
                  .arg(sight * 1000 + station % 1000, -8)
                  .arg(QStringLiteral("%1.4510").arg(sight * 40), 8)
                  .arg(QStringLiteral("%1.400").arg(sight * 7 + 3), 8);
    }
  }
  return text;
}

QString gts600CoordinatePrintout(qsizetype size) {
  QString text = QStringLiteral("Job: LOT-12\r\nPoint          North         East       Elev\r\n=====\r\n");
  for (int point = 0; text.size() < size; ++point) {
    text += QStringLiteral("%1%2 %3  %4\r\n")
                .arg(QStringLiteral("P%1").arg(point), -12)
                .arg(2543210.123 + point, 14, 'f', 3)
                .arg(187654.321 + point, 13, 'f', 3)
                .arg(12.345, 9, 'f', 3);
  }
  return text;
}

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
