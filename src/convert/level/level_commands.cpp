#include "convert/level/level_commands.h"

#include "common/failure.h"
#include "convert/level/level_report.h"
#include "convert/level/level_workbook.h"

namespace korvane::convert {
namespace {

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

// "資料轉檔" read in pieces: a failure goes to the "錯誤" box as on the whole text.
class ReportStream : public TextConversion {
 public:
  ReportStream(ConversionEnvironment& environment, TextSink& sink)
      : messages_(environment.messages), report_(level::Scaling{environment.unitDivisor}, sink) {}
  void read(QStringView piece) override { shown([&] { report_.read(piece); }); }
  void finish() override { shown([&] { report_.finish(); }); }

 private:
  template <typename Step>
  void shown(Step step) {
    if (failed_) return;
    try {
      step();
    } catch (const Failure& failure) {
      failed_ = true;
      messages_.critical(kTitleErrorZh, failure.description());
    }
  }

  Messages& messages_;
  level::LevelReportConversion report_;
  bool failed_ = false;
};

}  // namespace

std::vector<ConversionCommand> levelCommands() {
  return {
      {QStringLiteral("mnuLvDataTran"), QStringLiteral("dl100c-report"),
       QStringLiteral("DL-100C levelling data: the levelling report (資料轉檔)"), convertToReport,
       [](ConversionEnvironment& environment, TextSink& sink) -> std::unique_ptr<TextConversion> {
         return std::make_unique<ReportStream>(environment, sink);
       }},
      {QStringLiteral("mnuLvDataExcel"), QStringLiteral("dl100c-xlsx"),
       QStringLiteral("DL-100C levelling data: the report workbook to -o OUT.xlsx, else a new file in Documents (資料->Excel)"),
       level::convertToWorkbook,
       [](ConversionEnvironment& environment, TextSink&) -> std::unique_ptr<TextConversion> {
         return std::make_unique<level::WorkbookConversion>(environment);
       }},
  };
}

}  // namespace korvane::convert
