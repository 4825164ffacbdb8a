// Fuzz target: the engine input file as the network analysis reads it, analysed (snooping on)
// and written as JSON. Beyond the sanitizers: bad input is refused with InputError or
// AnalysisFailure and nothing else; every loop found closes on its first point, and there are
// as many of them as the network has independent loops (counted here from the observations
// alone); the JSON document parses, which it does not with a NaN or infinity in it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "analyse.h"
#include "analysis_failure.h"
#include "engine_file_reader.h"
#include "fuzz_checks.h"
#include "input_error.h"
#include "json_writer.h"

namespace {

using namespace korvane::analysis;

// Point pairs joined by observations, points, observations from a point to itself and connected
// parts: loops = self observations + pairs - points + parts.
std::size_t independentLoops(const Network& network) {
  std::vector<int> group(network.pointCount());
  std::iota(group.begin(), group.end(), 0);
  auto groupOf = [&](int point) {
    while (group[point] != point) point = group[point] = group[group[point]];
    return point;
  };
  std::map<std::pair<int, int>, int> pairs;
  std::size_t self = 0;
  int parts = network.pointCount();
  for (const Observation& o : network.observations) {
    if (o.from == o.to) {
      ++self;
      continue;
    }
    pairs[std::minmax(o.from, o.to)] = 1;
    if (groupOf(o.from) != groupOf(o.to)) {
      group[groupOf(o.from)] = groupOf(o.to);
      --parts;
    }
  }
  return self + pairs.size() - network.pointCount() + parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8192) return 0;  // a few hundred observations: enough shapes, quick runs
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  AnalysisOptions options;
  options.snoop = true;
  try {
    const Network network = buildNetwork(readEngineFile(input, "input.dat"));
    const AnalysisResult result = analyse(network, options);

    if (result.checks.loops.size() != independentLoops(network))
      korvane::fuzz::finding("analysis_input", "the loop checks do not number the network's independent loops");
    for (const ClosureCheck& loop : result.checks.loops) {
      if (loop.points.empty() || loop.observations.empty() || loop.points.front() != loop.points.back())
        korvane::fuzz::finding("analysis_input", "a loop check does not close on its first point");
    }
    std::ostringstream json;
    writeJson(result, json);
    if (!nlohmann::json::accept(json.str()))
      korvane::fuzz::finding("analysis_input", "the JSON result does not parse");
  } catch (const InputError&) {
  } catch (const AnalysisFailure&) {
  }
  return 0;
}
