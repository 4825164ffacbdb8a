#include "convert/conversion.h"
#include "convert/level/level_commands.h"
#include "convert/total_station/total_station_commands.h"

namespace korvane::convert {

std::vector<ConversionCommand> allConversionCommands() {
  std::vector<ConversionCommand> commands = totalStationCommands();
  for (ConversionCommand& command : levelCommands()) commands.push_back(std::move(command));
  return commands;
}

}  // namespace korvane::convert
