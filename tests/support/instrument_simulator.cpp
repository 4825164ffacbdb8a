#include "support/instrument_simulator.h"

#include "support/instrument_line.h"
#include "support/instrument_scripts.h"
#include "support/pseudo_terminal.h"
#include "support/simulator_record.h"
#include "support/wake_pipe.h"

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;

namespace korvane::testing {

struct InstrumentSimulator::Playback {
  PseudoTerminal terminal;
  WakePipe stop;
  SimulatorRecord record;
  std::atomic<bool> started{false};
  std::thread thread;

  void start(SimulatorRecord::Instrument instrument, std::function<void(InstrumentLine&)> script) {
    if (started.exchange(true)) throw std::logic_error("the instrument has played already");
    record.begin(instrument);
    thread = std::thread([this, script = std::move(script)] {
      InstrumentLine line(terminal.masterFd(), stop.readFd(), record);
      script(line);
      record.finish();
      line.listenUntilStopped();
    });
  }

  void stopPlaying() {
    stop.raise();
    if (thread.joinable()) thread.join();
  }

  ~Playback() { stopPlaying(); }
};

InstrumentSimulator::InstrumentSimulator() : playback_(std::make_unique<Playback>()) {}

InstrumentSimulator::~InstrumentSimulator() = default;

std::string InstrumentSimulator::devicePath() const { return playback_->terminal.devicePath(); }

std::string InstrumentSimulator::terminalPath() const { return playback_->terminal.terminalPath(); }

void InstrumentSimulator::playTotalStation(std::vector<QByteArray> chunks, std::chrono::milliseconds gap) {
  playback_->start(SimulatorRecord::Instrument::TotalStation,
                   [chunks = std::move(chunks), gap](InstrumentLine& line) { playTotalStationScript(line, chunks, gap); });
}

void InstrumentSimulator::playLevel(std::vector<QByteArray> beforeHeader, std::vector<QByteArray> chunks,
                                    std::chrono::milliseconds gap, std::chrono::milliseconds ackTimeout) {
  SimulatorRecord& record = playback_->record;
  LevelPlayback playback{std::move(beforeHeader), std::move(chunks), gap, ackTimeout};
  playback_->start(SimulatorRecord::Instrument::Level, [&record, playback = std::move(playback)](InstrumentLine& line) {
    playLevelScript(line, record, playback);
  });
}

bool InstrumentSimulator::waitUntilDone(std::chrono::milliseconds timeout) {
  return playback_->record.waitUntilFinished(timeout);
}

bool InstrumentSimulator::waitUntilDrained(std::chrono::milliseconds timeout) {
  // Bytes written to the master may still be on their way into the slave's queue for a moment,
  // so the queue must stay empty for a few looks in a row.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int emptyLooks = 0;
  while (emptyLooks < 3) {
    const int unread = playback_->terminal.unreadBytes();
    if (unread < 0) return false;
    emptyLooks = unread == 0 ? emptyLooks + 1 : 0;
    if (emptyLooks < 3 && std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

void InstrumentSimulator::hangUp() {
  playback_->stopPlaying();
  playback_->record.finish();
  playback_->terminal.hangUp();
}

QByteArray InstrumentSimulator::received() const { return playback_->record.received(); }

QByteArray InstrumentSimulator::sent() const { return playback_->record.sent(); }

int InstrumentSimulator::acknowledgementCount() const { return playback_->record.acknowledgementCount(); }

std::string InstrumentSimulator::failure() const { return playback_->record.failure(); }

bool InstrumentSimulator::answeredBeforeHeader() const { return playback_->record.answeredBeforeHeader(); }

}  // namespace korvane::testing
