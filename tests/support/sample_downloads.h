#pragma once
// Sample instrument data as it arrives on the line, chunk by chunk: code page 950 (Big5) text
// with CR LF line ends, in the record formats the conversions read.

#include <QByteArray>

#include <string>
#include <vector>

namespace korvane::testing {

// GTS-200 series observation data in 128-character transfer blocks, ending with STX and EOT
// (0x04). The point name '一號樁' (Big5 A4 40 ...) is split between the first and second chunk.
std::vector<QByteArray> gts200Chunks();

// GTS-200 series coordinate data in transfer blocks, ending with STX and EOT.
std::vector<QByteArray> gts200CoordinateChunks();

// A GTS-600 series coordinate printout in chunks, EOT at the end of the last.
std::vector<QByteArray> gts600Chunks();

// A GTS-600 series observation printout in chunks, EOT at the end of the last.
std::vector<QByteArray> gts600ObservationChunks();

// What a DL-100C level may send before its header: {"X,junk,\r\n"}.
std::vector<QByteArray> levelBeforeHeader();

// A DL-100C level download: the header "A,01,Z,\r\n", record chunks of one or two lines, and
// finally "Z,&,\r\n".
std::vector<QByteArray> levelChunks();

// The chunks one after another.
QByteArray joined(const std::vector<QByteArray>& chunks);

// A built-in sample of instrument-sim.
struct SampleDownload {
  std::string series;   // gts200, gts600, dl100c
  std::string name;     // observations, coordinates, line
  std::string summary;  // one line for --help
  std::vector<QByteArray> beforeHeader;  // what a level sends before its header
  std::vector<QByteArray> chunks;
};

// Every sample; the first of each series is the one played when none is named.
const std::vector<SampleDownload>& sampleDownloads();

// The sample of `series` called `name` (its first sample when `name` is empty); none when there
// is no such sample.
const SampleDownload* findSample(const std::string& series, const std::string& name);

}  // namespace korvane::testing
