#include "support/host_replies.h"
#include "support/instrument_line.h"
#include "support/instrument_scripts.h"
#include "support/simulator_record.h"

#include <algorithm>
#include <optional>
#include <string>

namespace korvane::testing {

namespace {

bool sendBeforeHeader(InstrumentLine& line, const LevelPlayback& playback) {
  for (std::size_t i = 0; i < playback.beforeHeader.size(); ++i) {
    if (i > 0 && !line.pause(playback.gap)) return false;
    if (!line.write(playback.beforeHeader[i])) return false;
  }
  if (!playback.beforeHeader.empty() && !line.pause(playback.gap)) return false;
  line.drain();  // anything the host sent up to now came before the header
  return line.ok();
}

}  // namespace

void playLevelScript(InstrumentLine& line, SimulatorRecord& record, const LevelPlayback& playback) {
  if (!sendBeforeHeader(line, playback)) return;

  qsizetype cursor = record.markHeader();
  for (std::size_t i = 0; i < playback.chunks.size(); ++i) {
    if (!line.write(playback.chunks[i])) return;

    const bool last = i + 1 == playback.chunks.size();
    const auto window = last ? std::min(playback.ackTimeout, kFinalAcknowledgementWindow) : playback.ackTimeout;
    std::optional<QByteArray> reply;
    const qsizetype lineStart = cursor;
    const bool replied = line.waitUntil([&] { return (reply = record.takeReplyLine(cursor)).has_value(); },
                                        InstrumentLine::Clock::now() + window);
    if (!line.ok()) return;

    const std::string chunk = "chunk " + std::to_string(i + 1);
    if (!replied) {
      if (last) return;  // the last acknowledgement is welcome but not needed
      const bool partial = record.receivedSize() > lineStart;
      record.fail((partial ? "incomplete acknowledgement after " : "no acknowledgement after ") + chunk);
      return;
    }
    if (*reply != acknowledgementLine()) {
      record.fail("unexpected reply after " + chunk + ": " + hexText(*reply));
      return;
    }
  }
}

}  // namespace korvane::testing
