#pragma once
// Text that arrives in pieces may split a surrogate pair between two of them, and an encoder
// takes whole characters only: the first half of a pair waits for its second half.

#include <QString>
#include <QStringView>
#include <utility>

namespace korvane::text {

class WholeCharacters {
 public:
  // What of the text so far can be encoded now: all but a first half of a pair at its end.
  QString take(QStringView text) {
    QString piece = std::exchange(held_, QString());
    piece += text;
    if (!piece.isEmpty() && piece.back().isHighSurrogate()) {
      held_ = piece.back();
      piece.chop(1);
    }
    return piece;
  }
  // What is still waiting once the text has ended.
  QString rest() { return std::exchange(held_, QString()); }
  void clear() { held_.clear(); }

 private:
  QString held_;
};

}  // namespace korvane::text
