#pragma once
// The total-station conversions of the "光波" menu.

#include <vector>

#include "convert/conversion.h"

namespace korvane::convert {

std::vector<ConversionCommand> totalStationCommands();

}  // namespace korvane::convert
