#pragma once
// The lines of a printout that arrives in pieces.

#include <QString>
#include <QStringView>
#include <functional>

namespace korvane::convert::total_station {

// The lines of a text that arrives in pieces, as forEachLine cuts the whole text: each line is
// handed on as soon as its line break has come.
class LineSplitter {
 public:
  LineSplitter(std::function<void()> yieldToEvents, std::function<void(QStringView line, qsizetype number)> handle);
  void read(QStringView piece);
  // The text has ended: a last line without a line break is handed on.
  void finish();

 private:
  std::function<void()> yieldToEvents_;
  std::function<void(QStringView line, qsizetype number)> handle_;
  QString pending_;        // a line whose break has not come yet
  bool skipLf_ = false;    // a CR ended the last line: an LF right after it belongs to that break
  qsizetype number_ = 0;
};

}  // namespace korvane::convert::total_station
