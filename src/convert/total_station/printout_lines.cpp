#include "convert/total_station/printout_lines.h"

namespace korvane::convert::total_station {

LineSplitter::LineSplitter(std::function<void()> yieldToEvents,
                           std::function<void(QStringView line, qsizetype number)> handle)
    : yieldToEvents_(std::move(yieldToEvents)), handle_(std::move(handle)) {}

void LineSplitter::read(QStringView piece) {
  qsizetype start = 0;
  const qsizetype size = piece.size();
  if (skipLf_ && size > 0) {
    if (piece[0] == u'\n') start = 1;
    skipLf_ = false;
  }
  while (start < size) {
    qsizetype end = start;
    while (end < size && piece[end] != u'\r' && piece[end] != u'\n') ++end;
    if (end == size) {
      pending_ += piece.sliced(start);  // the line goes on in the next piece
      return;
    }
    if (yieldToEvents_) yieldToEvents_();
    if (pending_.isEmpty()) {
      handle_(piece.sliced(start, end - start), ++number_);
    } else {
      pending_ += piece.sliced(start, end - start);
      handle_(pending_, ++number_);
      pending_.clear();
    }
    if (piece[end] == u'\r') {
      if (end + 1 == size) {
        skipLf_ = true;
      } else if (piece[end + 1] == u'\n') {
        ++end;
      }
    }
    start = end + 1;
  }
}

void LineSplitter::finish() {
  if (pending_.isEmpty()) return;
  if (yieldToEvents_) yieldToEvents_();
  handle_(pending_, ++number_);
  pending_.clear();
}

}  // namespace korvane::convert::total_station
