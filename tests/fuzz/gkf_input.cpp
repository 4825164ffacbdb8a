// Fuzz target: GNU Gama's local-network XML as `korvane analyse` reads it, analysed (snooping on,
// free when the file says so) and written back with --gkf. Beyond the sanitizers: bad input is
// refused with InputError or AnalysisFailure and nothing else; the written document shows no
// non-finite number and reads back as a network of the same points, known points, groups and
// observations.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "analyse.h"
#include "analysis_failure.h"
#include "app/gkf_reader.h"
#include "app/gkf_writer.h"
#include "fuzz_checks.h"
#include "input_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  if (size > 8192) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  try {
    const app::GkfNetwork gkf = app::readGkf(QByteArray(input.data(), qsizetype(size)), "input.gkf");
    analysis::AnalysisOptions options;
    options.snoop = true;
    options.freeNetwork = gkf.freeNetwork;
    options.datumPoints = gkf.datumPoints;
    if (gkf.alpha) options.alpha = *gkf.alpha;
    const analysis::Network network = analysis::buildNetwork(gkf.rows);

    std::ostringstream written;
    app::writeGkf(network, options, written);
    fuzz::checkNoNonFiniteText(written.str(), input, "gkf_input, written back");
    const analysis::Network back =
        analysis::buildNetwork(app::readGkf(QByteArray::fromStdString(written.str()), "back.gkf").rows);
    // A free network keeps only its datum points as known points, which may number the points anew.
    if (back.observations.size() != network.observations.size() ||
        (!options.freeNetwork && (back.names != network.names || back.known.size() != network.known.size() ||
                                  back.knownGroups.size() != network.knownGroups.size())))
      fuzz::finding("gkf_input", "the network written with --gkf reads back as another network");

    analysis::analyse(network, options);
  } catch (const analysis::InputError&) {
  } catch (const analysis::AnalysisFailure&) {
  }
  return 0;
}
