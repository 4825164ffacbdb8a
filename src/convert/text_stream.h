#pragma once
// Conversions that read their text piece by piece and write their result as they go, so that a
// large input (a batch of merged days) never has to be held whole: `korvane convert` feeds them
// from the file, the window feeds the whole workspace as one piece. Both get the same result.

#include <QString>
#include <QStringView>
#include <utility>

#include "common/failure.h"

namespace korvane::convert {

// Where a conversion writes its result.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void write(QStringView text) = 0;
  // Drops everything written so far: the result starts afresh.
  virtual void restart() = 0;
};

// A result held as one text.
class StringSink : public TextSink {
 public:
  void write(QStringView text) override { text_ += text; }
  void restart() override { text_.clear(); }
  QString take() { return std::move(text_); }

 private:
  QString text_;
};

// A conversion reading its text in pieces: read() with each piece in order, then finish(). A piece
// may end anywhere, even inside a line or a record. Both throw Failure like the conversion on
// the whole text; whatever was written before is then no result.
class TextConversion {
 public:
  virtual ~TextConversion() = default;
  virtual void read(QStringView piece) = 0;
  virtual void finish() = 0;
  // Whether a record of the kind the conversion reads has reached it so far: after finish(),
  // false means the text held none (and the result says nothing).
  virtual bool metRecords() const = 0;
};

// The result of a conversion on a whole text.
template <typename Conversion, typename... Arguments>
QString convertWhole(QStringView text, Arguments&&... arguments) {
  StringSink sink;
  Conversion conversion(std::forward<Arguments>(arguments)..., sink);
  conversion.read(text);
  conversion.finish();
  return sink.take();
}

// A sink that keeps nothing: for looking at a text without converting it.
class DiscardSink : public TextSink {
 public:
  void write(QStringView) override {}
  void restart() override {}
};

// Whether `text` holds a record the conversion reads: the conversion is run without keeping its
// result. A text it fails on counts as holding records: converting it for real says what fails.
template <typename Conversion, typename... Arguments>
bool holdsRecordsOf(QStringView text, Arguments&&... arguments) {
  DiscardSink sink;
  Conversion conversion(std::forward<Arguments>(arguments)..., sink);
  try {
    conversion.read(text);
    if (conversion.metRecords()) return true;
    conversion.finish();
  } catch (const Failure&) {
    return true;
  }
  return conversion.metRecords();
}

// Text a conversion builds line by line, handed to the sink in large pieces. The last two
// characters stay until the end, so that a final line break can still be taken back.
class ResultText {
 public:
  explicit ResultText(TextSink& sink) : sink_(sink) {}

  ResultText& operator+=(QStringView text) {
    pending_ += text;
    if (!text.isEmpty()) written_ = true;
    if (watched_ != QChar() && !seen_ && text.contains(watched_)) seen_ = true;
    if (pending_.size() > kPieceSize) {
      sink_.write(QStringView(pending_).chopped(kKept));
      pending_.remove(0, pending_.size() - kKept);
    }
    return *this;
  }
  ResultText& operator+=(QChar c) { return *this += QStringView(&c, 1); }

  // Watches the text for a character: seen() tells whether it was ever written.
  void watch(QChar c) { watched_ = c; }
  bool seen() const { return seen_; }

  // Whether anything was written since the start (or the last clear()).
  bool isEmpty() const { return !written_; }
  // Whether the text ends with `tail` (at most two characters).
  bool endsWith(QStringView tail) const { return pending_.endsWith(tail); }
  // Starts the text afresh.
  void clear() {
    sink_.restart();
    pending_.clear();
    written_ = false;
  }
  // Takes back a CR LF that ends the text.
  void chopLineBreak() {
    if (pending_.endsWith(u"\r\n")) pending_.chop(2);
  }
  // Takes back the last character.
  void chopLast() { pending_.chop(1); }
  // Hands the rest to the sink.
  void flush() {
    sink_.write(pending_);
    pending_.clear();
  }

 private:
  static constexpr qsizetype kPieceSize = 1 << 16;
  static constexpr qsizetype kKept = 2;
  TextSink& sink_;
  QString pending_;
  bool written_ = false;
  QChar watched_;
  bool seen_ = false;
};

}  // namespace korvane::convert
