#include "link/qt_serial_port.h"

#include "common/failure.h"
#include "link/line_settings.h"

namespace korvane::link {
namespace {

// How long closing waits for bytes still on their way out (an acknowledgement, an end frame).
constexpr int kDrainOnCloseMs = 500;

}  // namespace

QtSerialPort::QtSerialPort() = default;

QtSerialPort::~QtSerialPort() { close(); }

void QtSerialPort::open(const QString& device, const QString& settings) {
  // The line settings are applied before the port opens: some devices (pseudo-terminals among
  // them) refuse 7 data bits once open but accept them preset.
  const LineSettings line = parseLineSettings(settings);
  if (port_.isOpen()) port_.close();
  port_.setPortName(device);
  port_.setBaudRate(line.baudRate);
  port_.setDataBits(line.dataBits);
  port_.setParity(line.parity);
  port_.setStopBits(line.stopBits);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    const QString reason = port_.errorString();
    port_.clearError();
    throw Failure(QStringLiteral("無法開啟連接埠 %1（%2）：%3").arg(device, settings, reason));
  }
}

bool QtSerialPort::isOpen() const { return port_.isOpen(); }

void QtSerialPort::close() {
  if (!port_.isOpen()) return;
  if (port_.bytesToWrite() > 0) port_.waitForBytesWritten(kDrainOnCloseMs);
  port_.close();
  port_.clearError();
}

QByteArray QtSerialPort::readAll() {
  if (!port_.isOpen()) throw Failure(QStringLiteral("連接埠未開啟"));
  // Takes in what the device holds now, without waiting, then everything buffered.
  port_.waitForReadyRead(0);
  if (port_.error() == QSerialPort::TimeoutError) port_.clearError();
  throwIfFailed("讀取");
  return port_.readAll();
}

void QtSerialPort::write(const QByteArray& bytes) {
  if (!port_.isOpen()) throw Failure(QStringLiteral("連接埠未開啟"));
  if (port_.write(bytes) != bytes.size()) throwIfFailed("傳送");
  port_.flush();
  throwIfFailed("傳送");
}

void QtSerialPort::throwIfFailed(const char* action) {
  const QSerialPort::SerialPortError error = port_.error();
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
  const QString reason = port_.errorString();
  port_.clearError();
  throw Failure(QStringLiteral("連接埠 %1 %2失敗：%3").arg(port_.portName(), QString::fromUtf8(action), reason));
}

}  // namespace korvane::link
