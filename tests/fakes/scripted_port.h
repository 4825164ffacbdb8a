#pragma once
// A serial port that hands out scripted chunks, one per read, and records what is written.

#include <QByteArray>
#include <deque>

#include "common/failure.h"
#include "link/serial_port.h"

namespace korvane::testing {

class ScriptedPort : public link::SerialPort {
 public:
  void open(const QString& device, const QString& settings) override {
    if (!openError.isEmpty()) throw Failure(openError);
    openedDevice = device;
    openedSettings = settings;
    open_ = true;
    ++openCount;
  }
  bool isOpen() const override { return open_; }
  void close() override { open_ = false; }
  QByteArray readAll() override {
    if (!open_) throw Failure(QStringLiteral("port closed"));
    if (!readError.isEmpty()) throw Failure(readError);
    if (chunks.empty() && !lostAfterChunks.isEmpty()) throw link::LinkLost(lostAfterChunks);
    if (chunks.empty()) return {};
    QByteArray chunk = chunks.front();
    chunks.pop_front();
    return chunk;
  }
  void write(const QByteArray& bytes) override {
    if (!open_) throw Failure(QStringLiteral("port closed"));
    written += bytes;
    ++writeCount;
  }

  std::deque<QByteArray> chunks;  // one per read; an empty one is a read with nothing waiting
  QByteArray written;
  int writeCount = 0;
  int openCount = 0;
  QString openedDevice;
  QString openedSettings;
  QString openError;
  QString readError;
  // Once the chunks are used up, every read finds the line gone with this description.
  QString lostAfterChunks;

 private:
  bool open_ = false;
};

}  // namespace korvane::testing
