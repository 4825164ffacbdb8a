#include "convert/total_station/gts600_coordinate_list.h"

#include "convert/total_station/gts600_cadastral_report.h"
#include "convert/total_station/gts600_printout.h"
#include "text/number_text.h"
#include "text/spaces.h"
#include "common/failure.h"
#include "text/text_file.h"

namespace korvane::convert::total_station {

Gts600CoordinateConversion::Gts600CoordinateConversion(const std::function<void()>& yieldToEvents, TextSink& sink)
    : list_(sink), lines_(yieldToEvents, [this](QStringView line, qsizetype number) { add(line, number); }) {}

void Gts600CoordinateConversion::add(QStringView line, qsizetype number) {
  const bool jobLine = line.contains(u"Job:");
  if (jobLine && !jobLineWritten_) {
    list_ += u"LS  (";
    list_ += jobName(line);
    list_ += u")\r\n";
    jobLineWritten_ = true;
  }
  if (jobLine || line.contains(u"===") || line.contains(u"Point          North") || text::trimSpacesView(line).isEmpty()) {
    return;
  }
  const double north = columnsValue(line, number, 13, 26, u"North");
  const double east = columnsValue(line, number, 28, 40, u"East");
  if (north == 0 || east == 0) return;
  metRecords_ = true;
  list_ += trimmedColumns(line, 1, 9);
  list_ += u' ';
  list_ += text::formatNumber(north, u"#.000");
  list_ += u' ';
  list_ += text::formatNumber(east, u"#.000");
  list_ += u"\r\n";
}

void Gts600CoordinateConversion::finish() {
  lines_.finish();
  list_.chopLineBreak();
  list_.flush();
}

QString gts600CoordinateList(QStringView printout, const std::function<void()>& yieldToEvents) {
  return convertWhole<Gts600CoordinateConversion>(printout, yieldToEvents);
}

Gts600Command::Gts600Command(const ConversionEnvironment& environment, Kind kind, TextSink& sink)
    : scratch_(environment.programFolder),
      conversion_(kind == Kind::CoordinateList
                      ? std::unique_ptr<TextConversion>(
                            std::make_unique<Gts600CoordinateConversion>(environment.yieldToEvents, sink))
                      : std::make_unique<Gts600CadastralConversion>(environment.yieldToEvents, sink)) {}

void Gts600Command::read(QStringView piece) {
  // The scratch file gets the whole text even when a line fails, as before any conversion.
  scratch_.write(piece);
  if (failure_) return;
  try {
    conversion_->read(piece);
  } catch (const Failure&) {
    failure_ = std::current_exception();
  }
}

void Gts600Command::finish() {
  if (!failure_) {
    try {
      conversion_->finish();
    } catch (const Failure&) {
      failure_ = std::current_exception();
    }
  }
  // A printout without a line of the kind converted leaves no scratch file either.
  if (failure_ || conversion_->metRecords()) scratch_.commit();
  if (failure_) std::rethrow_exception(failure_);
}

QString mnuCoord600(QStringView workspace, const ConversionEnvironment& environment) {
  return convertWhole<Gts600Command>(workspace, environment, Gts600Command::Kind::CoordinateList);
}

}  // namespace korvane::convert::total_station
