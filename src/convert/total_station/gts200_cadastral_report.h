#pragma once
// "地政觀測資料" of the GTS-200 series (mnuMeas200): the same observation data as "觀測資料" in the
// compact, unlabelled line form of cadastral survey work.

#include <QString>
#include <QStringView>
#include <optional>

#include "common/messages.h"
#include "convert/text_stream.h"
#include "convert/total_station/gts200_records.h"

namespace korvane::convert::total_station {

// The cadastral observation report of the raw data in `workspace`: "station backsight" per
// station record, the job line "LS  (" code ")" once after the first station, and per sighted
// point its number, the horizontal angle in eight characters and the distance. Nothing fails;
// once the report holds EOT every later record is shown in a plain message box.
QString mnuMeas200(QStringView workspace, Messages& messages);

// The same report for data read in pieces.
class CadastralReportConversion : public TextConversion {
 public:
  CadastralReportConversion(Messages& messages, TextSink& sink);
  void read(QStringView piece) override { tokens_.read(piece); }
  void finish() override;
  bool metRecords() const override { return tokens_.metRecords(); }

 private:
  void add(const QString& token, qsizetype line);
  void addStation(QStringView token);
  void addAngle(QStringView token);
  void addSight(QStringView token, const QString& angleText, const std::optional<double>& distance);

  ResultText text_;
  Gts200Tokens tokens_;
  bool jobLineWritten_ = false;
  qsizetype line_ = 0;  // of the token being added
};

}  // namespace korvane::convert::total_station
