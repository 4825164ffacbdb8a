// Fuzz target: DL-100C records (kinds, status codes, comma fields, the "c" start point) through
// the levelling report, the report workbook's cells and the import into the adjustment database,
// whose rows go on into an engine input file and tarnex.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/failure.h"
#include "convert/level/level_sheet.h"
#include "convert/level/xlsx_sheet_file.h"
#include "fuzz_checks.h"
#include "fuzz_database.h"
#include "fuzz_qt.h"
#include "workbench/level_import.h"

namespace {

using namespace korvane;

// The workbook's cells as the workbook would take them: a text that reads as a number is stored
// as that number.
class CheckedCells : public convert::level::SheetCells {
 public:
  explicit CheckedCells(const std::string& input) : input_(input) {}
  void setValue(int row, int column, const QString& value) override {
    if (row < 1 || column < 1) fuzz::finding(kWhere, "a cell outside the sheet");
    fuzz::checkOutputText(fuzz::utf8(value), input_, kWhere);
    if (const auto number = convert::level::spreadsheetNumber(value)) fuzz::checkFinite(*number, kWhere);
  }

 private:
  static constexpr const char* kWhere = "korvane convert dl100c-xlsx (a cell)";
  const std::string& input_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::startQt(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto reports = fuzz::conversionCommands(QStringLiteral("dl100c-report"));
  static fuzz::FuzzDatabase& database = *new fuzz::FuzzDatabase;  // kept, as the application object
  const QString workspace = fuzz::workspaceText({reinterpret_cast<const char*>(data), size});
  const std::string input = fuzz::utf8(workspace);

  for (const auto& command : reports) fuzz::runConversion(command, workspace);

  CheckedCells cells(input);
  try {
    convert::level::writeLevelSheet(workspace, convert::level::Scaling{10}, cells);
  } catch (const Failure&) {
  }

  try {
    workbench::importLevelData(workspace, 10, database.connection());
  } catch (const Failure&) {
  }
  database.checkStoredNumbers("korvane db import");
  database.runEngineOnRows(QStringLiteral("DL-100C"), input, "korvane db import, then tarnex");
  database.clear();
  return 0;
}
