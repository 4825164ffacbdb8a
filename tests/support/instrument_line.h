#pragma once
// The instrument's end of the serial line: the pseudo-terminal master, driven by the playing
// thread. Whatever the host sends is read into the record whenever the instrument writes or
// waits, just as a real instrument's receive buffer fills while it is busy.

#include <QByteArray>

#include <chrono>
#include <functional>
#include <string>

namespace korvane::testing {

class SimulatorRecord;

class InstrumentLine {
 public:
  using Clock = std::chrono::steady_clock;

  // `masterFd` must be non-blocking; `stopFd` becomes readable when the playback must stop.
  InstrumentLine(int masterFd, int stopFd, SimulatorRecord& record);

  // False once asked to stop or once the terminal failed (the failure is recorded).
  bool ok() const { return !stopped_ && !broken_; }

  // Writes every byte. False when the line is no longer ok.
  bool write(const QByteArray& bytes);
  // Keeps reading until `ready` holds (true) or the deadline passes (false). `ready` is checked
  // first and after every read; an empty `ready` never holds.
  bool waitUntil(const std::function<bool()>& ready, Clock::time_point deadline);
  // Keeps reading for `duration`. False when the line is no longer ok.
  bool pause(std::chrono::milliseconds duration);
  // Reads whatever has arrived, without waiting.
  void drain();
  // Keeps reading until asked to stop.
  void listenUntilStopped();

 private:
  // Waits up to `timeoutMs` (-1: no limit) for input, the stop signal or, when `wantWrite`,
  // room to write. Returns true when there is room to write.
  bool service(int timeoutMs, bool wantWrite);
  void breakWith(const std::string& message);

  int master_;
  int stop_;
  SimulatorRecord& record_;
  bool stopped_ = false;
  bool broken_ = false;
};

}  // namespace korvane::testing
