#include "convert/total_station/gts600_cadastral_report.h"

#include "convert/total_station/field_text.h"
#include "convert/total_station/gts600_printout.h"
#include "text/text_file.h"
#include "text/number_text.h"

namespace korvane::convert::total_station {

QString gts600CadastralReport(QStringView printout, const std::function<void()>& yieldToEvents) {
  QString report;
  forEachLine(printout, yieldToEvents, [&](QStringView line, qsizetype number) {
    if (line.contains(u"Job:")) {
      // Every job starts the report afresh: it keeps the last job of the printout.
      report.clear();
      report += u"LS  (";
      report += jobName(line);
      report += u")\r\n";
    }
    if (line.contains(u"Occ. Stn:")) {
      report += trimmedColumns(line, 10, 18);
      report += u' ';
    }
    if (line.contains(u"Backsight Point:")) {
      report += trimmedColumns(line, 19, 28);
      report += u"\r\n";
    }
    const QStringView mark = columns(line, 3, 4);
    if (mark == u"SS" || mark == u"FS") {
      report += trimmedColumns(line, 11, 19);
      report += u' ';
      report += text::alignRight(trimmedColumns(line, 25, 32), 8);
      report += u' ';
      report += text::formatNumber(columnsValue(line, number, 51, 58, u"HD 平距"), u"0.000");
      report += u"\r\n";
    }
  });
  if (report.endsWith(u"\r\n")) report.chop(2);
  return report;
}

QString mnuMeas600(QStringView workspace, const ConversionEnvironment& environment) {
  text::writeScratchFile(environment.programFolder, workspace);
  return gts600CadastralReport(workspace, environment.yieldToEvents);
}

}  // namespace korvane::convert::total_station
