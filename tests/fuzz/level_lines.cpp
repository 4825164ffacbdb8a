// Fuzz target: a Leica GSI or DiNi M5 levelling file, as `korvane convert level-lines` reports it
// and `korvane analyse` reads it. Beyond the sanitizers: bad input is refused with Failure,
// InputError or AnalysisFailure and nothing else; the report, the CSV and the network rows show no
// non-finite number and no digits the input does not hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "analyse.h"
#include "analysis_failure.h"
#include "app/level_line_rows.h"
#include "common/failure.h"
#include "convert/level/level_file.h"
#include "convert/level/level_lines_report.h"
#include "fuzz_checks.h"
#include "input_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  if (size > 16384) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const convert::level::LevelFormat format = convert::level::detectLevelFormat(input.substr(0, 512));
  try {
    const auto lines = convert::level::readLevelLines(input, format, QStringLiteral("input"));
    fuzz::checkOutputText(convert::level::levelLinesReport(lines, QStringLiteral("input")).toStdString(), input,
                          "level_lines, report");
    fuzz::checkOutputText(convert::level::levelLinesCsv(lines).toStdString(), input, "level_lines, CSV");
  } catch (const Failure&) {
  }
  try {
    const auto rows = app::levelLineRows(QByteArray(input.data(), qsizetype(size)), "input");
    if (!rows) return 0;
    for (const analysis::ObservationRow& row : rows->observations) {
      fuzz::checkFinite(row.dh, "level_lines, a line's height difference");
      fuzz::checkFinite(row.distance, "level_lines, a line's length");
    }
    analysis::AnalysisOptions options;
    options.freeNetwork = true;
    analysis::analyse(analysis::buildNetwork(*rows), options);
  } catch (const analysis::InputError&) {
  } catch (const analysis::AnalysisFailure&) {
  }
  return 0;
}
