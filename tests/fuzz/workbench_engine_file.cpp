// Fuzz target: the engine input file as the workbench reads it back ("資料讀入": ten-column
// fields in CP950, the "-99" ends), its rows written out again ("平差檔建立") and run by tarnex.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/failure.h"
#include "fuzz_checks.h"
#include "fuzz_database.h"
#include "fuzz_qt.h"
#include "workbench/engine_file.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  korvane::fuzz::startQt(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  static fuzz::FuzzDatabase& database = *new fuzz::FuzzDatabase;  // kept, as the application object
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::writeScratchFile("engine.dat", input).string();

  QString projectName;
  try {
    workbench::readEngineFile(QString::fromStdString(path), projectName, database.observations(),
                              database.knownPoints());
  } catch (const Failure&) {
  }
  database.checkStoredNumbers("korvane db read-engine-file");
  // The project name and the names come back as CP950 text.
  database.runEngineOnRows(projectName, fuzz::utf8(fuzz::workspaceText(input)) + std::string(input),
                           "korvane db read-engine-file, then tarnex");
  database.clear();
  return 0;
}
