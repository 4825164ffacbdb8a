#pragma once
// A raw capture of a download (the bytes exactly as the host received them) cut back into the
// chunks an instrument sends, so that playing it reproduces the download byte for byte.

#include <QByteArray>

#include <vector>

namespace korvane::testing {

// Total stations: whole lines (through LF), several to a chunk up to `chunkBytes`; a longer
// line is a chunk of its own. The last chunk holds whatever follows the last LF.
std::vector<QByteArray> totalStationChunksOf(const QByteArray& capture, qsizetype chunkBytes = 256);

struct LevelChunks {
  std::vector<QByteArray> beforeHeader;  // the lines before the one holding "A,01,Z,"
  std::vector<QByteArray> chunks;        // that line and every line after it, one per chunk
};

// A DL-100C level: one line per chunk, so that its end line "Z,&,\r\n" comes on its own.
LevelChunks levelChunksOf(const QByteArray& capture);

}  // namespace korvane::testing
