#include "convert/total_station/gts200_observation_report.h"

#include "convert/total_station/field_text.h"
#include "convert/total_station/gts200_records.h"
#include "text/number_text.h"

namespace korvane::convert::total_station {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

template <typename... Pieces>
void append(ResultText& report, const Pieces&... pieces) {
  ((report += QStringView(pieces)), ...);
}

QString angle(const std::optional<double>& value) {
  return text::alignRight(formatOptional(value, u"##0.0000"), 8);
}

QString coordinate(const std::optional<double>& value, QStringView pattern) {
  return text::alignRight(formatOptional(value, pattern), 12);
}

QString distance(const std::optional<double>& value) { return formatOptional(value, u"###0.000"); }

void appendStation(ResultText& report, QStringView token, qsizetype line) {
  const StationFields fields = cutStationFields(token);
  if (!report.isEmpty()) report += kLineBreak;
  report += u"   測站:";
  report += mendedAligned(fields.station);
  report += u"  儀器高:";
  report += formatTextAsNumber(fields.instrumentHeight, u"#0.000", {line, u"儀器高"});
  report += u"  ID:";
  report += mendedAligned(fields.identifier);
  report += u"\r\n 後視點:";
  report += mendedAligned(fields.backsight);
}

// The target height as the report prints it. The angle record prints its text (a text that is
// no number as it stands; without a next point its numeric value), the others its numeric value.
// The field is mended before it is read, so a block break inside it cannot add the block's
// digits to the value.
QString targetHeight(QChar kind, const ObservationTail& tail, qsizetype line) {
  const QString mended = mendedTrimmed(tail.targetHeight);
  const FieldPlace place{line, u"覘標高"};
  if (kind == u'<' && tail.hasNextPoint) return formatTextAsNumber(mended, u"#0.000", place);
  return text::formatNumber(reportValue(text::numericValue(mended), place, mended), u"#0.000");
}

void appendObservation(ResultText& report, QStringView token, qsizetype line) {
  const QChar kind = token[0];
  const ObservationTail tail = cutObservationTail(token);
  const FixedPart part = readFixedPart(token, line);
  report += u"  覘標高:";
  report += targetHeight(kind, tail, line);
  report += u"  Pcode:";
  report += mendedAligned(tail.pointCode);
  switch (kind.unicode()) {
    case u'<':
      append(report, u"  水平角:", angle(part.horizontal), u"  天頂距:", angle(part.zenith));
      break;
    case u'?':
      append(report, u"  水平角:", angle(part.horizontal), u"  天頂距:", angle(part.zenith));
      append(report, u"  斜距:", distance(part.firstDistance), u"平距:", distance(part.secondDistance));
      break;
    case u'R':
    case u'*':
      append(report, u"  水平角:", angle(part.horizontal), u"  天頂距:", angle(part.zenith));
      append(report, u"  平距:", distance(part.firstDistance), u"斜距:", distance(part.secondDistance));
      break;
    case u'U':
      append(report, u"  N:", coordinate(part.north, u"#######0.000"), u"  E:", coordinate(part.east, u"#######0.000"));
      append(report, u"  Z:", coordinate(part.height, u"####0.000"));
      break;
    case u'W':
      append(report, u"  N:", coordinate(part.north, u"#######0.000"), u"  E:", coordinate(part.east, u"#######0.000"));
      append(report, u"  Z:", coordinate(part.height, u"####0.000"));
      append(report, u"  水平角:", angle(part.horizontal), u"  天頂距:", angle(part.zenith));
      append(report, u"  斜距:", coordinate(part.firstDistance, u"####0.000"));
      break;
    default:
      break;
  }
  if (tail.hasNextPoint) {
    report += u"\r\nSS 點號:";
    report += mendedAligned(tail.nextPoint);
  }
}

bool isObservationKind(QChar kind) {
  return kind == u'<' || kind == u'?' || kind == u'R' || kind == u'*' || kind == u'U' || kind == u'W';
}

}  // namespace

ObservationReportConversion::ObservationReportConversion(Messages& messages, TextSink& sink)
    : report_(sink),
      tokens_(messages, [this] { return report_.seen(); },
              [this](const QString& token, qsizetype line) { add(token, line); }) {
  report_.watch(QChar(4));  // EOT
}

void ObservationReportConversion::add(const QString& token, qsizetype line) {
  if (token.isEmpty()) return;
  if (token[0] == u'\'') {
    appendStation(report_, token, line);
  } else if (isObservationKind(token[0])) {
    appendObservation(report_, token, line);
  }
}

void ObservationReportConversion::finish() {
  tokens_.finish();
  report_.flush();
}

QString cMeas(QStringView workspace, Messages& messages) {
  return convertWhole<ObservationReportConversion>(workspace, messages);
}

}  // namespace korvane::convert::total_station
