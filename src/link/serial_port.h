#pragma once
// The serial port as the transfers use it: open with a settings text such as "9600,N,8,1",
// read all characters waiting (possibly none), write bytes unchanged, close.

#include <QByteArray>
#include <QString>

#include "common/failure.h"

namespace korvane::link {

// The line has gone away: the other end closed it, the cable was pulled or the instrument was
// switched off. Nothing more will arrive on it.
class LinkLost : public Failure {
 public:
  using Failure::Failure;
};

// Output buffer size the port configuration asks for.
inline constexpr int kOutputBufferSize = 1516;

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens `device` with `settings` ("baud,parity letter,data bits,stop bits"); throws Failure.
  virtual void open(const QString& device, const QString& settings) = 0;
  virtual bool isOpen() const = 0;
  virtual void close() = 0;
  // All bytes waiting at the port. Bytes that arrived before the line failed are still handed
  // out; the read after them throws LinkLost (Failure when the port is closed).
  virtual QByteArray readAll() = 0;
  // Sends the bytes unchanged; throws LinkLost when the line has gone away, Failure when the
  // port is closed or has failed otherwise.
  virtual void write(const QByteArray& bytes) = 0;
};

}  // namespace korvane::link
