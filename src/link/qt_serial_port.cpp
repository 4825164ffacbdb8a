#include "link/qt_serial_port.h"

#include "common/failure.h"
#include "link/line_settings.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace korvane::link {
namespace {

// How long closing waits for bytes still on their way out (an acknowledgement, an end frame).
constexpr int kDrainOnCloseMs = 500;

// Whether the other end of the line has hung up (a pseudo-terminal whose other side closed, a
// USB adapter that was pulled). The port's own error text says nothing useful then.
bool hungUp(const QSerialPort& port) {
#ifdef Q_OS_UNIX
  pollfd line{static_cast<int>(port.handle()), POLLIN, 0};
  return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
  Q_UNUSED(port);
  return false;
#endif
}

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
  // Takes in what the device holds now, without waiting, then everything buffered. Bytes that
  // came before a failure are handed out first; the failure waits for the next read.
  port_.waitForReadyRead(0);
  if (port_.error() == QSerialPort::TimeoutError) port_.clearError();
  QByteArray bytes = port_.readAll();
  if (bytes.isEmpty()) throwIfFailed("讀取");
  return bytes;
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
  const QString what = QString::fromUtf8(action);
  if (hungUp(port_)) {
    throw LinkLost(QStringLiteral("連接埠 %1 %2失敗：對方已關閉連線（纜線拔除或儀器關機）").arg(port_.portName(), what));
  }
  const QString reason = port_.errorString();
  port_.clearError();
  const QString description = QStringLiteral("連接埠 %1 %2失敗：%3").arg(port_.portName(), what, reason);
  // A read that fails, or a device that went away, ends the line for good.
  if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) throw LinkLost(description);
  throw Failure(description);
}

}  // namespace korvane::link
