// Fuzz target: GTS-600 series printout lines (job, station, backsight, sight and coordinate
// lines read by column) through every GTS-600 conversion of the "資料轉換" menu.
#include <cstddef>
#include <cstdint>

#include "fuzz_qt.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  korvane::fuzz::startQt(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto commands = korvane::fuzz::conversionCommands(QStringLiteral("gts600-"));
  const QString workspace = korvane::fuzz::workspaceText({reinterpret_cast<const char*>(data), size});
  for (const auto& command : commands) korvane::fuzz::runConversion(command, workspace);
  return 0;
}
