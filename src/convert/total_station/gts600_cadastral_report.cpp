#include "convert/total_station/gts600_cadastral_report.h"

#include "convert/total_station/field_text.h"
#include "convert/total_station/gts600_coordinate_list.h"
#include "convert/total_station/gts600_printout.h"
#include "text/number_text.h"

namespace korvane::convert::total_station {

Gts600CadastralConversion::Gts600CadastralConversion(const std::function<void()>& yieldToEvents, TextSink& sink)
    : report_(sink), lines_(yieldToEvents, [this](QStringView line, qsizetype number) { add(line, number); }) {}

void Gts600CadastralConversion::add(QStringView line, qsizetype number) {
  if (line.contains(u"Job:")) {
    // Every job starts the report afresh: it keeps the last job of the printout.
    report_.clear();
    report_ += u"LS  (";
    report_ += jobName(line);
    report_ += u")\r\n";
  }
  const QStringView mark = columns(line, 3, 4);
  const bool station = line.contains(u"Occ. Stn:");
  const bool backsight = line.contains(u"Backsight Point:");
  const bool sight = mark == u"SS" || mark == u"FS";
  metRecords_ = metRecords_ || station || backsight || sight;
  if (station) {
    report_ += trimmedColumns(line, 10, 18);
    report_ += u' ';
  }
  if (backsight) {
    report_ += trimmedColumns(line, 19, 28);
    report_ += u"\r\n";
  }
  if (sight) {
    report_ += trimmedColumns(line, 11, 19);
    report_ += u' ';
    report_ += text::alignRight(trimmedColumns(line, 25, 32), 8);
    report_ += u' ';
    report_ += text::formatNumber(columnsValue(line, number, 51, 58, u"HD 平距"), u"0.000");
    report_ += u"\r\n";
  }
}

void Gts600CadastralConversion::finish() {
  lines_.finish();
  report_.chopLineBreak();
  report_.flush();
}

QString gts600CadastralReport(QStringView printout, const std::function<void()>& yieldToEvents) {
  return convertWhole<Gts600CadastralConversion>(printout, yieldToEvents);
}

QString mnuMeas600(QStringView workspace, const ConversionEnvironment& environment) {
  return convertWhole<Gts600Command>(workspace, environment, Gts600Command::Kind::CadastralReport);
}

}  // namespace korvane::convert::total_station
