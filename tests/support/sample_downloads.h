#pragma once
// Sample instrument data as it arrives on the line, chunk by chunk: code page 950 (Big5) text
// with CR LF line ends.

#include <QByteArray>

#include <vector>

namespace korvane::testing {

// GTS-200 series record data in four chunks, EOT (0x04) at the end of the last. The point code
// '一' (Big5 A4 40) is split between the first and second chunk.
std::vector<QByteArray> gts200Chunks();

// A GTS-600 series coordinate printout in chunks, EOT at the end of the last.
std::vector<QByteArray> gts600Chunks();

// What a DL-100C level may send before its header: {"X,junk,\r\n"}.
std::vector<QByteArray> levelBeforeHeader();

// A DL-100C level download: the header "A,01,Z,\r\n", record chunks of one or two lines, and
// finally "Z,&,\r\n".
std::vector<QByteArray> levelChunks();

// The chunks one after another.
QByteArray joined(const std::vector<QByteArray>& chunks);

}  // namespace korvane::testing
