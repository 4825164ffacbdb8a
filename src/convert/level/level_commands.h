#pragma once
// The digital-level conversions of the "電子水準儀" menu.

#include <vector>

#include "convert/conversion.h"

namespace korvane::convert {

std::vector<ConversionCommand> levelCommands();

}  // namespace korvane::convert
