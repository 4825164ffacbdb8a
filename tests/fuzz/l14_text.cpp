// Fuzz target: cadastral L14 point text, as an upload converts it first ("l14").
#include <cstddef>
#include <cstdint>

#include "fuzz_qt.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  korvane::fuzz::startQt(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto commands = korvane::fuzz::conversionCommands(QStringLiteral("l14"));
  const QString workspace = korvane::fuzz::workspaceText({reinterpret_cast<const char*>(data), size});
  for (const auto& command : commands) korvane::fuzz::runConversion(command, workspace);
  return 0;
}
