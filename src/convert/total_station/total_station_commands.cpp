#include "convert/total_station/total_station_commands.h"

namespace korvane::convert {

std::vector<ConversionCommand> totalStationCommands() { return {}; }

}  // namespace korvane::convert
