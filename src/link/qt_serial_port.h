#pragma once
// The serial port on a real device, through QSerialPort.

#include <QSerialPort>

#include "link/serial_port.h"

namespace korvane::link {

class QtSerialPort : public SerialPort {
 public:
  QtSerialPort();
  ~QtSerialPort() override;

  void open(const QString& device, const QString& settings) override;
  bool isOpen() const override;
  void close() override;
  QByteArray readAll() override;
  void write(const QByteArray& bytes) override;

 private:
  void throwIfFailed(const char* action);
  QSerialPort port_;
};

}  // namespace korvane::link
