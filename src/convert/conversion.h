#pragma once
// The conversion commands of the Main window's "資料轉換" menu, as functions from the workspace
// text to the new workspace text. The window and `korvane convert` run the same commands.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "common/messages.h"

namespace korvane::convert {

// What a conversion may use besides the workspace text.
struct ConversionEnvironment {
  Messages& messages;
  // The folder of the scratch file "Temp.txt" and other files Korvane writes.
  QString programFolder;
  // The DL-100C conversions divide readings by it.
  int unitDivisor = 10;
  // Called once per line by conversions that let the window stay responsive; may be empty.
  std::function<void()> yieldToEvents;
  // A file a conversion writes for the user (a workbook): where to write it; empty lets the
  // conversion choose.
  QString outputFile;
  // Shows a written file to the user (the desktop's default application); false when nothing
  // could open it. Empty on the command line.
  std::function<bool(const QString& path)> openDocument;
};

// Runs a conversion: the new workspace text, or nothing when the workspace stays as it is (the
// conversion has shown why through the messages). A Failure thrown by a conversion is shown by
// the caller in an "Error" box, the workspace unchanged.
using Converter = std::function<std::optional<QString>(const QString& workspace, ConversionEnvironment& environment)>;

struct ConversionCommand {
  QString menuName;  // the menu entry's control name, e.g. "cMeas"; empty for command-line verbs only
  QString verb;      // the `korvane convert` verb, e.g. "gts200-obs"
  QString summary;   // one line for `korvane convert --help`
  Converter convert;
};

// Every conversion command, in menu order.
std::vector<ConversionCommand> allConversionCommands();

}  // namespace korvane::convert
