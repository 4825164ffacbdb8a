#include "convert/level/level_commands.h"

#include "common/failure.h"
#include "convert/level/level_file.h"
#include "convert/level/level_lines_report.h"
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

const QString kLevellingLines = QStringLiteral(
    "Leica GSI-8/GSI-16 或 Trimble DiNi M5 的水準資料（GSI 的字如「110001+00000A11」，GSI-16 以「*」開頭；M5 記錄以「For M5|」開頭）");

// "Leica GSI/DiNi M5 水準線": the lines report replaces the workspace text.
std::optional<QString> convertToLinesReport(const QString& workspace, ConversionEnvironment&) {
  const std::string bytes = level::workspaceBytes(workspace);
  const QString where = QStringLiteral("工作區");
  return level::levelLinesReport(level::readLevelLines(bytes, level::detectLevelFormat(bytes), where), where);
}

bool holdsLevellingLines(QStringView text) {
  const std::string start = level::workspaceBytes(text.first(std::min<qsizetype>(text.size(), 4096)));
  const level::LevelFormat format = level::detectLevelFormat(start);
  return format == level::LevelFormat::Gsi || format == level::LevelFormat::M5;
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
      {QStringLiteral("mnuLvLines"), QStringLiteral("level-lines"),
       QStringLiteral("Leica GSI-8/GSI-16 or DiNi M5 levelling: the lines report, --csv the lines as CSV (水準線)"),
       convertToLinesReport, kLevellingLines, holdsLevellingLines},
  };
}

}  // namespace korvane::convert
