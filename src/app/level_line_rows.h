#pragma once
// A Leica GSI or DiNi M5 levelling file as an input of `korvane analyse`: one observation row per
// levelling line (from, to, dh, length in km, grade 0), its row the file line where the levelling
// line starts.

#include <QByteArray>
#include <optional>
#include <string>

#include "network.h"

namespace korvane::app {

// The rows of the file's levelling lines, or nothing when the bytes are neither GSI nor M5 (told
// from the content). Throws analysis::InputError naming the file, line and word of a damaged file.
std::optional<analysis::NetworkRows> levelLineRows(const QByteArray& bytes, const std::string& name);

}  // namespace korvane::app
