// Fuzz target: GTS-200 series data (record tokens, their fixed parts and tails, coordinate
// records, block breaks) through every GTS-200 conversion of the "資料轉換" menu.
#include <cstddef>
#include <cstdint>

#include "fuzz_qt.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  korvane::fuzz::startQt(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto commands = korvane::fuzz::conversionCommands(QStringLiteral("gts200-"));
  const QString workspace = korvane::fuzz::workspaceText({reinterpret_cast<const char*>(data), size});
  for (const auto& command : commands) korvane::fuzz::runConversion(command, workspace);
  return 0;
}
