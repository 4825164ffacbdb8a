#pragma once
// The conversion commands of the Main window's "資料轉換" menu, as functions from the workspace
// text to the new workspace text. The window and `korvane convert` run the same commands.

#include <QString>
#include <QStringView>
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
// the caller in an error box, the workspace unchanged.
using Converter = std::function<std::optional<QString>(const QString& workspace, ConversionEnvironment& environment)>;

struct ConversionCommand {
  QString menuName;  // the menu entry's control name, e.g. "cMeas"; empty for command-line verbs only
  QString verb;      // the `korvane convert` verb, e.g. "gts200-obs"
  QString summary;   // one line for `korvane convert --help`
  Converter convert;
  // The records the conversion reads, as the message names them when the workspace holds none.
  QString records;
  // True when a text holds at least one record the conversion reads. Empty for a conversion that
  // says itself when it finds nothing to convert.
  std::function<bool(QStringView text)> holdsRecords;
};

// Every conversion command, in menu order.
std::vector<ConversionCommand> allConversionCommands();

// What came of running a command on the workspace text.
struct ConversionOutcome {
  // The new workspace text; nothing when the workspace stays as it is.
  std::optional<QString> text;
  // Not empty when the workspace held no record the command reads: the message that says so.
  // Nothing was converted and nothing written.
  QString noRecords;
};

// "資料中找不到 " the records "，沒有轉換任何資料。"
QString noRecordsMessage(const QString& records);

// Runs a command the way both faces run it: a workspace without any record the command reads is
// not converted at all, so it keeps its text and no file is written. A Failure thrown by the
// conversion goes to the caller.
ConversionOutcome runConversion(const ConversionCommand& command, const QString& workspace,
                                ConversionEnvironment& environment);

}  // namespace korvane::convert
