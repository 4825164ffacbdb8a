#include "support/instrument_line.h"
#include "support/instrument_scripts.h"

namespace korvane::testing {

void playTotalStationScript(InstrumentLine& line, const std::vector<QByteArray>& chunks,
                            std::chrono::milliseconds gap) {
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    if (i > 0 && !line.pause(gap)) return;
    if (!line.write(chunks[i])) return;
  }
}

}  // namespace korvane::testing
