#include "convert/total_station/block_break.h"

#include "common/failure.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::total_station {

bool mendBlockBreak(QString& text) {
  const qsizetype marker = text.indexOf(kBlockBreakMarker);
  if (marker < 0) return false;
  if (marker < kBlockBreakLead) {
    throw Failure(QStringLiteral("區塊分隔不完整：第 %1 字元的 ETX CR LF 之前不足四個字元").arg(marker + 1));
  }
  const QStringView whole(text);
  QString mended = text::trimSpaces(whole.first(marker - kBlockBreakLead));
  const qsizetype rightStart = marker + kBlockBreakMarker.size() + 1;
  if (rightStart < whole.size()) mended += text::trimSpacesView(whole.sliced(rightStart));
  text = std::move(mended);
  return true;
}

QString StripBlockBreakAligned(QString& text) {
  mendBlockBreak(text);
  return text::formatText(text, u"@@@@@@@@@@");
}

QString StripBlockBreak(QString& text) {
  if (mendBlockBreak(text)) text += u' ';
  return text;
}

}  // namespace korvane::convert::total_station
