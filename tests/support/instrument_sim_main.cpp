// instrument-sim: plays a surveying instrument on a pseudo-terminal for demos and tests.
// `instrument-sim --help` describes its modes.

#include "support/capture_replay.h"
#include "support/instrument_simulator.h"
#include "support/sample_downloads.h"

#include <poll.h>
#include <unistd.h>

#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>

namespace {

using korvane::testing::InstrumentSimulator;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

const char kHelp[] =
    "Usage: instrument-sim --series gts200|gts600|dl100c [--sample NAME] [SENDING OPTIONS]\n"
    "  or:  instrument-sim --series gts200|gts600|dl100c --replay FILE [SENDING OPTIONS]\n"
    "  or:  instrument-sim --series gts200|gts600 --receive [-o FILE]\n"
    "  or:  instrument-sim --series gts200|gts600|dl100c [--sample NAME] --print\n"
    "  or:  instrument-sim --help | --version\n"
    "\n"
    "Plays a surveying instrument on a pseudo-terminal. The first line on standard output is the\n"
    "device to open in Korvane (set KORVANE_COM1 to it, or pass it to korvane --port).\n"
    "\n"
    "Sending (a download): after the device, the instrument waits for a line on standard input (the\n"
    "surveyor pressing \"send\"; press Enter once Korvane is waiting), then sends its data with the\n"
    "series' pacing: total stations a chunk every --gap ms; the DL-100C level waits for the host's\n"
    "acknowledgement after every chunk. It exits only once the host has read the last byte (or\n"
    "after --drain-timeout), then prints what it sent and received. Exit status 1 when the host did\n"
    "not acknowledge as a level expects or did not read everything.\n"
    "  --sample NAME          the built-in data to send, one of the samples below (the first of\n"
    "                         the series is the default)\n"
    "  --replay FILE          send the bytes of FILE instead: a raw capture written by\n"
    "                         korvane download --raw or the window's last-download.raw; played with\n"
    "                         the series' pacing it reproduces that download byte for byte\n"
    "  --gap MS               pause between chunks (default 150 for total stations, 250 for a level)\n"
    "  --ack-timeout MS       how long a level waits for each acknowledgement (default 5000)\n"
    "  --drain-timeout MS     how long to wait for the host to read the last bytes (default 30000)\n"
    "  --hang-up-after BYTES  send only the first BYTES bytes, wait until the host has read them,\n"
    "                         then hang up the line as a pulled cable would\n"
    "\n"
    "Samples (SERIES NAME):\n"
    "%1"
    "\n"
    "Receiving (an upload; total stations only): after the device, the instrument collects what the\n"
    "host sends until EOT (0x04) arrives, or until a line or the end of standard input; then prints\n"
    "the byte count, and writes the bytes to FILE (-o) or else after a line \"--- received ---\".\n"
    "\n"
    "Printing: --print writes the sample's bytes, as the line would carry them, to standard output\n"
    "and exits; no terminal is opened.\n"
    "\n"
    "Exit status: 0 when all went as described, 1 when the playback failed or the host did not read\n"
    "everything, 2 on wrong usage.\n";

struct Options {
  std::string series;
  std::string sample;
  std::string replay;
  std::string output;
  bool receive = false;
  bool print = false;
  bool help = false;
  bool version = false;
  std::optional<milliseconds> gap;
  milliseconds ackTimeout{5000};
  milliseconds drainTimeout{30000};
  std::optional<long long> hangUpAfter;
};

std::string helpText() {
  std::string samples;
  for (const auto& sample : korvane::testing::sampleDownloads()) {
    // A line of its own for each, as the manual page lists them.
    std::string name = "  " + sample.series + " " + sample.name;
    name.resize(std::max<std::size_t>(name.size() + 2, 25), ' ');
    samples += name + sample.summary + "\n";
  }
  std::string help = kHelp;
  help.replace(help.find("%1"), 2, samples);
  return help;
}

int usage(const std::string& problem) {
  std::cerr << "instrument-sim: " << problem << "\n'instrument-sim --help' describes the options.\n";
  return 2;
}

std::optional<long long> parseNumber(const std::string& text) {
  try {
    std::size_t used = 0;
    const long long value = std::stoll(text, &used);
    if (used != text.size() || value < 0) return std::nullopt;
    return value;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The options, or the problem with them.
std::optional<Options> parseOptions(int argc, char** argv, std::string& problem) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    if (name == "--version") {
      options.version = true;
      continue;
    }
    if (name == "--receive" || name == "--print") {
      (name == "--receive" ? options.receive : options.print) = true;
      continue;
    }
    if (i + 1 >= argc) {
      problem = name + " needs a value";
      return std::nullopt;
    }
    const std::string value = argv[++i];
    auto number = [&](auto& target) {
      const auto parsed = parseNumber(value);
      if (!parsed) problem = name + " wants a whole number of 0 or more, not '" + value + "'";
      if (parsed) target = std::remove_reference_t<decltype(target)>(*parsed);
      return parsed.has_value();
    };
    bool ok = true;
    if (name == "--series") {
      options.series = value;
    } else if (name == "--sample") {
      options.sample = value;
    } else if (name == "--replay") {
      options.replay = value;
    } else if (name == "-o" || name == "--output") {
      options.output = value;
    } else if (name == "--gap") {
      milliseconds gap{};
      ok = number(gap);
      options.gap = gap;
    } else if (name == "--ack-timeout") {
      ok = number(options.ackTimeout);
    } else if (name == "--drain-timeout") {
      ok = number(options.drainTimeout);
    } else if (name == "--hang-up-after") {
      long long bytes = 0;
      ok = number(bytes);
      options.hangUpAfter = bytes;
    } else {
      problem = "unknown option " + name;
      return std::nullopt;
    }
    if (!ok) return std::nullopt;
  }
  if (options.help || options.version) return options;
  if (options.series != "gts200" && options.series != "gts600" && options.series != "dl100c") {
    problem = "--series must be gts200, gts600 or dl100c";
    return std::nullopt;
  }
  if (options.receive && options.series == "dl100c") {
    problem = "a DL-100C level receives no uploads; --receive is for gts200 and gts600";
    return std::nullopt;
  }
  if (!options.replay.empty() && !options.sample.empty()) {
    problem = "--replay and --sample exclude each other";
    return std::nullopt;
  }
  return options;
}

// What the instrument sends: a level's bytes before its header, then its chunks.
struct Playback {
  std::vector<QByteArray> beforeHeader;
  std::vector<QByteArray> chunks;
};

std::optional<Playback> playbackOf(const Options& options, std::string& problem) {
  if (!options.replay.empty()) {
    QFile file(QString::fromStdString(options.replay));
    if (!file.open(QIODevice::ReadOnly)) {
      problem = "cannot read " + options.replay + ": " + file.errorString().toStdString();
      return std::nullopt;
    }
    const QByteArray capture = file.readAll();
    if (options.series == "dl100c") {
      auto level = korvane::testing::levelChunksOf(capture);
      return Playback{std::move(level.beforeHeader), std::move(level.chunks)};
    }
    return Playback{{}, korvane::testing::totalStationChunksOf(capture)};
  }
  const auto* sample = korvane::testing::findSample(options.series, options.sample);
  if (!sample) {
    problem = "no sample '" + options.sample + "' for " + options.series;
    return std::nullopt;
  }
  return Playback{sample->beforeHeader, sample->chunks};
}

// Keeps the first `bytes` bytes of the playback.
void truncate(Playback& playback, long long bytes) {
  for (auto* part : {&playback.beforeHeader, &playback.chunks}) {
    std::vector<QByteArray> kept;
    for (const QByteArray& chunk : *part) {
      if (bytes <= 0) break;
      kept.push_back(chunk.left(static_cast<qsizetype>(std::min<long long>(bytes, chunk.size()))));
      bytes -= kept.back().size();
    }
    *part = std::move(kept);
  }
}

bool waitForSendSignal() {
  std::string line;
  if (std::getline(std::cin, line)) return true;
  std::cerr << "instrument-sim: standard input closed before the instrument was told to send\n";
  return false;
}

int send(const Options& options) {
  std::string problem;
  std::optional<Playback> playback = playbackOf(options, problem);
  if (!playback) return usage(problem);
  if (options.hangUpAfter) truncate(*playback, *options.hangUpAfter);

  InstrumentSimulator simulator;
  std::cout << simulator.devicePath() << std::endl;
  if (!waitForSendSignal()) return EXIT_FAILURE;

  if (options.series == "dl100c") {
    simulator.playLevel(playback->beforeHeader, playback->chunks, options.gap.value_or(250ms), options.ackTimeout);
  } else {
    simulator.playTotalStation(playback->chunks, options.gap.value_or(150ms));
  }
  while (!simulator.waitUntilDone(1s)) {
  }
  std::string failure = simulator.failure();
  // The last chunk must reach the host before the line goes away with this process.
  const bool drained = simulator.waitUntilDrained(options.drainTimeout);
  if (!drained && failure.empty()) {
    failure = "the host did not read the last bytes within " + std::to_string(options.drainTimeout.count()) + " ms";
  }
  if (options.hangUpAfter) {
    simulator.hangUp();
  } else {
    std::this_thread::sleep_for(200ms);
  }

  std::cout << "bytes sent: " << simulator.sent().size() << "\n"
            << "bytes received: " << simulator.received().size() << "\n"
            << "acknowledgements received: " << simulator.acknowledgementCount() << "\n";
  if (options.series == "dl100c" && simulator.answeredBeforeHeader()) {
    std::cout << "the host answered before the header\n";
  }
  if (options.hangUpAfter) std::cout << "hung up after " << simulator.sent().size() << " bytes\n";
  if (!failure.empty()) std::cout << "failure: " << failure << "\n";
  std::cout.flush();
  return failure.empty() ? EXIT_SUCCESS : EXIT_FAILURE;
}

// True when a line or the end of input has come on standard input.
bool standardInputSpoke() {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  return ::poll(&input, 1, 0) > 0 && (input.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

int receive(const Options& options) {
  InstrumentSimulator simulator;
  simulator.listen();
  std::cout << simulator.devicePath() << std::endl;
  while (!simulator.received().contains('\x04') && !standardInputSpoke()) std::this_thread::sleep_for(50ms);
  std::this_thread::sleep_for(300ms);  // whatever follows the EOT in the same breath
  const QByteArray received = simulator.received();

  std::cout << "bytes received: " << received.size() << std::endl;
  if (options.output.empty()) {
    std::cout << "--- received ---" << std::endl;
    std::cout.write(received.constData(), received.size());
    std::cout.flush();
    return EXIT_SUCCESS;
  }
  QFile file(QString::fromStdString(options.output));
  if (!file.open(QIODevice::WriteOnly) || file.write(received) != received.size()) {
    std::cerr << "instrument-sim: cannot write " << options.output << ": " << file.errorString().toStdString() << "\n";
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}

int print(const Options& options) {
  std::string problem;
  const std::optional<Playback> playback = playbackOf(options, problem);
  if (!playback) return usage(problem);
  const QByteArray bytes = korvane::testing::joined(playback->beforeHeader) + korvane::testing::joined(playback->chunks);
  std::cout.write(bytes.constData(), bytes.size());
  std::cout.flush();
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  std::string problem;
  const std::optional<Options> options = parseOptions(argc, argv, problem);
  if (!options) return usage(problem);
  if (options->help) {
    std::cout << helpText();
    return EXIT_SUCCESS;
  }
  if (options->version) {
#ifdef KORVANE_VERSION
    std::cout << "instrument-sim " << KORVANE_VERSION << "\n";
#else
    std::cout << "instrument-sim\n";
#endif
    return EXIT_SUCCESS;
  }
  try {
    if (options->print) return print(*options);
    if (options->receive) return receive(*options);
    return send(*options);
  } catch (const std::exception& error) {
    std::cerr << "instrument-sim: " << error.what() << "\n";
    return EXIT_FAILURE;
  }
}
