#include "convert/total_station/gts200_records.h"

#include "common/failure.h"
#include "convert/total_station/block_break.h"
#include "convert/total_station/field_text.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::total_station {
namespace {

constexpr QChar kEot = QChar(4);

QStringView withoutLeadingSpaces(QStringView text) {
  qsizetype start = 0;
  while (start < text.size() && text[start] == u' ') ++start;
  return text.sliced(start);
}

// The record tokens of the data, cut one after another without copying the data.
class TokenCutter {
 public:
  // Spaces at the end of the text stay: the last one closes the last record, which would be
  // lost without it; any further ones only give blank tokens.
  explicit TokenCutter(QStringView workspace) : data_(withoutLeadingSpaces(workspace)) {
    const qsizetype underscore = data_.indexOf(u'_');
    if (underscore >= 0) data_ = data_.sliced(underscore + 1);
  }

  // The next token: up to and including the next space; empty when no space is left. A station
  // record glued to the token (its apostrophe at the token's third character or later) is left
  // for the next token, and the token is read as if it ended there with the space it lacks, so
  // that its fields closed by "_ " (next point, target height) are not lost.
  QString next() {
    const qsizetype space = data_.indexOf(u' ', position_);
    if (space < 0) return {};
    QStringView token = data_.sliced(position_, space + 1 - position_);
    const qsizetype apostrophe = token.indexOf(u'\'');
    if (apostrophe >= 2) {
      position_ += apostrophe;
      return token.first(apostrophe).toString() + u' ';
    }
    position_ = space + 1;
    return token.toString();
  }

 private:
  QStringView data_;
  qsizetype position_ = 0;
};

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

double valueOf(QStringView token, qsizetype first, qsizetype last, double divisor) {
  return text::numericValue(columns(token, first, last)) / divisor;
}

// A fine-coordinate field: the division of the field text itself; empty when it is no number.
std::optional<double> fineValueOf(QStringView token, qsizetype first, qsizetype last, double divisor) {
  const std::optional<double> value = wholeNumber(columns(token, first, last));
  if (!value) return std::nullopt;
  return *value / divisor;
}

}  // namespace

void forEachGts200Record(QStringView workspace, Messages& messages, const QString& report,
                         const std::function<void(const QString& token)>& handle) {
  TokenCutter tokens(workspace);
  qsizetype reportChecked = 0;
  bool reportHasEot = false;
  QString token;
  do {
    token = tokens.next();
    if (!reportHasEot) {
      reportHasEot = report.indexOf(kEot, reportChecked) >= 0;
      reportChecked = report.size();
    }
    if (reportHasEot) messages.plain(token);
    try {
      StripBlockBreak(token);
    } catch (const Failure&) {
      // The token goes on as it stands.
    }
    handle(token);
  } while (!token.isEmpty());
}

bool holdsGts200Records(QStringView workspace) {
  TokenCutter tokens(workspace);
  for (QString token = tokens.next(); !token.isEmpty(); token = tokens.next()) {
    try {
      StripBlockBreak(token);
    } catch (const Failure&) {
      // Read as it stands, as the reports read it.
    }
    if (!token.isEmpty() && QStringView(u"'<?R*UW").contains(token[0])) return true;
  }
  return false;
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

FixedPart readFixedPart(QStringView token) {
  FixedPart part;
  if (token.isEmpty()) return part;
  switch (token[0].unicode()) {
    case u'<':
      part.zenith = valueOf(token, 2, 8, 10000);
      part.horizontal = valueOf(token, 10, 16, 10000);
      part.angleCode = columns(token, 18, 21).toString();
      break;
    case u'?':
    case u'R':
      part.firstDistance = valueOf(token, 2, 10, 1000);
      part.zenith = valueOf(token, 12, 18, 10000);
      part.horizontal = valueOf(token, 20, 26, 10000);
      part.secondDistance = valueOf(token, 29, 36, 1000);
      break;
    case u'*':
      part.firstDistance = valueOf(token, 2, 11, 10000);
      part.zenith = valueOf(token, 13, 20, 100000);
      part.horizontal = valueOf(token, 22, 29, 100000);
      part.secondDistance = valueOf(token, 32, 40, 10000);
      break;
    case u'U':
      part.north = valueOf(token, 2, 10, 1);
      part.east = valueOf(token, 11, 19, 1);
      part.height = valueOf(token, 20, 28, 1);
      part.coordinateCode = columns(token, 31, 37).toString();
      break;
    case u'W':
      part.firstDistance = fineValueOf(token, 2, 11, 10000);
      part.zenith = fineValueOf(token, 13, 20, 100000);
      part.horizontal = fineValueOf(token, 22, 29, 100000);
      part.north = fineValueOf(token, 31, 41, 10000);
      part.east = fineValueOf(token, 42, 52, 10000);
      part.height = fineValueOf(token, 53, 63, 10000);
      break;
    default:
      break;
  }
  return part;
}

}  // namespace korvane::convert::total_station
