#pragma once
// How each instrument family sends its data, played on an InstrumentLine.

#include <QByteArray>

#include <chrono>
#include <vector>

namespace korvane::testing {

class InstrumentLine;
class SimulatorRecord;

// GTS-200 / GTS-600 total stations: the chunks with a gap between them; nothing is read.
void playTotalStationScript(InstrumentLine& line, const std::vector<QByteArray>& chunks,
                            std::chrono::milliseconds gap);

struct LevelPlayback {
  std::vector<QByteArray> beforeHeader;  // sent first, never answered
  std::vector<QByteArray> chunks;        // header "A,01,Z,..." first, "Z,&,\r\n" last
  std::chrono::milliseconds gap;
  std::chrono::milliseconds ackTimeout;
};

// How long the level listens for the optional acknowledgement of its last chunk.
inline constexpr std::chrono::milliseconds kFinalAcknowledgementWindow{2000};

// DL-100C level: the data before the header, a gap, then each chunk followed by one
// acknowledgement line from the host. Chunks are numbered from 1, the header being chunk 1.
void playLevelScript(InstrumentLine& line, SimulatorRecord& record, const LevelPlayback& playback);

}  // namespace korvane::testing
