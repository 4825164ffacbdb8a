#pragma once
// The Qt side of the fuzz targets of Korvane's parsers: one application object, input bytes as
// the workspace text, and the conversions of the Main window run as the window runs them.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "convert/conversion.h"

namespace korvane::fuzz {

// Creates the process's application object once (the database driver needs it).
void startQt(int* argc, char*** argv);

// The input as Korvane reads a file: CP950 unless it is UTF-8 with non-ASCII content.
QString workspaceText(std::string_view bytes);

// The text in UTF-8, as the checks read it.
std::string utf8(const QString& text);

// The scratch folder of this process, as Korvane's program folder.
QString programFolder();

// The conversion commands whose verb starts with `verbPrefix`, in menu order.
std::vector<convert::ConversionCommand> conversionCommands(const QString& verbPrefix);

// Runs a conversion on the workspace text with the program folder in the scratch folder. A
// Failure is the conversion's refusal and no finding; the new text and every message shown are
// checked (checkOutputText against the workspace text).
void runConversion(const convert::ConversionCommand& command, const QString& workspace);

}  // namespace korvane::fuzz
