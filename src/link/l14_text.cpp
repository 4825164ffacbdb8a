#include "link/l14_text.h"

#include <QStringList>

#include "common/failure.h"
#include "text/spaces.h"

namespace korvane::link {

QString convertL14Text(const QString& workspace, const QString& folder, const std::function<void()>& yieldToEvents) {
  return convert::convertWhole<L14Conversion>(workspace, folder, yieldToEvents);
}

L14Conversion::L14Conversion(const QString& folder, std::function<void()> yieldToEvents, convert::TextSink& sink)
    : scratch_(folder), yieldToEvents_(std::move(yieldToEvents)), result_(sink) {}

void L14Conversion::read(QStringView piece) {
  // The scratch file gets the whole text even when a line fails, as before any conversion.
  scratch_.write(piece);
  if (failure_) return;
  try {
    readLines(piece);
  } catch (const Failure&) {
    failure_ = std::current_exception();
  }
}

void L14Conversion::readLines(QStringView piece) {
  qsizetype start = 0;
  if (skipLf_ && !piece.isEmpty()) {
    if (piece[0] == u'\n') start = 1;
    skipLf_ = false;
  }
  while (start < piece.size()) {
    const qsizetype end = piece.indexOf(u'\r', start);
    if (end < 0) {
      pending_ += piece.sliced(start);  // the line goes on in the next piece
      return;
    }
    if (pending_.isEmpty()) {
      addLine(piece.sliced(start, end - start));
    } else {
      pending_ += piece.sliced(start, end - start);
      addLine(pending_);
      pending_.clear();
    }
    if (end + 1 == piece.size()) skipLf_ = true;
    start = end + 1 < piece.size() && piece[end + 1] == u'\n' ? end + 2 : end + 1;
  }
}

void L14Conversion::addLine(QStringView line) {
  ++number_;
  if (yieldToEvents_) yieldToEvents_();
  if (pageHeading_ != 0) {
    // The line after a page heading is converted in its place, blank or not.
    pageHeading_ = 0;
    convertLine(line, number_);
    return;
  }
  if (text::trimSpacesView(line).isEmpty()) {
    // A fault only when a line with points follows.
    if (firstBlank_ == 0) firstBlank_ = number_;
    return;
  }
  if (firstBlank_ != 0) throw Failure(QStringLiteral("第 %1 行是空行").arg(firstBlank_));
  if (line.startsWith(u"PAGE")) {
    pageHeading_ = number_;
    return;
  }
  convertLine(line, number_);
}

void L14Conversion::convertLine(QStringView line, qsizetype number) {
  const QStringList fields = text::trimSpaces(line).split(u' ', Qt::SkipEmptyParts);
  if (fields.isEmpty()) throw Failure(QStringLiteral("第 %1 行是空行").arg(number));
  if (fields.size() % 3 != 0) {
    throw Failure(QStringLiteral("第 %1 行的欄位數 %2 不是 3 的倍數（點名 第一座標 第二座標）").arg(number).arg(fields.size()));
  }
  for (qsizetype f = 0; f < fields.size(); f += 3) {
    result_ += fields[f];
    result_ += u',';
    result_ += fields[f + 2];
    result_ += u',';
    result_ += fields[f + 1];
    result_ += u",0\r\n";
  }
}

void L14Conversion::finish() {
  scratch_.commit();
  if (failure_) std::rethrow_exception(failure_);
  if (!pending_.isEmpty()) {
    const QString last = std::move(pending_);
    pending_.clear();
    addLine(last);
  }
  if (pageHeading_ != 0) throw Failure(QStringLiteral("第 %1 行：PAGE 之後沒有資料").arg(pageHeading_));
  if (result_.isEmpty()) throw Failure(QStringLiteral("沒有可轉換的地政L14資料"));
  result_.chopLast();
  result_.flush();
}

}  // namespace korvane::link
