#pragma once
// Cadastral L14 point text turned into upload lines: each group of three blank-separated fields
// "name first second" becomes "name,second,first,0" and CR LF.

#include <QString>
#include <exception>
#include <functional>

#include "convert/text_stream.h"
#include "text/text_file.h"

namespace korvane::link {

// Converts the workspace text through the scratch file "Temp.txt" in `folder` (written anew and
// left in place). The result ends with ",0" and a CR. Throws Failure, naming the line, for a line
// whose fields do not end with a complete group of three, an empty line between other lines, an
// empty result or a file error. `yieldToEvents` (may be empty) is called once per line.
QString convertL14Text(const QString& workspace, const QString& folder, const std::function<void()>& yieldToEvents);

// The same conversion for a text read in pieces, written to the sink line by line. Lines end at
// CR LF or a lone CR. A line "PAGE..." is a page heading: the line after it is converted in its
// place. Blank lines at the very end are no points and no fault.
class L14Conversion : public convert::TextConversion {
 public:
  L14Conversion(const QString& folder, std::function<void()> yieldToEvents, convert::TextSink& sink);
  void read(QStringView piece) override;
  void finish() override;
  // finish() itself refuses a text without any point.
  bool metRecords() const override { return !result_.isEmpty(); }

 private:
  void readLines(QStringView piece);
  void addLine(QStringView line);
  void convertLine(QStringView line, qsizetype number);

  text::ScratchFileWriter scratch_;
  std::function<void()> yieldToEvents_;
  convert::ResultText result_;
  QString pending_;             // a line whose end has not come yet
  bool skipLf_ = false;         // a CR ended the last line: an LF right after it belongs to that end
  qsizetype number_ = 0;        // of the last line read
  qsizetype firstBlank_ = 0;    // the first of the blank lines read last, 0 when none
  qsizetype pageHeading_ = 0;   // a page heading waiting for its line, 0 when none
  std::exception_ptr failure_;  // of a line, thrown once the scratch file is complete
};

}  // namespace korvane::link
