// Fuzz target: the engine input file as tarnex reads it (title, observation lines, known
// points, the "-99" ends), converted into the work file and adjusted.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_checks.h"
#include "fuzz_tarnex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  korvane::fuzz::writeScratchFile("input.dat", input);
  korvane::fuzz::runTarnex(korvane::fuzz::scratchFolder(), "input.dat", input, "tarnex input.dat");
  return 0;
}
