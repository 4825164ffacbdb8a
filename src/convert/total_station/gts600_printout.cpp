#include "convert/total_station/gts600_printout.h"


#include "common/failure.h"
#include "convert/total_station/field_text.h"
#include "text/cp950.h"
#include "text/number_field.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::total_station {

void forEachLine(QStringView text, const std::function<void()>& yieldToEvents,
                 const std::function<void(QStringView line, qsizetype number)>& handle) {
  LineSplitter lines(yieldToEvents, handle);
  lines.read(text);
  lines.finish();
}

QString trimmedColumns(QStringView line, qsizetype first, qsizetype last) {
  return text::trimSpaces(columns(line, first, last));
}

QString jobName(QStringView line) { return trimmedColumns(line, 5, 16); }

double columnsValue(QStringView line, qsizetype number, qsizetype first, qsizetype last, QStringView field) {
  const QStringView text = columns(line, first, last);
  return text::usableNumber(text::numericValue(text), number, field, text);
}

}  // namespace korvane::convert::total_station
