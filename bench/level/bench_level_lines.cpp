// The Leica GSI reader on a large file: 100 MB of GSI-16 (BFFB lines of 50 set-ups) read in
// pieces must take at most 2 s and 64 MB of memory. The peak resident size of the process is
// reported beside the time (counter "peak_MB").

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "convert/level/level_file.h"

namespace {

// "*" then 24-character words: a GSI-16 block.
std::string word16(const char* head, long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%c%016lld ", head, value < 0 ? '-' : '+', value < 0 ? -value : value);
    return text;
}

std::string point16(int block, int point) {
    char text[32];
    std::snprintf(text, sizeof text, "11%04d+%016d ", block % 10000, point);
    return text;
}

// A GSI-16 file of at least `bytes` bytes.
QString writeGsi16(const QString& path, std::size_t bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) std::abort();
    std::size_t written = 0;
    int block = 0, point = 1;
    while (written < bytes) {
        std::string text = "*41" + std::string("0001+") + std::string(15, '?') + "2\r\n";
        text += "*" + point16(++block, point) + word16("83...8", 10000000) + "\r\n";
        long long height = 10000000, length = 0;
        for (int setup = 0; setup < 50; ++setup) {
            const int back = point++, fore = point;
            const char* heads[] = {"331.08", "332.08", "336.08", "335.08"};
            const long long readings[] = {150000, 130000, 130001, 150001};
            for (int i = 0; i < 4; ++i) {
                text += "*" + point16(++block, i == 0 || i == 3 ? back : fore) + word16("32...8", 1500000) +
                        word16(heads[i], readings[i]) + "\r\n";
            }
            height += 20000;
            length += 3000000;
            text += "*" + point16(++block, fore) + word16("574..8", length) + word16("83...8", height) + "\r\n";
        }
        file.write(text.data(), static_cast<qint64>(text.size()));
        written += text.size();
    }
    return path;
}

void ReadGsi16(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = writeGsi16(folder.filePath(QStringLiteral("line.gsi")), 100u << 20);
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = korvane::convert::level::readLevelLinesFile(path, path).size();
        benchmark::DoNotOptimize(lines);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (100 << 20));
}
BENCHMARK(ReadGsi16)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
