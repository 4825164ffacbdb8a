#pragma once
// `korvane download`: the download session of the Main window, without a window.

#include <QStringList>

namespace korvane::app {

// Runs the subcommand with its arguments (after the word "download"); returns the exit status.
int runDownloadCommand(const QStringList& arguments);

}  // namespace korvane::app
