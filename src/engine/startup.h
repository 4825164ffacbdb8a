// The start-up dialogue of the engine: banner, file-name prompt, capacity stop and summary,
// and the name handling of the engine input file.
#pragma once

#include "channels.h"

#include <filesystem>
#include <istream>
#include <string>
#include <string_view>

namespace tarnex {

void writeStartBanner(Console& console);
void writeFileNamePrompt(Console& console);

// OFILOPN: reads a line from `answers` and keeps its first 30 characters as the file name; while
// no such file exists (relative names are looked up in `folder`) writes
// " file not exist, please reenter =?" and reads the next line. Returns the name as kept (30
// characters at most, trailing blanks included). The end of `answers` stops the engine.
std::string OFILOPN(std::istream& answers, Console& console, const std::filesystem::path& folder);

// The name typed at the prompt without its trailing blanks, and the file it refers to.
std::string fileNameAsTyped(std::string_view name);
std::filesystem::path inputFilePath(std::string_view name, const std::filesystem::path& folder);
bool inputFileExists(std::string_view name, const std::filesystem::path& folder);

// DELBAK: the 10-character name with its leading blanks removed and blank padding on the right.
std::string DELBAK(std::string_view name);

// A shifted name field that ends a list: "-99" or "-999".
bool isTerminator(std::string_view shiftedName);

// The capacity stop of the conversion: writes the warning with `capacity` and stops the engine.
[[noreturn]] void capacityStop(Console& console, int capacity);

struct ConversionCounts {
    int observations = 0;
    int points = 0;
    int knownPoints = 0;
    int degreeOfFreedom() const { return observations - points + knownPoints; }
};

void writeSummary(Console& console, const ConversionCounts& counts);

}  // namespace tarnex
