#include "convert/conversion.h"
#include "convert/level/level_commands.h"
#include "convert/total_station/total_station_commands.h"
#include "link/l14_text.h"

namespace korvane::convert {

std::vector<ConversionCommand> allConversionCommands() {
  std::vector<ConversionCommand> commands = totalStationCommands();
  for (ConversionCommand& command : levelCommands()) commands.push_back(std::move(command));
  // The cadastral L14 text an upload converts first; no menu entry of its own.
  commands.push_back({QString(), QStringLiteral("l14"),
                      QStringLiteral("cadastral L14 point text as upload lines (name,second,first,0)"),
                      [](const QString& workspace, ConversionEnvironment& environment) -> std::optional<QString> {
                        return link::convertL14Text(workspace, environment.programFolder, environment.yieldToEvents);
                      }});
  return commands;
}

}  // namespace korvane::convert
