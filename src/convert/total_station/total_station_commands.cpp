#include "convert/total_station/total_station_commands.h"

#include "convert/total_station/gts200_cadastral_report.h"
#include "convert/total_station/gts200_coordinate_listing.h"
#include "convert/total_station/gts200_observation_report.h"
#include "convert/total_station/gts600_cadastral_report.h"
#include "convert/total_station/gts600_coordinate_list.h"

namespace korvane::convert {

std::vector<ConversionCommand> totalStationCommands() {
  using namespace total_station;
  return {
      {QStringLiteral("cCoord"), QStringLiteral("gts200-coord-yxz"),
       QStringLiteral("GTS-200 coordinate data -> lines point,x,y,z in metres (座標(點號Y,X,Z))"),
       [](const QString& workspace, ConversionEnvironment&) -> std::optional<QString> { return cCoord(workspace); }},
      {QStringLiteral("cCoord1"), QStringLiteral("gts200-coord-xyz"),
       QStringLiteral("GTS-200 coordinate data -> lines point,y,x,z in metres (座標(點號X,Y,Z))"),
       [](const QString& workspace, ConversionEnvironment&) -> std::optional<QString> { return cCoord1(workspace); }},
      {QStringLiteral("cMeas"), QStringLiteral("gts200-obs"),
       QStringLiteral("GTS-200 observation data -> labelled observation report (觀測資料)"),
       [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
         return cMeas(workspace, environment.messages);
       }},
      {QStringLiteral("mnuMeas200"), QStringLiteral("gts200-cadastral"),
       QStringLiteral("GTS-200 observation data -> cadastral observation report (地政觀測資料)"),
       [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
         return mnuMeas200(workspace, environment.messages);
       }},
      {QStringLiteral("mnuCoord600"), QStringLiteral("gts600-coord"),
       QStringLiteral("GTS-600 coordinate printout -> cadastral coordinate list (地政座標(點號Y,X,Z))"),
       [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
         return mnuCoord600(workspace, environment);
       }},
      {QStringLiteral("mnuMeas600"), QStringLiteral("gts600-cadastral"),
       QStringLiteral("GTS-600 observation printout -> cadastral observation report (地政觀測資料)"),
       [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
         return mnuMeas600(workspace, environment);
       }},
  };
}

}  // namespace korvane::convert
