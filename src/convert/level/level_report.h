#pragma once
// The levelling report of "資料轉檔": DL-100C records turned into plain text.
//
// The report computes nothing: every number is taken from a record, rescaled and formatted.
// Distances are written with "###0.000", readings and heights with "###0.00000"; blank runs
// place each value under its heading.

#include <QString>
#include <QStringView>

#include "convert/level/dl100c_records.h"
#include "convert/text_stream.h"

namespace korvane::convert::level {

// Appends the report lines of one record (its status line included) to `report`.
void appendReportLines(const Record& record, QString& report);

// The report of a DL-100C text read in pieces, written to the sink as the records come.
class LevelReportConversion : public TextConversion {
 public:
  LevelReportConversion(Scaling scaling, TextSink& sink);
  void read(QStringView piece) override { records_.read(piece); }
  void finish() override;
  bool metRecords() const override { return records_.metLevellingRecords(); }

 private:
  ResultText report_;
  QString lines_;
  RecordStream records_;
};

// The report of a whole DL-100C text, up to its End-of-data line. Throws Failure when the text
// runs out before that line, holds a "c" record that cannot be read or a number no report can
// show.
QString levelReport(QStringView text, Scaling scaling);

}  // namespace korvane::convert::level
