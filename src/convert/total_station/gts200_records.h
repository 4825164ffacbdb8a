#pragma once
// GTS-200 series raw observation data, as the observation reports read it.
//
// After a preamble that runs up to the first underscore, the data is a sequence of record tokens,
// each ended by one space. The first character of a token is its kind:
//   "'" station record:  ' station _( identifier _) instrument height _+ backsight _
//   "<" angle, "?" slope distance, "R" horizontal distance, "*" fine horizontal distance,
//   "U" coordinate, "W" fine coordinate: a fixed part at fixed character positions, then the
//   tail _* point code _, target height [_+ next-point number] _
// A station record glued to the record before it (no space between them) is read as a token of
// its own. Block breaks may stand anywhere, also inside a token.

#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

#include "common/messages.h"
#include "convert/text_stream.h"

namespace korvane::convert::total_station {

// Reads the record tokens of data that arrives in pieces, one after another, and hands each to
// `handle`, mended of its first block break (StripBlockBreak; a token whose break cannot be
// mended is handed on as it stands). Two spaces in a row, or a block break standing alone
// between two records, give a blank token. The text after the last space is no record; at the
// end an empty token is handed on.
//
// Once `reportHasEot` tells that the report `handle` builds holds an EOT character, every later
// token is first shown in a plain message box. `handle` also gets the line of the data on which
// the token starts (counted from 1), for the messages that name it.
class Gts200Tokens {
 public:
  Gts200Tokens(Messages& messages, std::function<bool()> reportHasEot,
               std::function<void(const QString& token, qsizetype line)> handle);
  void read(QStringView piece);
  void finish();
  // Whether a station or observation record has been handed on: a token whose kind is one of
  // "'", "<", "?", "R", "*", "U", "W", with something after the mark.
  bool metRecords() const { return metRecords_; }

 private:
  void cutTokens();
  void pass(QString token, qsizetype line);

  Messages& messages_;
  std::function<bool()> reportHasEot_;
  std::function<void(const QString& token, qsizetype line)> handle_;
  QString pending_;            // data not cut into tokens yet
  bool started_ = false;       // the leading spaces are behind
  bool inData_ = false;        // the preamble (up to the first underscore) is behind
  qsizetype line_ = 1;         // of the start of pending_
  bool metRecords_ = false;
};

// A text field mended of its first block break and right-aligned in ten characters; the field as
// it stands when the break cannot be mended.
QString mendedAligned(QString field);
// A text field mended of its first block break, without its leading and trailing spaces.
QString mendedTrimmed(QString field);

// The text fields of a station record, as cut at their separators (not mended).
struct StationFields {
  QString station;
  QString identifier;
  QString instrumentHeight;
  QString backsight;
};
StationFields cutStationFields(QStringView token);

// The text fields of an observation record's tail, as cut at their separators (not mended).
struct ObservationTail {
  QString pointCode;
  QString targetHeight;
  QString nextPoint;
  // The record names the point of the following observation ("_+").
  bool hasNextPoint = false;
};
ObservationTail cutObservationTail(QStringView token);

// The values of an observation record's fixed part; a value the record's kind does not carry,
// or a fine-coordinate field that is not a number, is empty. A value no report can show (not
// finite, or too large) throws text::NumberFieldFailure naming `line` and the field.
struct FixedPart {
  std::optional<double> zenith;
  std::optional<double> horizontal;
  // The distance at the start of the fixed part: slope ("?", "W") or horizontal ("R", "*").
  std::optional<double> firstDistance;
  // The other distance, further on: horizontal ("?") or slope ("R", "*").
  std::optional<double> secondDistance;
  std::optional<double> north;
  std::optional<double> east;
  std::optional<double> height;
  // Characters 18-21 of an angle record.
  QString angleCode;
  // Characters 31-37 of a coordinate record.
  QString coordinateCode;
};
FixedPart readFixedPart(QStringView token, qsizetype line);

}  // namespace korvane::convert::total_station
