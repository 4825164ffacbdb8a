#include "convert/total_station/gts200_records.h"

#include "common/failure.h"
#include "convert/total_station/block_break.h"
#include "convert/total_station/field_text.h"
#include "text/number_field.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::total_station {
namespace {

// 1-based position of the first occurrence of a separator; 0 when absent.
qsizetype positionOf(QStringView token, QStringView separator) { return token.indexOf(separator) + 1; }

// The field between two separators at 1-based positions (0 for an absent one): from two
// characters after the opening one to the character before the closing one; empty when that
// length comes out negative.
QString between(QStringView token, qsizetype openAt, qsizetype closeAt) {
  const qsizetype length = closeAt - openAt - 2;
  if (length < 0) return {};
  return charactersFrom(token, openAt + 2, length).toString();
}

// Reads the fields of one record's fixed part, each a value a report can show.
class FixedFields {
 public:
  FixedFields(QStringView token, qsizetype line) : token_(token), line_(line) {}

  double value(qsizetype first, qsizetype last, double divisor, QStringView name) const {
    const QStringView field = columns(token_, first, last);
    return reportValue(text::numericValue(field) / divisor, {line_, name}, field);
  }

  // A fine-coordinate field: the division of the field text itself; empty when it is no number.
  std::optional<double> fineValue(qsizetype first, qsizetype last, double divisor, QStringView name) const {
    const QStringView field = columns(token_, first, last);
    const std::optional<double> value = wholeNumber(field);
    if (!value) return std::nullopt;
    return reportValue(*value / divisor, {line_, name}, field);
  }

 private:
  QStringView token_;
  qsizetype line_;
};

}  // namespace

Gts200Tokens::Gts200Tokens(Messages& messages, std::function<bool()> reportHasEot,
                           std::function<void(const QString& token, qsizetype line)> handle)
    : messages_(messages), reportHasEot_(std::move(reportHasEot)), handle_(std::move(handle)) {}

void Gts200Tokens::read(QStringView piece) {
  if (!started_) {
    // Leading spaces are no data; they hold no line feed.
    while (!piece.isEmpty() && piece.front() == u' ') piece = piece.sliced(1);
    if (piece.isEmpty()) return;
    started_ = true;
  }
  pending_ += piece;
  if (!inData_) {
    // Everything up to the first underscore is preamble; data without any underscore has none,
    // which only its end can tell.
    const qsizetype underscore = pending_.indexOf(u'_');
    if (underscore < 0) return;
    line_ += QStringView(pending_).first(underscore).count(u'\n');
    pending_.remove(0, underscore + 1);
    inData_ = true;
  }
  cutTokens();
}

// A token runs up to and including the next space. A station record glued to the token (its
// apostrophe at the token's third character or later) is left for the next token, and the token
// is read as if it ended there with the space it lacks, so that its fields closed by "_ " (next
// point, target height) are not lost.
void Gts200Tokens::cutTokens() {
  const QStringView data(pending_);
  qsizetype position = 0;
  qsizetype counted = 0;  // the line feeds before this position are in line_
  while (true) {
    const qsizetype space = data.indexOf(u' ', position);
    if (space < 0) break;
    line_ += data.sliced(counted, position - counted).count(u'\n');
    counted = position;
    const QStringView token = data.sliced(position, space + 1 - position);
    const qsizetype apostrophe = token.indexOf(u'\'');
    if (apostrophe >= 2) {
      position += apostrophe;
      pass(token.first(apostrophe).toString() + u' ', line_);
    } else {
      position = space + 1;
      pass(token.toString(), line_);
    }
  }
  line_ += data.sliced(counted, position - counted).count(u'\n');
  pending_.remove(0, position);
}

void Gts200Tokens::pass(QString token, qsizetype line) {
  if (reportHasEot_()) messages_.plain(token);
  try {
    StripBlockBreak(token);
  } catch (const Failure&) {
    // The token goes on as it stands.
  }
  // A record mark with nothing after it (a bare "' ") carries no record.
  metRecords_ = metRecords_ || (!token.isEmpty() && QStringView(u"'<?R*UW").contains(token[0]) &&
                                !QStringView(token).sliced(1).trimmed().isEmpty());
  handle_(token, line);
}

void Gts200Tokens::finish() {
  inData_ = true;
  cutTokens();
  // The text after the last space is no record: the empty token ends the data.
  pass(QString(), line_ + QStringView(pending_).count(u'\n'));
  pending_.clear();
}

QString mendedAligned(QString field) {
  try {
    return StripBlockBreakAligned(field);
  } catch (const Failure&) {
    return field;
  }
}

QString mendedTrimmed(QString field) { return text::trimSpaces(mendedAligned(std::move(field))); }

StationFields cutStationFields(QStringView token) {
  const qsizetype open = positionOf(token, u"_(");
  const qsizetype close = positionOf(token, u"_)");
  const qsizetype next = positionOf(token, u"_+");
  const qsizetype end = positionOf(token, u"_ ");
  return {between(token, 0, open), between(token, open, close), between(token, close, next), between(token, next, end)};
}

ObservationTail cutObservationTail(QStringView token) {
  const qsizetype code = positionOf(token, u"_*");
  const qsizetype height = positionOf(token, u"_,");
  const qsizetype next = positionOf(token, u"_+");
  const qsizetype end = positionOf(token, u"_ ");
  ObservationTail tail;
  tail.pointCode = between(token, code, height);
  tail.hasNextPoint = next > 0;
  if (tail.hasNextPoint) {
    tail.targetHeight = between(token, height, next);
    tail.nextPoint = between(token, next, end);
  } else {
    // Up to the third-last character: the record closes with "_ ".
    tail.targetHeight = between(token, height, token.size() - 1);
  }
  return tail;
}

FixedPart readFixedPart(QStringView token, qsizetype line) {
  FixedPart part;
  if (token.isEmpty()) return part;
  const FixedFields f(token, line);
  // The slope-distance record starts with its slope distance, the others with the horizontal one.
  const bool slopeFirst = token[0] == u'?' || token[0] == u'W';
  const QStringView first = slopeFirst ? u"斜距" : u"平距";
  const QStringView second = slopeFirst ? u"平距" : u"斜距";
  switch (token[0].unicode()) {
    case u'<':
      part.zenith = f.value(2, 8, 10000, u"天頂距");
      part.horizontal = f.value(10, 16, 10000, u"水平角");
      part.angleCode = columns(token, 18, 21).toString();
      break;
    case u'?':
    case u'R':
      part.firstDistance = f.value(2, 10, 1000, first);
      part.zenith = f.value(12, 18, 10000, u"天頂距");
      part.horizontal = f.value(20, 26, 10000, u"水平角");
      part.secondDistance = f.value(29, 36, 1000, second);
      break;
    case u'*':
      part.firstDistance = f.value(2, 11, 10000, first);
      part.zenith = f.value(13, 20, 100000, u"天頂距");
      part.horizontal = f.value(22, 29, 100000, u"水平角");
      part.secondDistance = f.value(32, 40, 10000, second);
      break;
    case u'U':
      part.north = f.value(2, 10, 1, u"N");
      part.east = f.value(11, 19, 1, u"E");
      part.height = f.value(20, 28, 1, u"Z");
      part.coordinateCode = columns(token, 31, 37).toString();
      break;
    case u'W':
      part.firstDistance = f.fineValue(2, 11, 10000, first);
      part.zenith = f.fineValue(13, 20, 100000, u"天頂距");
      part.horizontal = f.fineValue(22, 29, 100000, u"水平角");
      part.north = f.fineValue(31, 41, 10000, u"N");
      part.east = f.fineValue(42, 52, 10000, u"E");
      part.height = f.fineValue(53, 63, 10000, u"Z");
      break;
    default:
      break;
  }
  return part;
}

}  // namespace korvane::convert::total_station
