#include "convert/level/dl100c_fields.h"

#include <algorithm>

namespace korvane::convert::level {

qsizetype nextFieldSpan(QStringView line, qsizetype position) {
  // Characters before position 1 do not exist; the scan starts at the first real one but still
  // counts from `position`, as a scan of empty characters would.
  const qsizetype start = std::max<qsizetype>(position, 1);
  if (start <= line.size()) {
    const qsizetype comma = line.indexOf(u',', start - 1);
    if (comma >= 0) {
      const qsizetype count = comma + 1 - position + 1;
      // The count stops growing once it exceeds the line length, comma or not.
      if (count <= line.size()) return count;
    }
  }
  return line.size() + 1;
}

QStringView charactersAt(QStringView line, qsizetype position, qsizetype count) {
  const qsizetype begin = std::clamp<qsizetype>(position - 1, 0, line.size());
  const qsizetype end = std::clamp<qsizetype>(position - 1 + std::max<qsizetype>(count, 0), begin, line.size());
  return line.sliced(begin, end - begin);
}

QStringView FieldWalk::next() {
  const qsizetype start = commaPosition_ + 1;
  spanCount_ = nextFieldSpan(line_, start);
  commaPosition_ += spanCount_;
  return charactersAt(line_, start, spanCount_ - 1);
}

RecordFields scanRecordFields(QStringView line) {
  RecordFields fields;
  FieldWalk walk(line);
  for (QStringView& field : fields) field = walk.next();
  return fields;
}

}  // namespace korvane::convert::level
