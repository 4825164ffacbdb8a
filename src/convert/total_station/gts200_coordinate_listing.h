#pragma once
// "座標(點號Y,X,Z)" (cCoord) and "座標(點號X,Y,Z)" (cCoord1): GTS-200 series coordinate data turned
// into a comma-separated coordinate listing, one point per line.
//
// A point record: "+", the point number, "_", then values tagged "x", "y" and "z", each ended by
// "_", in whole millimetres. Block breaks may stand anywhere.

#include <QString>
#include <QStringView>
#include <deque>
#include <memory>
#include <vector>

#include "convert/text_stream.h"

namespace korvane::convert::total_station {

// The data with its block breaks removed, nothing trimmed; a break that ends the text stays.
// Throws korvane::Failure when a break's marker starts within the first four characters.
QString removeBlockBreaks(QStringView data);

// "point,x,y,z" per point, values in metres with three decimals; lines separated by CR LF, no
// line break after the last. Throws korvane::Failure when the data ends inside a record (a point
// number or a value without its closing "_") or holds a break that cannot be removed.
QString cCoord(QStringView workspace);

// As cCoord with the plane coordinates exchanged: "point,y,x,z".
QString cCoord1(QStringView workspace);

enum class PlaneOrder { XThenY, YThenX };

// The listing of data read in pieces. Block breaks are removed as the data comes (one whose
// marker starts within the first four characters throws korvane::Failure), and each record is
// listed as soon as nothing to come can change it.
class CoordinateListingConversion : public TextConversion {
 public:
  CoordinateListingConversion(PlaneOrder order, TextSink& sink);
  ~CoordinateListingConversion() override;
  void read(QStringView piece) override;
  void finish() override;
  bool metRecords() const override { return metRecords_; }

 private:
  friend QString removeBlockBreaks(QStringView data);
  class NextOccurrence;

  void removeBreaks(QStringView piece, bool end);
  void listRecords(bool end);
  qsizetype workspaceLine(qsizetype position) const;

  PlaneOrder order_;
  ResultText listing_;
  QString raw_;                 // data not yet passed through the break removal
  bool markerComplete_ = false; // a marker ends the kept text; what follows it decides
  bool breaksDone_ = false;     // a break ended the text: the rest is kept as it stands
  QString kept_;                // the data without breaks, from the first record not yet listed
  qsizetype keptBefore_ = 0;    // characters of the kept data before kept_
  qsizetype linesBefore_ = 0;   // line feeds in them, and breaks removed in them
  std::deque<qsizetype> removedBreaks_;  // where breaks were taken out, in the kept data after keptBefore_
  std::unique_ptr<NextOccurrence> plus_;
  std::unique_ptr<NextOccurrence> underscore_;
  std::vector<std::unique_ptr<NextOccurrence>> tags_;
  bool metRecords_ = false;  // a "+" record reached the listing
};

}  // namespace korvane::convert::total_station
