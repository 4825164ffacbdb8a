#pragma once
// "地政座標(點號Y,X,Z)" of the GTS-600 series (mnuCoord600): a coordinate printout turned into the
// compact cadastral coordinate list.
//
// The printout's lines: a job line holding "Job:" (job name in columns 5-16), the column heading
// holding "Point          North", rules holding "===", and point lines (point number in
// columns 1-9, north in columns 13-26, east in columns 28-40; the height is not read).

#include <QString>
#include <QStringView>
#include <exception>
#include <functional>

#include "convert/conversion.h"
#include "convert/text_stream.h"
#include "convert/total_station/printout_lines.h"
#include "text/text_file.h"

namespace korvane::convert::total_station {

// "LS  (" job ")" for the first job line, then "point north east" (north and east with three
// decimals, no zero before the point) per point line whose north and east both differ from 0;
// lines separated by CR LF, no line break after the last. Yields before each line.
QString gts600CoordinateList(QStringView printout, const std::function<void()>& yieldToEvents = {});

// The same list for a printout read in pieces.
class Gts600CoordinateConversion : public TextConversion {
 public:
  Gts600CoordinateConversion(const std::function<void()>& yieldToEvents, TextSink& sink);
  void read(QStringView piece) override { lines_.read(piece); }
  void finish() override;
  bool metRecords() const override { return metRecords_; }

 private:
  void add(QStringView line, qsizetype number);

  ResultText list_;
  LineSplitter lines_;
  bool metRecords_ = false;
  bool jobLineWritten_ = false;
};

// A GTS-600 command read in pieces: the workspace goes to "Temp.txt" as it comes (the file is
// replaced at the end), and through the list or the report.
class Gts600Command : public TextConversion {
 public:
  enum class Kind { CoordinateList, CadastralReport };
  Gts600Command(const ConversionEnvironment& environment, Kind kind, TextSink& sink);
  void read(QStringView piece) override;
  void finish() override;
  bool metRecords() const override { return conversion_->metRecords(); }

 private:
  text::ScratchFileWriter scratch_;
  std::unique_ptr<TextConversion> conversion_;
  std::exception_ptr failure_;  // of a line, thrown once the scratch file is complete
};

// The command: writes the workspace to "Temp.txt" in the program folder (a failure to write it
// throws korvane::Failure) and returns the list.
QString mnuCoord600(QStringView workspace, const ConversionEnvironment& environment);

}  // namespace korvane::convert::total_station
