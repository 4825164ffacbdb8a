#include "convert/level/dl100c_records.h"

#include "common/failure.h"
#include "text/number_field.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::level {
namespace {

constexpr QStringView kEndOfData = u"Z,&,\r\n";
constexpr QStringView kLineEnd = u"\r\n";

// A "c" record names its start point in the eight characters before the separator that stands
// just before the "+" of its known height.
constexpr qsizetype kStartPointWindow = 8;

// The value of a number field, scaled, as the report and the database take it; a value no
// report can show is refused naming the line and the field.
template <typename Scale>
double number(QStringView field, Scale scale, qsizetype line, QStringView name) {
  return text::usableNumber(scale(text::numericValue(field)), line, name, field);
}

// The record as a failure message quotes it: a long line is cut.
QString quoted(QStringView line) {
  constexpr qsizetype kShown = 60;
  return line.size() <= kShown ? line.toString() : line.first(kShown).toString() + QStringLiteral("…");
}

}  // namespace

QStringView statusLineOf(QStringView statusCode) {
  if (statusCode == u"F8" || statusCode == u"E7" || statusCode == u"57") return u"Operation Error";
  if (statusCode == u"I7") return u"Evaluation Error";
  if (statusCode == u"=7") return u"Read Error";
  return {};
}

LineStart compactLineStart(QStringView line, const Scaling& scaling, qsizetype lineNumber) {
  const qsizetype plus = line.indexOf(u'+');  // counted from 0
  if (plus < 0) {
    throw Failure(QStringLiteral("第 %1 行的 c 紀錄沒有「+」，找不到已知高程：%2").arg(lineNumber).arg(quoted(line)));
  }
  const qsizetype plusPosition = plus + 1;
  if (plusPosition < kStartPointWindow + 2) {
    throw Failure(QStringLiteral("第 %1 行的 c 紀錄的「+」在第 %2 個字元，前面放不下起始點名稱：%3")
                      .arg(lineNumber)
                      .arg(plusPosition)
                      .arg(quoted(line)));
  }
  const qsizetype comma = line.indexOf(u',', plus);
  if (comma < 0) {
    throw Failure(QStringLiteral("第 %1 行的 c 紀錄在「+」之後沒有逗號，已知高程沒有結尾：%2").arg(lineNumber).arg(quoted(line)));
  }

  LineStart start;
  start.knownHeight = number(line.sliced(plus + 1, comma - plus - 1), [&](double v) { return scaling.reading(v); },
                             lineNumber, u"已知高程");
  // The eight characters before the separator that precedes the "+". A field never holds a
  // comma, so whatever stands up to the last comma among them belongs to the field before; the
  // name is the rest, without its leading blanks. Digits are part of the name: numbered
  // benchmarks keep every digit.
  QStringView window = line.sliced(plus - 1 - kStartPointWindow, kStartPointWindow);
  if (const qsizetype lastComma = window.lastIndexOf(u','); lastComma >= 0) window = window.sliced(lastComma + 1);
  while (!window.isEmpty() && window.front() == u' ') window = window.sliced(1);
  start.startPoint = window;
  return start;
}

RecordReader::RecordReader(QStringView text, Scaling scaling) : text_(text::trimSpacesView(text)), scaling_(scaling) {}

std::optional<Record> RecordReader::next() {
  if (ended_) return std::nullopt;
  const QStringView remaining = text_.sliced(position_);
  if (remaining.startsWith(kEndOfData)) {
    ended_ = true;
    return std::nullopt;
  }
  const qsizetype lineEnd = text_.indexOf(kLineEnd, position_);
  if (lineEnd < 0) {
    throw Failure(QStringLiteral("資料在第 %1 行中斷：在資料結束列「Z,&,」(後接 CR LF) 之前已沒有完整的一行").arg(lineNumber_ + 1));
  }
  ++lineNumber_;
  const QStringView line = text_.sliced(position_, lineEnd - position_);
  position_ = lineEnd + kLineEnd.size();
  return parseRecord(line, lineNumber_, scaling_);
}

Record parseRecord(QStringView line, qsizetype lineNumber, const Scaling& scaling) {
  Record record;
  record.lineNumber = lineNumber;
  record.line = line;
  record.kind = line.isEmpty() ? char16_t(0) : line.front().unicode();
  if (record.kind == kind::kHeader) return record;

  record.statusCode = charactersAt(line, 3, 2);
  record.statusLine = statusLineOf(record.statusCode);
  record.fields = scanRecordFields(line);
  const RecordFields& f = record.fields;
  const auto reading = [&](int index, QStringView name) {
    return number(f[index], [&](double v) { return scaling.reading(v); }, lineNumber, name);
  };
  const auto distance = [&](int index, QStringView name) {
    return number(f[index], [&](double v) { return scaling.distance(v); }, lineNumber, name);
  };

  if (record.kind == kind::kLineStart) {
    record.lineStart = {f[0], f[1], reading(2, u"f3 已知高程")};
  } else if (record.kind == kind::kLineStartCompact) {
    record.lineStart = compactLineStart(line, scaling, lineNumber);
    record.lineStart.job = f[0];
  } else if (record.isSight()) {
    record.sight = {f[5], reading(0, u"f1 標尺讀數"), distance(1, u"f2 距離"), reading(2, u"f3 高程")};
  } else if (record.isSectionEnd()) {
    record.sectionEnd = {f[1], reading(3, u"f4 區間高程差"), distance(5, u"f6 區間距離"), distance(6, u"f7 累計距離"),
                         reading(7, u"f8 高程")};
  }
  return record;
}

RecordStream::RecordStream(Scaling scaling, std::function<void(const Record& record)> handle)
    : scaling_(scaling), handle_(std::move(handle)) {}

void RecordStream::read(QStringView piece) {
  if (ended_) return;
  if (!started_) {
    while (!piece.isEmpty() && piece.front() == u' ') piece = piece.sliced(1);
    if (piece.isEmpty()) return;
    started_ = true;
  }
  pending_ += piece;
  const QStringView text(pending_);
  qsizetype position = 0;
  while (true) {
    const QStringView remaining = text.sliced(position);
    if (remaining.startsWith(kEndOfData)) {
      ended_ = true;
      pending_.clear();
      return;
    }
    const qsizetype lineEnd = text.indexOf(kLineEnd, position);
    if (lineEnd < 0) break;  // the line goes on in the next piece
    const QStringView line = text.sliced(position, lineEnd - position);
    position = lineEnd + kLineEnd.size();
    const Record record = parseRecord(line, ++lineNumber_, scaling_);
    metLevelling_ = metLevelling_ || record.isLevelling();
    handle_(record);
  }
  pending_.remove(0, position);
}

void RecordStream::finish() {
  if (ended_) return;
  throw Failure(QStringLiteral("資料在第 %1 行中斷：在資料結束列「Z,&,」(後接 CR LF) 之前已沒有完整的一行").arg(lineNumber_ + 1));
}

}  // namespace korvane::convert::level
