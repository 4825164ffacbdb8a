#pragma once
// The settings text of a serial port ("9600,N,8,1", "1200,E,7,2") taken apart.

#include <QSerialPort>
#include <QString>

namespace korvane::link {

struct LineSettings {
  qint32 baudRate = 9600;
  QSerialPort::Parity parity = QSerialPort::NoParity;
  QSerialPort::DataBits dataBits = QSerialPort::Data8;
  QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Reads a settings text; throws Failure naming the text when any of its four fields is invalid.
LineSettings parseLineSettings(const QString& settings);

}  // namespace korvane::link
