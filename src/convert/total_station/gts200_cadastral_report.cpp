#include "convert/total_station/gts200_cadastral_report.h"

#include "convert/total_station/field_text.h"
#include "convert/total_station/gts200_records.h"
#include "text/number_text.h"

namespace korvane::convert::total_station {
namespace {

QString angle(const std::optional<double>& value) { return text::alignRight(formatOptional(value, u"##0.0000"), 8); }

}  // namespace

CadastralReportConversion::CadastralReportConversion(Messages& messages, TextSink& sink)
    : text_(sink),
      tokens_(messages, [this] { return text_.seen(); },
              [this](const QString& token, qsizetype line) { add(token, line); }) {
  text_.watch(QChar(4));  // EOT
}

void CadastralReportConversion::add(const QString& token, qsizetype line) {
  if (token.isEmpty()) return;
  line_ = line;
  switch (token[0].unicode()) {
    case u'\'':
      addStation(token);
      break;
    case u'<':
      addAngle(token);
      break;
    case u'?':
    case u'R':
    case u'*': {
      const FixedPart part = readFixedPart(token, line_);
      addSight(token, angle(part.horizontal), part.secondDistance);
      break;
    }
    case u'U':
      // A coordinate record carries no angle or distance of this report: its seven code
      // characters stand in the angle's place, and the distance is 0.
      addSight(token, text::alignRight(readFixedPart(token, line_).coordinateCode, 8), 0.0);
      break;
    case u'W':
      // A fine coordinate record: its horizontal angle, and 0 for the distance it does not carry.
      addSight(token, angle(readFixedPart(token, line_).horizontal), 0.0);
      break;
    default:
      break;
  }
}

// A station starts its own line: after an observation that names no next point the line is
// still open, and the station would otherwise run on behind that observation's distance.
void CadastralReportConversion::addStation(QStringView token) {
  const StationFields fields = cutStationFields(token);
  if (!text_.isEmpty() && !text_.endsWith(u"\r\n")) text_ += u"\r\n";
  text_ += mendedTrimmed(fields.station);
  text_ += u' ';
  text_ += mendedTrimmed(fields.backsight);
  text_ += u"\r\n";
}

void CadastralReportConversion::addAngle(QStringView token) {
  if (!jobLineWritten_) {
    text_ += u"LS  (";
    text_ += readFixedPart(token, line_).angleCode;
    text_ += u")\r\n";
    jobLineWritten_ = true;
  }
  const ObservationTail tail = cutObservationTail(token);
  if (tail.hasNextPoint) {
    text_ += mendedTrimmed(tail.nextPoint);
    text_ += u' ';
  }
}

void CadastralReportConversion::addSight(QStringView token, const QString& angleText,
                                         const std::optional<double>& distance) {
  text_ += angleText;
  text_ += u' ';
  text_ += formatOptional(distance, u"0.000");
  const ObservationTail tail = cutObservationTail(token);
  if (tail.hasNextPoint) {
    text_ += u"\r\n";
    text_ += mendedTrimmed(tail.nextPoint);
    text_ += u' ';
  }
}

void CadastralReportConversion::finish() {
  tokens_.finish();
  text_.flush();
}

QString mnuMeas200(QStringView workspace, Messages& messages) {
  return convertWhole<CadastralReportConversion>(workspace, messages);
}

}  // namespace korvane::convert::total_station
