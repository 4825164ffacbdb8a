#include "app/dl100c_rows.h"

#include "common/failure.h"
#include "convert/level/dl100c_records.h"
#include "input_error.h"
#include "text/text_file.h"

namespace korvane::app {

analysis::NetworkRows dl100cRows(const QByteArray& bytes, const std::string& name) {
  const QString text = text::decodeTextFile(bytes).text;
  analysis::NetworkRows rows;
  rows.title = name;
  rows.sourceName = name;
  rows.observationPlace = rows.knownPointPlace = name + ", line ";
  convert::level::RecordReader reader(text, convert::level::Scaling{kDl100cUnitDivisor});
  std::string from;
  try {
    while (const std::optional<convert::level::Record> record = reader.next()) {
      if (record->isLineStart()) {
        from = record->lineStart.startPoint.trimmed().toString().toStdString();
      } else if (record->isSectionEnd()) {
        const convert::level::SectionEnd& section = record->sectionEnd;
        std::string to = section.pointName.trimmed().toString().toStdString();
        rows.observations.push_back(
            {from, to, section.heightDifference, section.sectionDistance / 1000, 0.0, long(record->lineNumber)});
        from = std::move(to);  // the next section starts where this one ended
      }
    }
  } catch (const Failure& failure) {
    throw analysis::InputError(name + ": " + failure.description().toStdString());
  }
  if (rows.observations.empty())
    throw analysis::InputError(name + ": a DL-100C download without any levelled section (a turning-point \"v\" or "
                               "end-point \"w\" record before the end-of-data line \"Z,&,\")");
  return rows;
}

}  // namespace korvane::app
