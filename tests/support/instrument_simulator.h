#pragma once
// A surveying instrument on a serial line, for tests and demos.
//
// The simulator plays the instrument on the master side of a pseudo-terminal; the host (Korvane,
// through QSerialPort, or a test with plain POSIX calls) opens devicePath() like any serial port.
// One playback per simulator, in a background thread. While it plays, and afterwards until the
// simulator is destroyed, every byte the host sends is collected in received().

#include <QByteArray>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace korvane::testing {

class InstrumentSimulator {
 public:
  // Opens the pseudo-terminal. Throws std::runtime_error on failure.
  InstrumentSimulator();
  // Stops any playback and closes the line.
  ~InstrumentSimulator();

  InstrumentSimulator(const InstrumentSimulator&) = delete;
  InstrumentSimulator& operator=(const InstrumentSimulator&) = delete;

  // What the host opens: a link in a private temporary directory, e.g. /tmp/korvane-sim-Ab12Cd/ttySIM0.
  std::string devicePath() const;
  // The pseudo-terminal behind it, e.g. /dev/pts/7.
  std::string terminalPath() const;

  // GTS-200 / GTS-600 total station: writes each chunk exactly as given, `gap` between chunks.
  // It reads nothing. Throws std::logic_error when the simulator has played already.
  void playTotalStation(std::vector<QByteArray> chunks, std::chrono::milliseconds gap = std::chrono::milliseconds(150));

  // A total station receiving an upload: sends nothing and collects what the host sends.
  void listen() { playTotalStation({}, std::chrono::milliseconds(0)); }

  // DL-100C level: writes the `beforeHeader` chunks (`gap` between them, none answered by a good
  // host), waits `gap`, then writes each of `chunks` (the header "A,01,Z,..." first, "Z,&,\r\n"
  // last) and after each waits up to `ackTimeout` for one acknowledgement line 06 2C 52 2C 0D 0A
  // before the next. A missing or wrong reply is recorded in failure() and ends the playback. The
  // acknowledgement of the last chunk is accepted for a short while but not required. Chunks are
  // counted from 1, the header being chunk 1. Throws std::logic_error when the simulator has
  // played already.
  void playLevel(std::vector<QByteArray> beforeHeader, std::vector<QByteArray> chunks,
                 std::chrono::milliseconds gap = std::chrono::milliseconds(250),
                 std::chrono::milliseconds ackTimeout = std::chrono::seconds(5));

  // True once the playback is over (all chunks written, for a level also the last
  // acknowledgement awaited, or a failure); false on timeout or when nothing was played.
  bool waitUntilDone(std::chrono::milliseconds timeout);

  // True once the host has read every byte the instrument wrote (nothing waits on the line),
  // false when `timeout` passes first or the line has hung up.
  bool waitUntilDrained(std::chrono::milliseconds timeout);

  // The instrument goes away as a pulled cable or a switched-off instrument would: the playback
  // stops and the line hangs up. The host's reads then find the line gone and its writes fail;
  // bytes it had not read yet are lost, as on a real line. received() and sent() stay.
  void hangUp();

  // Every byte the host has sent so far.
  QByteArray received() const;
  // Every byte the instrument has written so far.
  QByteArray sent() const;
  // Complete acknowledgement lines the host sent: for a level from its header on, for a total
  // station from the start of the playback.
  int acknowledgementCount() const;
  // Empty when all went as expected, else e.g. "no acknowledgement after chunk 3".
  std::string failure() const;
  // For a level: whether any byte came from the host before the header was written.
  bool answeredBeforeHeader() const;

 private:
  struct Playback;
  std::unique_ptr<Playback> playback_;
};

}  // namespace korvane::testing
