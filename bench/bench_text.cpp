#include "text/cp950.h"
#include "text/number_text.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

namespace {

using namespace korvane::text;

// About 1 MB of survey records: Big5 point names and ASCII readings.
QByteArray mixedBig5Buffer()
{
    const QByteArray record("\xB4\xFA\xAF\xB8 A12 \xB0\xAA\xB5\x7B=+0001234568 "
                            "\xF9\xF9 \xC2\x49\xB8\xB9 12.5 m\r\n");
    QByteArray buffer;
    buffer.reserve(1 << 20);
    while (buffer.size() + record.size() <= (1 << 20))
        buffer += record;
    return buffer;
}

void BM_NumericValue(benchmark::State &state)
{
    const QString readings[] = {QStringLiteral("  -0012.50m"), QStringLiteral("2543210.1235"),
                               QStringLiteral("1 2.5"), QStringLiteral("3E2")};
    for (auto _ : state) {
        for (const QString &reading : readings)
            benchmark::DoNotOptimize(numericValue(reading));
    }
    state.SetItemsProcessed(state.iterations() * std::size(readings));
}
BENCHMARK(BM_NumericValue);

void BM_FormatNumber(benchmark::State &state)
{
    const double values[] = {2543210.1235, -0.0004, 12345.6785, 0.0135};
    for (auto _ : state) {
        for (const double value : values)
            benchmark::DoNotOptimize(formatNumber(value, u"#0.000"));
    }
    state.SetItemsProcessed(state.iterations() * std::size(values));
}
BENCHMARK(BM_FormatNumber);

void BM_Cp950Decode(benchmark::State &state)
{
    const QByteArray buffer = mixedBig5Buffer();
    Cp950Decoder decoder;
    for (auto _ : state) {
        benchmark::DoNotOptimize(decoder.decode(buffer));
        decoder.finish();
    }
    state.SetBytesProcessed(state.iterations() * buffer.size());
}
BENCHMARK(BM_Cp950Decode)->Unit(benchmark::kMillisecond);

} // namespace
