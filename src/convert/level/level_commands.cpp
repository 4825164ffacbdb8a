#include "convert/level/level_commands.h"

#include "common/failure.h"
#include "convert/level/level_report.h"
#include "convert/level/level_workbook.h"

namespace korvane::convert {
namespace {

const QString kLevellingRecords =
    QStringLiteral("DL-100C 的水準記錄（資料結束列「Z,&,」之前種類為 b、c、g 至 k、v、w 的記錄）");

// "資料轉檔": the report replaces the workspace text. A failure is shown in a "錯誤" box and
// leaves the workspace as it is.
std::optional<QString> convertToReport(const QString& workspace, ConversionEnvironment& environment) {
  try {
    return level::levelReport(workspace, level::Scaling{environment.unitDivisor});
  } catch (const Failure& failure) {
    environment.messages.critical(kTitleErrorZh, failure.description());
    return std::nullopt;
  }
}

bool holdsLevellingRecords(QStringView text) { return holdsRecordsOf<level::LevelReportConversion>(text, level::Scaling{}); }

}  // namespace

std::vector<ConversionCommand> levelCommands() {
  return {
      {QStringLiteral("mnuLvDataTran"), QStringLiteral("dl100c-report"),
       QStringLiteral("DL-100C levelling data: the levelling report (資料轉檔)"), convertToReport, kLevellingRecords,
       holdsLevellingRecords},
      {QStringLiteral("mnuLvDataExcel"), QStringLiteral("dl100c-xlsx"),
       QStringLiteral("DL-100C levelling data: the report workbook to -o OUT.xlsx, else a new file in Documents (資料->Excel)"),
       level::convertToWorkbook, kLevellingRecords, holdsLevellingRecords},
  };
}

}  // namespace korvane::convert
