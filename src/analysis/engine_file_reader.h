// The engine input file, read as tarnex reads it, into the rows of a network:
//
//   line 1                the job title (its first 80 columns)
//   observation lines     from-point (columns 1-10), to-point (11-20), dh in m (21-30),
//                         dist in km (31-40), grade in m per square root of a km (41-50)
//   "-99" or "-999"       anywhere in columns 1-10: ends the observations, the rest is ignored
//   known-point lines     name (1-10), elevation in m (11-20), sigma in m (21-30)
//   "-99" or "-999"       or the end of the file: ends the known points
//
// Names lose their blanks at either end and keep every other character: the classic engine's
// eight-character rule is not applied (the checks report the names it would merge). Numbers
// are read as in fixed_number.h. The text is UTF-8; a file in code page 950 is decoded first
// by the caller (Korvane's codec), which keeps every field in its columns (text_columns.h).
#pragma once

#include "network.h"

#include <string>
#include <string_view>

namespace korvane::analysis {

// Throws InputError naming the file, the line and the field, as tarnex does.
NetworkRows readEngineFile(std::string_view utf8Text, const std::string& fileName);

}  // namespace korvane::analysis
