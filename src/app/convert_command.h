#pragma once
// `korvane convert VERB [FILE]`: the conversion commands of the "資料轉換" menu, without a window.

#include <QStringList>

namespace korvane::app {

int runConvertCommand(const QStringList& arguments);

}  // namespace korvane::app
