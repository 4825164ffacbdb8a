#include "convert/total_station/total_station_commands.h"

#include "convert/total_station/gts200_cadastral_report.h"
#include "convert/total_station/gts200_coordinate_listing.h"
#include "convert/total_station/gts200_observation_report.h"
#include "convert/total_station/gts200_records.h"
#include "convert/total_station/gts600_cadastral_report.h"
#include "convert/total_station/gts600_coordinate_list.h"

namespace korvane::convert {

namespace {

// The records each conversion reads, as its message names them.
const QString kGts200Coordinates = QStringLiteral("GTS-200 系列的座標記錄（「+點號_」之後有 x、y、z 值）");
const QString kGts200Observations =
    QStringLiteral("GTS-200 系列的觀測記錄（測站記錄「'」，觀測記錄「<」「?」「R」「*」「U」「W」）");
const QString kGts600Points = QStringLiteral("GTS-600 系列座標列表的點位列（點號、North、East）");
const QString kGts600Observations =
    QStringLiteral("GTS-600 系列觀測列表的測站或觀測列（「Occ. Stn:」「Backsight Point:」「SS」「FS」）");

// The boxes of a conversion that only looks for records are shown to nobody.
class Unshown : public Messages {
 public:
  void information(const QString&, const QString&) override {}
  void critical(const QString&, const QString&) override {}
  void exclamation(const QString&, const QString&) override {}
  void plain(const QString&) override {}
  bool confirm(const QString&, const QString&) override { return false; }
};

bool holdsCoordinateRecords(QStringView text) {
  return holdsRecordsOf<total_station::CoordinateListingConversion>(text, total_station::PlaneOrder::XThenY);
}

template <typename Report>
bool holdsGts200Records(QStringView text) {
  Unshown unshown;
  return holdsRecordsOf<Report>(text, unshown);
}

bool holdsPointLines(QStringView text) {
  return holdsRecordsOf<total_station::Gts600CoordinateConversion>(text, std::function<void()>());
}

bool holdsObservationLines(QStringView text) {
  return holdsRecordsOf<total_station::Gts600CadastralConversion>(text, std::function<void()>());
}

}  // namespace

std::vector<ConversionCommand> totalStationCommands() {
  using namespace total_station;
  return {
      {QStringLiteral("cCoord"), QStringLiteral("gts200-coord-yxz"),
       QStringLiteral("GTS-200 coordinate data -> lines point,x,y,z in metres (座標(點號Y,X,Z))"),
       [](const QString& workspace, ConversionEnvironment&) -> std::optional<QString> { return cCoord(workspace); },
       kGts200Coordinates, holdsCoordinateRecords},
      {QStringLiteral("cCoord1"), QStringLiteral("gts200-coord-xyz"),
       QStringLiteral("GTS-200 coordinate data -> lines point,y,x,z in metres (座標(點號X,Y,Z))"),
       [](const QString& workspace, ConversionEnvironment&) -> std::optional<QString> { return cCoord1(workspace); },
       kGts200Coordinates, holdsCoordinateRecords},
      {QStringLiteral("cMeas"), QStringLiteral("gts200-obs"),
       QStringLiteral("GTS-200 observation data -> labelled observation report (觀測資料)"),
       [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
         return cMeas(workspace, environment.messages);
       },
       kGts200Observations, holdsGts200Records<ObservationReportConversion>},
      {QStringLiteral("mnuMeas200"), QStringLiteral("gts200-cadastral"),
       QStringLiteral("GTS-200 observation data -> cadastral observation report (地政觀測資料)"),
       [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
         return mnuMeas200(workspace, environment.messages);
       },
       kGts200Observations, holdsGts200Records<CadastralReportConversion>},
      {QStringLiteral("mnuCoord600"), QStringLiteral("gts600-coord"),
       QStringLiteral("GTS-600 coordinate printout -> cadastral coordinate list (地政座標(點號Y,X,Z))"),
       [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
         return mnuCoord600(workspace, environment);
       },
       kGts600Points, holdsPointLines},
      {QStringLiteral("mnuMeas600"), QStringLiteral("gts600-cadastral"),
       QStringLiteral("GTS-600 observation printout -> cadastral observation report (地政觀測資料)"),
       [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
         return mnuMeas600(workspace, environment);
       },
       kGts600Observations, holdsObservationLines},
  };
}

}  // namespace korvane::convert
