#pragma once
// The host's end of a serial line opened with plain POSIX calls (O_RDWR | O_NOCTTY, raw mode),
// for tests that talk to an InstrumentSimulator without Qt.

#include <QByteArray>

#include <chrono>
#include <functional>
#include <string>

namespace korvane::testing {

class PosixHostPort {
 public:
  // Throws std::runtime_error when the device cannot be opened.
  explicit PosixHostPort(const std::string& devicePath);
  ~PosixHostPort();

  PosixHostPort(const PosixHostPort&) = delete;
  PosixHostPort& operator=(const PosixHostPort&) = delete;

  // Writes every byte; throws std::runtime_error on failure.
  void write(const QByteArray& bytes);

  // Reads until what has been read so far satisfies `enough`, or the timeout passes; returns
  // what was read either way.
  QByteArray readUntil(const std::function<bool(const QByteArray&)>& enough, std::chrono::milliseconds timeout);
  // Reads until at least `count` bytes have come.
  QByteArray readAtLeast(qsizetype count, std::chrono::milliseconds timeout);
  // Reads until `byte` has come.
  QByteArray readThrough(char byte, std::chrono::milliseconds timeout);
  // Reads whatever comes during `duration`.
  QByteArray readFor(std::chrono::milliseconds duration);

 private:
  int fd_ = -1;
};

}  // namespace korvane::testing
