// Peak memory of every `korvane convert` verb: a batch of merged days should not need gigabytes.
// Each verb converts a generated input of 20 and of 200 MB in a process of its own, and the
// benchmark reports the process's peak resident memory against the input's size
// (peak_per_input); the aim is at most 3.
//
// KORVANE_BINARY names another korvane to measure; BENCH_KEEP_DIR keeps the inputs and outputs
// there (INPUT-SIZE.in, VERB-SIZE.out), to compare the outputs of two binaries byte for byte.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileInfo>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "convert_inputs.h"
#include "text/cp950.h"

extern char** environ;

namespace {

using Generator = QString (*)(qsizetype);

struct Verb {
  const char* name;
  const char* inputName;  // verbs that read the same kind of input share it
  Generator input;
};

const Verb kVerbs[] = {
    {"gts200-obs", "gts200-observations", korvane::bench::gts200ObservationDownload},
    {"gts200-cadastral", "gts200-observations", korvane::bench::gts200ObservationDownload},
    {"gts200-coord-yxz", "gts200-coordinates", korvane::bench::gts200CoordinateDownload},
    {"gts200-coord-xyz", "gts200-coordinates", korvane::bench::gts200CoordinateDownload},
    {"gts600-coord", "gts600-coordinates", korvane::bench::gts600CoordinatePrintout},
    {"gts600-cadastral", "gts600-observations", korvane::bench::gts600ObservationPrintout},
    {"dl100c-report", "dl100c", korvane::bench::dl100cDownload},
    {"dl100c-xlsx", "dl100c", korvane::bench::dl100cDownload},
    {"l14", "l14", korvane::bench::l14Text},
};

constexpr qsizetype kMegabyte = 1 << 20;

QString binary() {
  const QByteArray chosen = qgetenv("KORVANE_BINARY");
  return chosen.isEmpty() ? QStringLiteral(KORVANE_BINARY) : QString::fromLocal8Bit(chosen);
}

// Where the inputs and outputs go: BENCH_KEEP_DIR, or a folder removed at the end.
QString workFolder() {
  static QTemporaryDir scratch;
  const QByteArray keep = qgetenv("BENCH_KEEP_DIR");
  if (keep.isEmpty()) return scratch.path();
  QDir().mkpath(QString::fromLocal8Bit(keep));
  return QString::fromLocal8Bit(keep);
}

// The input file of a generator and size, written once (as CP950 bytes, as a download saves it).
QString inputFile(Generator generate, qsizetype megabytes, const QString& name) {
  static std::map<std::pair<Generator, qsizetype>, QString> written;
  auto [it, added] = written.try_emplace({generate, megabytes});
  if (added) {
    it->second = QDir(workFolder()).filePath(name);
    const QByteArray bytes = korvane::text::encodeCp950(generate(megabytes * kMegabyte)).bytes;
    QFile file(it->second);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
  }
  return it->second;
}

struct Run {
  int status = -1;
  long peakKilobytes = 0;
};

// The measuring mode of this program: "--measure RESULT PROGRAM ARGUMENTS...". A process started
// afresh and still small starts the program and writes its exit status and peak resident memory
// into RESULT. (A program started straight from the benchmark would inherit the benchmark's own
// peak, large after making the inputs, as its starting high-water mark.)
int measure(char** argv) {
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 1;
  FILE* result = std::fopen(argv[0], "w");
  if (!result) return 1;
  std::fprintf(result, "%d %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss);
  return std::fclose(result) == 0 ? 0 : 1;
}

// Runs korvane with `arguments` through the measuring mode, standard output into `output`.
Run runKorvane(const QStringList& arguments, const QString& output, const QString& home) {
  static const QByteArray self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe")).toLocal8Bit();
  const QString resultFile = QDir(home).filePath(QStringLiteral("measured.txt"));
  std::vector<QByteArray> texts{self, "--measure", resultFile.toLocal8Bit(), binary().toLocal8Bit()};
  for (const QString& argument : arguments) texts.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  QByteArray homeVariable = "KORVANE_HOME=" + home.toLocal8Bit();
  std::vector<char*> environment{homeVariable.data()};
  for (char** variable = environ; *variable; ++variable) {
    if (std::strncmp(*variable, "KORVANE_HOME=", 13) != 0 && std::strncmp(*variable, "DISPLAY=", 8) != 0) {
      environment.push_back(*variable);
    }
  }
  environment.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  Run run;
  int status = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment.data()) == 0 &&
      waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    QFile result(resultFile);
    if (result.open(QIODevice::ReadOnly)) {
      const QList<QByteArray> fields = result.readAll().simplified().split(' ');
      if (fields.size() == 2) run = {fields[0].toInt(), fields[1].toLong()};
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

void ConvertPeakMemory(benchmark::State& state, const Verb& verb) {
  const qsizetype megabytes = state.range(0);
  const QString stem = QStringLiteral("%1-%2").arg(QLatin1String(verb.name)).arg(megabytes);
  const QString input = inputFile(verb.input, megabytes, QStringLiteral("%1-%2.in").arg(QLatin1String(verb.inputName)).arg(megabytes));
  const QString folder = workFolder();
  const QString output = QDir(folder).filePath(stem + QStringLiteral(".out"));
  QStringList arguments{QStringLiteral("convert"), QLatin1String(verb.name), input};
  if (QLatin1String(verb.name) == QLatin1String("dl100c-xlsx")) {
    arguments << QStringLiteral("-o") << QDir(folder).filePath(stem + QStringLiteral(".xlsx"));
  }
  Run run;
  for (auto _ : state) run = runKorvane(arguments, output, folder);
  // A run that fails still counts: a workbook has room for 1,048,576 rows only, which a DL-100C
  // download of 200 MB exceeds, and the peak up to that point is what it cost.
  state.SetLabel(run.status == 0 ? "ok" : QStringLiteral("exit %1").arg(run.status).toStdString());
  const double inputMegabytes = double(QFileInfo(input).size()) / kMegabyte;
  const double peakMegabytes = double(run.peakKilobytes) / 1024;
  state.counters["input_MB"] = inputMegabytes;
  state.counters["peak_MB"] = peakMegabytes;
  state.counters["peak_per_input"] = peakMegabytes / inputMegabytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "--measure") == 0) return measure(argv + 2);
  for (const Verb& verb : kVerbs) {
    benchmark::RegisterBenchmark((QStringLiteral("ConvertPeakMemory/") + QLatin1String(verb.name)).toLatin1().constData(),
                                 [&verb](benchmark::State& state) { ConvertPeakMemory(state, verb); })
        ->Arg(20)
        ->Arg(200)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
