#pragma once
// DL-100C records as a levelling crew downloads them from the digital level: one record per
// line, lines ending with CR LF, the data ending with the End-of-data line "Z,&," + CR LF.
//
// One reader serves every DL-100C command: the levelling report, the workbook and the import
// into the adjustment database. It walks the text once, front to back, and hands out one parsed
// record at a time, so a command can act on each record as it is met and keep what it did before
// a failure.

#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

#include "convert/level/dl100c_fields.h"

namespace korvane::convert::level {

// The record kinds the DL-100C commands act on (case matters: 'A' and 'a' differ).
namespace kind {
inline constexpr char16_t kHeader = u'A';            // "A,01,Z,": produces nothing
inline constexpr char16_t kLineStart = u'b';         // start of a levelling line
inline constexpr char16_t kLineStartCompact = u'c';  // start of a levelling line, other layout
inline constexpr char16_t kBacksight = u'g';
inline constexpr char16_t kBacksightWithHeight = u'h';
inline constexpr char16_t kForesightWithHeight = u'i';
inline constexpr char16_t kForesight = u'j';
inline constexpr char16_t kIntermediateSight = u'k';
inline constexpr char16_t kTurningPoint = u'v';      // end of a section
inline constexpr char16_t kEndPoint = u'w';          // end of the levelling line
inline constexpr char16_t kBreak = u't';             // an empty line in the report
}  // namespace kind

// The numbers of a record as the instrument writes them, turned into metres.
struct Scaling {
  int unitDivisor = 10;  // the Main window's `UnitDivisor`
  // Staff readings, heights and height differences: units of 0.00001 m.
  double reading(double value) const { return value / 10000 / unitDivisor; }
  // Distances: millimetres.
  double distance(double value) const { return value / 100 / unitDivisor; }
};

// "b" and "c": the start of a levelling line.
struct LineStart {
  QStringView job;          // f1
  QStringView startPoint;   // "b": f2; "c": cut from the characters before the first "+"
  double knownHeight = 0;   // "b": f3; "c": the number after the first "+" (reading scaling)
};

// "g" to "k": a staff sighting.
struct Sight {
  QStringView pointName;  // f6, as it stands (blanks included)
  double reading = 0;     // f1 (reading scaling)
  double distance = 0;    // f2 (distance scaling)
  double height = 0;      // f3 (reading scaling)
};

// "v" and "w": the end of a section (a turning point, or the end point of the line).
struct SectionEnd {
  QStringView pointName;          // f2, as it stands
  double heightDifference = 0;    // f4 (reading scaling): height difference of the section
  double sectionDistance = 0;     // f6 (distance scaling)
  double accumulatedDistance = 0; // f7 (distance scaling)
  double height = 0;              // f8 (reading scaling)
};

// One record line, parsed. The views point into the text given to the RecordReader, which must
// outlive them.
struct Record {
  qsizetype lineNumber = 0;  // counted from 1 in the text without its leading blanks
  QStringView line;          // without its CR LF
  char16_t kind = 0;         // the first character; 0 for an empty line
  // Positions 3-4 (empty for kind "A", which has no status) and the status line it reports:
  // "Operation Error", "Evaluation Error", "Read Error", or empty.
  QStringView statusCode;
  QStringView statusLine;
  // f1 to f8 as the field scan finds them (index 0 holds f1); all empty for kind "A".
  RecordFields fields;

  LineStart lineStart;    // kinds "b" and "c"
  Sight sight;            // kinds "g" to "k"
  SectionEnd sectionEnd;  // kinds "v" and "w"

  bool isLineStart() const { return kind == kind::kLineStart || kind == kind::kLineStartCompact; }
  bool isSight() const { return kind >= kind::kBacksight && kind <= kind::kIntermediateSight; }
  bool isSectionEnd() const { return kind == kind::kTurningPoint || kind == kind::kEndPoint; }
  // A record that puts levelling values into a report: a line start, a sighting or a section end.
  bool isLevelling() const { return isLineStart() || isSight() || isSectionEnd(); }
  bool hasStatusLine() const { return !statusLine.isEmpty(); }
};

// The status line a record's status code reports ("F8", "E7", "57": "Operation Error"; "I7":
// "Evaluation Error"; "=7": "Read Error"), or empty for any other code.
QStringView statusLineOf(QStringView statusCode);

// The start point and known height of a "c" record, cut around the first "+" of the line.
// Throws Failure when the line has no "+", its "+" stands before position 10, or no comma
// follows it.
LineStart compactLineStart(QStringView line, const Scaling& scaling, qsizetype lineNumber);

// One record line (without its CR LF) parsed; `lineNumber` counted from 1. Throws for a "c"
// record that cannot be cut and for a number no report can show.
Record parseRecord(QStringView line, qsizetype lineNumber, const Scaling& scaling);

// Reads the records of a DL-100C text in order.
class RecordReader {
 public:
  // `text` is the workspace text as it stands; leading and trailing blanks are not read.
  RecordReader(QStringView text, Scaling scaling);
  // The records point into the text: it must outlive the reader and its records.
  RecordReader(QString&& text, Scaling scaling) = delete;

  // The next record, or nothing once the End-of-data line is met (nothing after it is read).
  // Throws Failure when the text runs out of CR LF before the End-of-data line, and for a "c"
  // record whose start point and known height cannot be cut; text::NumberFieldFailure, naming
  // the line and the field, for a number no report can show (not finite, or too large).
  std::optional<Record> next();

  // The line number of the record next() reads next, counted from 1.
  qsizetype nextLineNumber() const { return lineNumber_ + 1; }

 private:
  QStringView text_;
  qsizetype position_ = 0;
  qsizetype lineNumber_ = 0;
  Scaling scaling_;
  bool ended_ = false;
};

// Reads the records of a DL-100C text that arrives in pieces, as RecordReader reads the whole
// text: each record is handed on as soon as its line is complete.
class RecordStream {
 public:
  RecordStream(Scaling scaling, std::function<void(const Record& record)> handle);

  // Hands on every record the piece completes; nothing after the End-of-data line is read.
  // Throws as RecordReader::next().
  void read(QStringView piece);
  // The text has ended: throws Failure when it did so before the End-of-data line.
  void finish();
  // Whether a levelling record (Record::isLevelling) has been handed on.
  bool metLevellingRecords() const { return metLevelling_; }

 private:
  Scaling scaling_;
  std::function<void(const Record& record)> handle_;
  QString pending_;  // an unfinished line
  qsizetype lineNumber_ = 0;
  bool started_ = false;  // the leading blanks of the text are behind
  bool ended_ = false;
  bool metLevelling_ = false;
};

}  // namespace korvane::convert::level
