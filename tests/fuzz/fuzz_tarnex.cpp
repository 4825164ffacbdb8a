#include "fuzz_tarnex.h"

#include <sstream>
#include <system_error>

#include "conversion.h"
#include "engine.h"
#include "fuzz_checks.h"
#include "lev1.h"

namespace korvane::fuzz {

int runTarnex(const std::filesystem::path& folder, const std::string& inputName, std::string_view input,
              std::string_view where) {
  const char* const written[] = {tarnex::kWorkFileName, tarnex::kReportFileName, tarnex::kDumpFileName};
  for (const char* name : written) {
    std::error_code ignored;
    std::filesystem::remove(folder / name, ignored);
  }
  std::istringstream answers;
  std::ostringstream console;
  std::ostringstream errors;
  tarnex::EngineSession session{answers, console, errors, folder};
  const int status = tarnex::runEngine(session, inputName);

  const std::string place(where);
  checkNoNonFiniteText(console.str(), input, place + " (tarnex console)");
  checkNoNonFiniteText(errors.str(), input, place + " (tarnex errors)");
  for (const char* name : written) checkNoNonFiniteText(fileContent(folder / name), input, place + " (" + name + ")");
  return status;
}

}  // namespace korvane::fuzz
