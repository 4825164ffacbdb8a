// The conversion of the engine input file into the work file level.inp, through the scratch
// file tape3 (which cuts names to 8 characters and rounds dh, dist and grade to 5, 3 and 5
// decimals).
//
// Engine input file:           work file level.inp:
//   A80 title                    A60 title
//   A10,A10,F10.0,F10.0,F10.0    I10,F10.3,F10.5,F10.5,10X,A10,A10  code, dist, dh, grade, names
//     from,to,dh,dist,grade      I10,3F10.1                         -99 terminator
//   -99                          I10,5X,A8                          point number, name
//   A10,F10.0,F10.0              I10                                -99
//     name,elev,sigma            I10                                number of known points
//   -99 or end of file           I10,F10.5,F20.10,10X,A8            number, elevation, sigma, name
//                                I10                                -99
#pragma once

#include "channels.h"
#include "field_reader.h"
#include "file_units.h"
#include "startup.h"

#include <filesystem>

namespace tarnex {

inline constexpr const char* kWorkFileName = "level.inp";
inline constexpr const char* kTapeFileName = "tape3";

// Reads `input` from its title on, writes level.inp into `folder` and the summary to the
// console. Stops the engine on a capacity breach or a record it cannot read.
ConversionCounts convertInputFile(LineFile& input, Console& console, UnitTable& units,
                                  const std::filesystem::path& folder);

}  // namespace tarnex
