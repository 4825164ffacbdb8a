#pragma once
// Which digital level wrote a file, told from its content (never from its name), and the levelling
// lines of a Leica GSI or Trimble DiNi M5 file read in pieces.

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>
#include <vector>

#include "convert/level/level_lines.h"

namespace korvane::convert::level {

enum class LevelFormat { Dl100c, Gsi, M5, Unknown };

// The format of a file from its first bytes (a few hundred are plenty): an M5 record, a GSI word,
// or a DL-100C record (a kind it writes, A b c g-k t v w Z, and a comma: "A,01,Z,").
LevelFormat detectLevelFormat(std::string_view start);

// What a file that is none of the formats is refused with, naming what was looked for.
QString notLevelDataMessage(const QString& where);

// The levelling lines of GSI or M5 bytes (`format` as detected). Throws Failure naming `where`
// for a damaged file, a file without levelling lines and any other format.
std::vector<LevelLine> readLevelLines(std::string_view bytes, LevelFormat format, const QString& where);

// The same for a file read in pieces of 1 MiB, so that a file of any size needs little memory
// besides its lines. Throws Failure when the file cannot be read.
std::vector<LevelLine> readLevelLinesFile(const QString& path, const QString& where);

// A workspace text as the bytes the instrument wrote: every character below 256 as its byte (the
// single-byte free text of a GSI file survives), any other as "?".
std::string workspaceBytes(QStringView text);

}  // namespace korvane::convert::level
