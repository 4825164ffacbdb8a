#pragma once
// The serial port as the transfers use it: open with a settings text such as "9600,N,8,1",
// read all characters waiting (possibly none), write bytes unchanged, close.

#include <QByteArray>
#include <QString>

namespace korvane::link {

// Output buffer size the port configuration asks for.
inline constexpr int kOutputBufferSize = 1516;

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens `device` with `settings` ("baud,parity letter,data bits,stop bits"); throws Failure.
  virtual void open(const QString& device, const QString& settings) = 0;
  virtual bool isOpen() const = 0;
  virtual void close() = 0;
  // All bytes waiting at the port; throws Failure when the port is closed or has failed.
  virtual QByteArray readAll() = 0;
  // Sends the bytes unchanged; throws Failure when the port is closed or has failed.
  virtual void write(const QByteArray& bytes) = 0;
};

}  // namespace korvane::link
