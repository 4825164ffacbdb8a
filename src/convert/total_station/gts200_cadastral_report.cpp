#include "convert/total_station/gts200_cadastral_report.h"

#include "convert/total_station/field_text.h"
#include "convert/total_station/gts200_records.h"
#include "text/number_text.h"

namespace korvane::convert::total_station {
namespace {

class CadastralReport {
 public:
  QString text;

  void add(const QString& token, qsizetype line) {
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

 private:
  static QString angle(const std::optional<double>& value) {
    return text::alignRight(formatOptional(value, u"##0.0000"), 8);
  }

  // A station starts its own line: after an observation that names no next point the line is
  // still open, and the station would otherwise run on behind that observation's distance.
  void addStation(QStringView token) {
    const StationFields fields = cutStationFields(token);
    if (!text.isEmpty() && !text.endsWith(u"\r\n")) text += u"\r\n";
    text += mendedTrimmed(fields.station);
    text += u' ';
    text += mendedTrimmed(fields.backsight);
    text += u"\r\n";
  }

  void addAngle(QStringView token) {
    if (!jobLineWritten_) {
      text += u"LS  (";
      text += readFixedPart(token, line_).angleCode;
      text += u")\r\n";
      jobLineWritten_ = true;
    }
    const ObservationTail tail = cutObservationTail(token);
    if (tail.hasNextPoint) {
      text += mendedTrimmed(tail.nextPoint);
      text += u' ';
    }
  }

  void addSight(QStringView token, const QString& angleText, const std::optional<double>& distance) {
    text += angleText;
    text += u' ';
    text += formatOptional(distance, u"0.000");
    const ObservationTail tail = cutObservationTail(token);
    if (tail.hasNextPoint) {
      text += u"\r\n";
      text += mendedTrimmed(tail.nextPoint);
      text += u' ';
    }
  }

  bool jobLineWritten_ = false;
  qsizetype line_ = 0;  // of the token being added
};

}  // namespace

QString mnuMeas200(QStringView workspace, Messages& messages) {
  CadastralReport report;
  forEachGts200Record(workspace, messages, report.text, [&report](const QString& token, qsizetype line) { report.add(token, line); });
  return report.text;
}

}  // namespace korvane::convert::total_station
