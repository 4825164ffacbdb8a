#pragma once
// "觀測資料" (cMeas): GTS-200 series observation data turned into the labelled observation report.

#include <QString>
#include <QStringView>

#include "common/messages.h"
#include "convert/text_stream.h"
#include "convert/total_station/gts200_records.h"

namespace korvane::convert::total_station {

// The observation report of the raw data in `workspace`: one "測站" line per station record with
// its "後視點" line, each observation continuing the open line with its labelled values, and an
// "SS 點號" line for the point it names next. No header, no final line break. Nothing fails; once
// the report holds EOT every later record is shown in a plain message box.
QString cMeas(QStringView workspace, Messages& messages);

// The same report for data read in pieces.
class ObservationReportConversion : public TextConversion {
 public:
  ObservationReportConversion(Messages& messages, TextSink& sink);
  void read(QStringView piece) override { tokens_.read(piece); }
  void finish() override;
  bool metRecords() const override { return tokens_.metRecords(); }

 private:
  void add(const QString& token, qsizetype line);

  ResultText report_;
  Gts200Tokens tokens_;
};

}  // namespace korvane::convert::total_station
