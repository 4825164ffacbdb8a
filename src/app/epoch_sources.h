#pragma once
// Where an epoch of a monitoring run comes from, as the surveyor names it: "db:PATH" for an
// adjustment database, a GNU Gama file (.gkf, .xml), or a file `korvane analyse` reads (an engine
// input file, Leica GSI, DiNi M5, a DL-100C download). Paths are relative to the current folder.

#include <QString>

#include "network.h"

namespace korvane::app {

// The rows of the epoch's levelling network. Throws analysis::InputError naming the source and
// what is wrong with it.
analysis::NetworkRows readEpochSource(const QString& source);

}  // namespace korvane::app
