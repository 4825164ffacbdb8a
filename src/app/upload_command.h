#pragma once
// `korvane upload`: the upload session of the Main window, without a window.

#include <QStringList>

namespace korvane::app {

int runUploadCommand(const QStringList& arguments);

}  // namespace korvane::app
