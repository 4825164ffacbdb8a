#pragma once
// "地政觀測資料" of the GTS-600 series (mnuMeas600): an observation printout turned into the compact
// cadastral observation report.
//
// The printout's lines: job lines holding "Job:" (job name in columns 5-16), station lines
// holding "Occ. Stn:" (point number in columns 10-18), backsight lines holding
// "Backsight Point:" (point number in columns 19-28) and sight lines marked "SS" or "FS" in
// columns 3-4 (point number in columns 11-19, horizontal angle in columns 25-32, distance in
// columns 51-58). One line may be read as several kinds, in that order.

#include <QString>
#include <QStringView>
#include <functional>

#include "convert/conversion.h"
#include "convert/text_stream.h"
#include "convert/total_station/printout_lines.h"

namespace korvane::convert::total_station {

// "LS  (" job ")" of the last job line with what follows it: "station backsight" and per sight
// "point angle distance" (the angle right-aligned in eight characters, the distance with three
// decimals); lines separated by CR LF, no line break after the last. Yields before each line.
QString gts600CadastralReport(QStringView printout, const std::function<void()>& yieldToEvents = {});

// The same report for a printout read in pieces; a job line starts the result afresh.
class Gts600CadastralConversion : public TextConversion {
 public:
  Gts600CadastralConversion(const std::function<void()>& yieldToEvents, TextSink& sink);
  void read(QStringView piece) override { lines_.read(piece); }
  void finish() override;
  bool metRecords() const override { return metRecords_; }

 private:
  void add(QStringView line, qsizetype number);

  ResultText report_;
  LineSplitter lines_;
  bool metRecords_ = false;
};

// The command: writes the workspace to "Temp.txt" in the program folder (a failure to write it
// throws korvane::Failure) and returns the report.
QString mnuMeas600(QStringView workspace, const ConversionEnvironment& environment);

}  // namespace korvane::convert::total_station
