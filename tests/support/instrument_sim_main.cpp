// instrument-sim: plays a surveying instrument on a pseudo-terminal for manual demos.
//
//   instrument-sim --series gts200|gts600|dl100c [--gap MS] [--ack-timeout MS]
//   instrument-sim --help | --version
//
// Prints the device to open, waits for a line on standard input (the surveyor pressing "send" on
// the instrument), plays the sample download, then prints a summary. Exits 1 when the playback
// failed.

#include "support/instrument_simulator.h"
#include "support/sample_downloads.h"

#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

namespace {

using korvane::testing::InstrumentSimulator;
using std::chrono::milliseconds;

struct Options {
  std::string series;
  std::optional<milliseconds> gap;
  milliseconds ackTimeout{5000};
};

int usage() {
  std::cerr << "usage: instrument-sim --series gts200|gts600|dl100c [--gap MS] [--ack-timeout MS]\n";
  return 2;
}

std::optional<milliseconds> parseMilliseconds(const std::string& text) {
  try {
    std::size_t used = 0;
    const long long value = std::stoll(text, &used);
    if (used != text.size() || value < 0) return std::nullopt;
    return milliseconds(value);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<Options> parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    const std::string value = argv[++i];
    if (name == "--series") {
      options.series = value;
    } else if (name == "--gap") {
      options.gap = parseMilliseconds(value);
      if (!options.gap) return std::nullopt;
    } else if (name == "--ack-timeout") {
      const auto timeout = parseMilliseconds(value);
      if (!timeout) return std::nullopt;
      options.ackTimeout = *timeout;
    } else {
      return std::nullopt;
    }
  }
  if (options.series != "gts200" && options.series != "gts600" && options.series != "dl100c") return std::nullopt;
  return options;
}

void play(InstrumentSimulator& simulator, const Options& options) {
  namespace samples = korvane::testing;
  if (options.series == "dl100c") {
    simulator.playLevel(samples::levelBeforeHeader(), samples::levelChunks(), options.gap.value_or(milliseconds(250)),
                        options.ackTimeout);
  } else {
    simulator.playTotalStation(options.series == "gts200" ? samples::gts200Chunks() : samples::gts600Chunks(),
                               options.gap.value_or(milliseconds(150)));
  }
}

const char kHelp[] =
    "Usage: instrument-sim --series gts200|gts600|dl100c [--gap MS] [--ack-timeout MS]\n"
    "Plays a surveying instrument on a pseudo-terminal, to try Korvane's downloads without one.\n"
    "\n"
    "Prints the device to open (set KORVANE_COM1 to it, or give it to 'korvane download --port'),\n"
    "waits for a line on standard input (the surveyor pressing send on the instrument), plays a\n"
    "sample download of the series, then prints how many bytes went each way.\n"
    "\n"
    "  --series SERIES     gts200 or gts600 (total stations) or dl100c (digital level)\n"
    "  --gap MS            pause between the chunks of the download (default 150, dl100c 250)\n"
    "  --ack-timeout MS    how long the level waits for each acknowledgement (default 5000)\n"
    "  --help              show this help and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Exit status: 0 after a complete playback, 1 when it failed, 2 on wrong usage.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") {
    std::cout << kHelp;
    return 0;
  }
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::cout << "instrument-sim " << KORVANE_VERSION << "\n";
    return 0;
  }
  const std::optional<Options> options = parseOptions(argc, argv);
  if (!options) return usage();
  try {
    InstrumentSimulator simulator;
    std::cout << simulator.devicePath() << std::endl;

    std::string line;
    if (!std::getline(std::cin, line)) {
      std::cerr << "instrument-sim: standard input closed before the instrument was told to send\n";
      return 1;
    }
    play(simulator, *options);
    while (!simulator.waitUntilDone(std::chrono::seconds(1))) {
    }

    const std::string failure = simulator.failure();
    std::cout << "bytes sent: " << simulator.sent().size() << "\n"
              << "bytes received: " << simulator.received().size() << "\n"
              << "acknowledgements received: " << simulator.acknowledgementCount() << "\n";
    if (options->series == "dl100c" && simulator.answeredBeforeHeader()) {
      std::cout << "the host answered before the header\n";
    }
    if (!failure.empty()) std::cout << "failure: " << failure << "\n";
    std::cout.flush();
    return failure.empty() ? EXIT_SUCCESS : EXIT_FAILURE;
  } catch (const std::exception& error) {
    std::cerr << "instrument-sim: " << error.what() << "\n";
    return EXIT_FAILURE;
  }
}
