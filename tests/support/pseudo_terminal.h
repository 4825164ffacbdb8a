#pragma once
// A pseudo-terminal pair standing in for a serial line.
//
// The instrument plays on the master side; the host opens the slave device like any serial port.
// The slave is put into raw mode (no echo, no line editing, 8-bit bytes) and kept open for the
// whole life of the object, so the line never hangs up when the host closes its end: reading the
// master then simply finds nothing.
//
// The host is given a symbolic link in a fresh private directory (e.g.
// /tmp/korvane-sim-Ab12Cd/ttySIM0) rather than /dev/pts/N itself. QSerialPort names its lock file
// after the path it opens; pts numbers are reused, so a lock file left behind by a crashed run of
// another user could block /dev/pts/N, whereas the link's name is never reused.

#include <string>

namespace korvane::testing {

class PseudoTerminal {
 public:
  // Throws std::runtime_error when the terminal or its link cannot be made.
  PseudoTerminal();
  ~PseudoTerminal();

  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // The master side: non-blocking, close-on-exec.
  int masterFd() const { return master_; }
  // The link the host opens.
  const std::string& devicePath() const { return link_; }
  // The slave device itself, e.g. /dev/pts/7.
  const std::string& terminalPath() const { return terminal_; }

  // Bytes the master has written that no one has read from the slave yet; -1 once hung up.
  int unreadBytes() const;
  // Closes the master: the line hangs up as a pulled cable would. The host's reads find the end
  // of the line, its writes fail, and bytes it had not read yet are gone.
  void hangUp() noexcept;

 private:
  void release() noexcept;

  int master_ = -1;
  int slave_ = -1;
  std::string terminal_;
  std::string directory_;
  std::string link_;
};

}  // namespace korvane::testing
