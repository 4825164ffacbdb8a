#include "convert/level/level_report.h"

#include "text/number_text.h"

namespace korvane::convert::level {
namespace {

constexpr QStringView kLineEnd = u"\r\n";

QString distanceText(double value) { return text::formatNumber(value, u"###0.000"); }
QString readingText(double value) { return text::formatNumber(value, u"###0.00000"); }

// The longest blank run of the report is 19 characters.
constexpr QStringView kBlanks = u"                        ";

void appendBlanks(QString& report, qsizetype count) { report += kBlanks.first(count); }

void appendLineStart(const LineStart& start, QString& report) {
  report += u"  JOB:";
  report += start.job;
  report += u"     起始點:";
  report += start.startPoint;
  report += u"               已知高程:";
  report += readingText(start.knownHeight);
  report += kLineEnd;
  report += kLineEnd;
  report += u"點  號     距   離          標   尺   讀   數        高  程";
  report += kLineEnd;
  report += kLineEnd;
  report += u"        後 視   前 視     後 視   間 視   前 視";
  report += kLineEnd;
  report += kLineEnd;
}

// A sighting line: name, blanks, distance, blanks, reading, and for some kinds blanks and a height.
void appendSight(const Sight& sight, qsizetype blanksBeforeDistance, qsizetype blanksBeforeReading, QString& report) {
  report += sight.pointName;
  appendBlanks(report, blanksBeforeDistance);
  report += distanceText(sight.distance);
  appendBlanks(report, blanksBeforeReading);
  report += readingText(sight.reading);
}

void appendSectionEnd(const SectionEnd& end, QStringView caption, qsizetype blanksAfterName, QString& report) {
  report += kLineEnd;
  report += caption;
  report += end.pointName;
  appendBlanks(report, blanksAfterName);
  report += u"區間距離:";
  report += distanceText(end.sectionDistance);
  appendBlanks(report, 7);
  report += u"累計距離:";
  report += distanceText(end.accumulatedDistance);
  appendBlanks(report, 7);
  report += u"高程:";
  report += readingText(end.height);
  appendBlanks(report, 7);
  report += u"區間高程差:";
  report += readingText(end.heightDifference);
  report += kLineEnd;
}

}  // namespace

void appendReportLines(const Record& record, QString& report) {
  switch (record.kind) {
    case kind::kLineStart:
    case kind::kLineStartCompact:
      appendLineStart(record.lineStart, report);
      break;
    case kind::kBacksight:
      appendSight(record.sight, 4, 12, report);
      report += kLineEnd;
      break;
    case kind::kBacksightWithHeight:
      appendSight(record.sight, 4, 12, report);
      appendBlanks(report, 18);
      report += readingText(record.sight.height);
      report += kLineEnd;
      break;
    case kind::kForesightWithHeight:
      appendSight(record.sight, 14, 19, report);
      appendBlanks(report, 5);
      report += readingText(record.sight.height);
      report += kLineEnd;
      break;
    case kind::kForesight:
      appendSight(record.sight, 14, 19, report);
      appendBlanks(report, 5);
      report += kLineEnd;
      break;
    case kind::kIntermediateSight:
      appendSight(record.sight, 14, 12, report);
      report += kLineEnd;
      break;
    case kind::kTurningPoint:
      appendSectionEnd(record.sectionEnd, u"轉點:", 7, report);
      break;
    case kind::kEndPoint:
      appendSectionEnd(record.sectionEnd, u"結束點:", 5, report);
      break;
    case kind::kBreak:
      report += kLineEnd;
      break;
    default:
      break;
  }
  if (record.hasStatusLine()) {
    report += record.statusLine;
    report += kLineEnd;
  }
}

LevelReportConversion::LevelReportConversion(Scaling scaling, TextSink& sink)
    : report_(sink), records_(scaling, [this](const Record& record) {
        lines_.clear();
        appendReportLines(record, lines_);
        report_ += lines_;
      }) {}

void LevelReportConversion::finish() {
  records_.finish();
  report_.flush();
}

QString levelReport(QStringView text, Scaling scaling) { return convertWhole<LevelReportConversion>(text, scaling); }

}  // namespace korvane::convert::level
