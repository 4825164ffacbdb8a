#include "convert/total_station/gts200_coordinate_listing.h"

#include "common/failure.h"
#include "convert/total_station/block_break.h"
#include "text/number_field.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::total_station {
namespace {

enum class PlaneOrder { XThenY, YThenX };

QString misplacedBreak(qsizetype position) {
  return QStringLiteral("區塊分隔不完整：第 %1 字元的 ETX CR LF 之前不足四個字元").arg(position);
}

// The next occurrence of one character at or after a position, each character of the text looked
// at once however often it is asked for.
class NextOccurrence {
 public:
  NextOccurrence(QStringView text, QChar wanted) : text_(text), wanted_(wanted) {}
  qsizetype from(qsizetype position) {
    if (found_ != -1 && found_ < position) found_ = text_.indexOf(wanted_, position);
    return found_;
  }

 private:
  QStringView text_;
  QChar wanted_;
  qsizetype found_ = -2;  // not looked for yet; -1: none from there on
};

// Removes the block breaks of `data` as removeBlockBreaks tells, calling `removed` with the
// position in the kept text at which each break was taken out.
template <typename Removed>
QString keptWithoutBreaks(QStringView data, Removed removed) {
  // Each break is removed as soon as its marker is complete, so the kept text never holds a
  // marker, and the first marker of the text as it stands is always the one just completed.
  QString kept;
  kept.reserve(data.size());
  const qsizetype size = data.size();
  for (qsizetype i = 0; i < size; ++i) {
    kept += data[i];
    if (!kept.endsWith(kBlockBreakMarker)) continue;
    const qsizetype markerPosition = kept.size() - 2;  // counted from 1
    const qsizetype following = size - i - 1;
    if (following < 2) {
      // The break ends the text: it stays.
      kept += data.sliced(i + 1);
      break;
    }
    if (markerPosition <= kBlockBreakLead) throw Failure(misplacedBreak(markerPosition));
    kept.chop(kBlockBreakLength - 1);
    removed(kept.size());
    ++i;  // the character after the LF
  }
  return kept;
}

// The line of the workspace on which a position of the text without breaks stands: the line
// feeds before it, and one for each break removed before it. Only for messages: the breaks are
// removed once more to count them.
qsizetype workspaceLine(QStringView workspace, QStringView kept, qsizetype position) {
  qsizetype breaks = 0;
  keptWithoutBreaks(workspace, [&](qsizetype at) { breaks += at <= position ? 1 : 0; });
  return text::lineAt(kept, position) + breaks;
}

QString excerpt(QStringView text, qsizetype from) { return text.sliced(from).first(std::min<qsizetype>(20, text.size() - from)).toString(); }

QString listing(QStringView workspace, PlaneOrder order) {
  const QString data = removeBlockBreaks(workspace);
  const QStringView text(data);
  NextOccurrence tags[] = {{text, u'x'}, {text, u'y'}, {text, u'z'}};
  const char* const tagNames[] = {"x", "y", "z"};
  QString result;
  qsizetype position = 0;
  for (qsizetype plus = text.indexOf(u'+'); plus >= 0; plus = text.indexOf(u'+', position)) {
    position = plus + 1;
    const qsizetype nameEnd = text.indexOf(u'_', position);
    if (nameEnd < 0) {
      throw Failure(QStringLiteral("座標資料不完整：「+%1」之後的點號沒有結尾的「_」").arg(excerpt(text, position)));
    }
    QString name = text::trimSpaces(text.sliced(position, nameEnd - position));
    name = text::trimSpaces(StripBlockBreakAligned(name));
    position = nameEnd + 1;
    double values[3];
    for (int tag = 0; tag < 3; ++tag) {
      const qsizetype tagAt = tags[tag].from(position);
      if (tagAt >= 0) position = tagAt + 1;
      const qsizetype valueEnd = text.indexOf(u'_', position);
      if (valueEnd < 0) {
        throw Failure(QStringLiteral("座標資料不完整：點號 %1 的 %2 值「%3」沒有結尾的「_」")
                          .arg(name, QLatin1String(tagNames[tag]), excerpt(text, position)));
      }
      const QStringView field = text.sliced(position, valueEnd - position);
      values[tag] = text::numericValue(field) / 1000;
      if (!text::isUsableNumber(values[tag])) {
        text::usableNumber(values[tag], workspaceLine(workspace, text, position),
                           QStringLiteral("點號 %1 的 %2 值").arg(name, QLatin1String(tagNames[tag])), field);
      }
      position = valueEnd + 1;
    }
    const double first = order == PlaneOrder::XThenY ? values[0] : values[1];
    const double second = order == PlaneOrder::XThenY ? values[1] : values[0];
    result += name;
    for (const double value : {first, second, values[2]}) {
      result += u',';
      result += text::formatNumber(value, u"#######0.000");
    }
    result += u"\r\n";
  }
  if (result.endsWith(u"\r\n")) result.chop(2);
  return result;
}

}  // namespace

QString removeBlockBreaks(QStringView data) {
  return keptWithoutBreaks(data, [](qsizetype) {});
}

QString cCoord(QStringView workspace) { return listing(workspace, PlaneOrder::XThenY); }

QString cCoord1(QStringView workspace) { return listing(workspace, PlaneOrder::YThenX); }

}  // namespace korvane::convert::total_station
