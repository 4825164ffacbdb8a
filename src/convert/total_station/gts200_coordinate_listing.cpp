#include "convert/total_station/gts200_coordinate_listing.h"

#include <algorithm>

#include "common/failure.h"
#include "convert/total_station/block_break.h"
#include "text/number_field.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::total_station {
namespace {

QString misplacedBreak(qsizetype position) {
  return QStringLiteral("區塊分隔不完整：第 %1 字元的 ETX CR LF 之前不足四個字元").arg(position);
}

QString excerpt(QStringView text, qsizetype from) { return text.sliced(from).first(std::min<qsizetype>(20, text.size() - from)).toString(); }

const char16_t kTagLetters[] = {u'x', u'y', u'z'};

}  // namespace

// The next occurrence of one character at or after a position within the part of the text read
// so far; each character looked at once however often it is asked for.
class CoordinateListingConversion::NextOccurrence {
 public:
  explicit NextOccurrence(QChar wanted) : wanted_(wanted) {}
  // -1 when the character does not occur from `position` up to `limit`.
  qsizetype from(QStringView text, qsizetype position, qsizetype limit) {
    qsizetype start = position;
    if (position >= from_) {
      // Nothing from from_ up to found_ (or up to scanned_ when none was found).
      if (found_ >= position && found_ < limit) return found_;
      if (found_ < 0) start = std::max(position, scanned_);
    }
    const qsizetype at = start < limit ? text.first(limit).indexOf(wanted_, start) : -1;
    from_ = position;
    found_ = at;
    scanned_ = at >= 0 ? at : std::max(start, limit);
    return at;
  }
  // The text lost its first `count` characters.
  void shift(qsizetype count) {
    if (found_ >= 0 && found_ < count) {
      from_ = found_ = -1;
      scanned_ = 0;
      return;
    }
    from_ = std::max<qsizetype>(0, from_ - count);
    if (found_ >= 0) found_ -= count;
    scanned_ = std::max<qsizetype>(0, scanned_ - count);
  }

 private:
  QChar wanted_;
  qsizetype from_ = 0;    // the position the last search started from
  qsizetype found_ = -1;
  qsizetype scanned_ = 0;
};

CoordinateListingConversion::CoordinateListingConversion(PlaneOrder order, TextSink& sink)
    : order_(order),
      listing_(sink),
      plus_(std::make_unique<NextOccurrence>(u'+')),
      underscore_(std::make_unique<NextOccurrence>(u'_')) {
  for (const char16_t letter : kTagLetters) tags_.push_back(std::make_unique<NextOccurrence>(letter));
}

CoordinateListingConversion::~CoordinateListingConversion() = default;

void CoordinateListingConversion::read(QStringView piece) {
  removeBreaks(piece, false);
  listRecords(false);
}

void CoordinateListingConversion::finish() {
  removeBreaks({}, true);
  listRecords(true);
  listing_.chopLineBreak();
  listing_.flush();
}

// Each break is removed as soon as its marker is complete, so the kept text never holds a
// marker, and the first marker of the text as it stands is always the one just completed. A break
// is removed only when at least two characters follow its LF; one that ends the text stays.
void CoordinateListingConversion::removeBreaks(QStringView piece, bool end) {
  if (breaksDone_) {
    kept_ += piece;
    return;
  }
  raw_ += piece;
  qsizetype at = 0;
  while (true) {
    if (markerComplete_) {
      const qsizetype following = raw_.size() - at;
      if (following < 2 && !end) break;  // the next piece decides
      markerComplete_ = false;
      if (following < 2) {
        // The break ends the text: it stays.
        kept_ += QStringView(raw_).sliced(at);
        at = raw_.size();
        breaksDone_ = true;
        break;
      }
      const qsizetype markerPosition = keptBefore_ + kept_.size() - 2;  // counted from 1
      if (markerPosition <= kBlockBreakLead) throw Failure(misplacedBreak(markerPosition));
      kept_.chop(kBlockBreakLength - 1);
      removedBreaks_.push_back(keptBefore_ + kept_.size());
      ++at;  // the character after the LF
      continue;
    }
    if (at >= raw_.size()) break;
    kept_ += raw_[at++];
    if (kept_.endsWith(kBlockBreakMarker)) markerComplete_ = true;
  }
  raw_.remove(0, at);
}

// The line of the workspace on which a position of the kept text stands: the line feeds before
// it, and one for each break removed before it.
qsizetype CoordinateListingConversion::workspaceLine(qsizetype position) const {
  const qsizetype global = keptBefore_ + position;
  const auto breaks = std::count_if(removedBreaks_.begin(), removedBreaks_.end(), [&](qsizetype at) { return at <= global; });
  return linesBefore_ + QStringView(kept_).first(position).count(u'\n') + 1 + breaks;
}

void CoordinateListingConversion::listRecords(bool end) {
  const QStringView text(kept_);
  // Characters a break still to come could take away are not read yet.
  const qsizetype limit = end ? text.size() : std::max<qsizetype>(0, text.size() - kBlockBreakLength + 1);
  qsizetype next = 0;  // where the next record is looked for
  while (true) {
    const qsizetype plus = plus_->from(text, next, limit);
    if (plus < 0) {
      next = limit;
      break;
    }
    metRecords_ = true;
    qsizetype position = plus + 1;
    const qsizetype nameEnd = underscore_->from(text, position, limit);
    if (nameEnd < 0) {
      if (!end) break;  // the record goes on in the next piece
      throw Failure(QStringLiteral("座標資料不完整：「+%1」之後的點號沒有結尾的「_」").arg(excerpt(text, position)));
    }
    QString name = text::trimSpaces(text.sliced(position, nameEnd - position));
    position = nameEnd + 1;
    double values[3];
    bool complete = true;
    for (int tag = 0; tag < 3 && complete; ++tag) {
      const qsizetype tagAt = tags_[tag]->from(text, position, limit);
      if (tagAt < 0 && !end) {
        complete = false;  // the letter may still come
        break;
      }
      if (tagAt >= 0) position = tagAt + 1;
      const qsizetype valueEnd = underscore_->from(text, position, limit);
      if (valueEnd < 0) {
        if (!end) {
          complete = false;
          break;
        }
        name = text::trimSpaces(StripBlockBreakAligned(name));
        throw Failure(QStringLiteral("座標資料不完整：點號 %1 的 %2 值「%3」沒有結尾的「_」")
                          .arg(name, QChar(kTagLetters[tag]), excerpt(text, position)));
      }
      const QStringView field = text.sliced(position, valueEnd - position);
      values[tag] = text::numericValue(field) / 1000;
      if (!text::isUsableNumber(values[tag])) {
        name = text::trimSpaces(StripBlockBreakAligned(name));
        text::usableNumber(values[tag], workspaceLine(position), QStringLiteral("點號 %1 的 %2 值").arg(name, QChar(kTagLetters[tag])),
                           field);
      }
      position = valueEnd + 1;
    }
    if (!complete) {
      next = plus;  // read again from its "+" when more has come
      break;
    }
    name = text::trimSpaces(StripBlockBreakAligned(name));
    const double first = order_ == PlaneOrder::XThenY ? values[0] : values[1];
    const double second = order_ == PlaneOrder::XThenY ? values[1] : values[0];
    listing_ += name;
    for (const double value : {first, second, values[2]}) {
      listing_ += u',';
      listing_ += text::formatNumber(value, u"#######0.000");
    }
    listing_ += u"\r\n";
    next = position;
  }
  // What lies before `next` is read for good; so are the breaks removed before it.
  linesBefore_ += text.first(next).count(u'\n');
  keptBefore_ += next;
  while (!removedBreaks_.empty() && removedBreaks_.front() <= keptBefore_) {
    removedBreaks_.pop_front();
    ++linesBefore_;
  }
  kept_.remove(0, next);
  plus_->shift(next);
  underscore_->shift(next);
  for (const auto& tag : tags_) tag->shift(next);
}

QString removeBlockBreaks(QStringView data) {
  StringSink unused;
  CoordinateListingConversion listing(PlaneOrder::XThenY, unused);
  listing.removeBreaks(data, true);
  return listing.kept_;
}

QString cCoord(QStringView workspace) { return convertWhole<CoordinateListingConversion>(workspace, PlaneOrder::XThenY); }

QString cCoord1(QStringView workspace) { return convertWhole<CoordinateListingConversion>(workspace, PlaneOrder::YThenX); }

}  // namespace korvane::convert::total_station
