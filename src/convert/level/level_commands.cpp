#include "convert/level/level_commands.h"

namespace korvane::convert {

std::vector<ConversionCommand> levelCommands() { return {}; }

}  // namespace korvane::convert
