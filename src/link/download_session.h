#pragma once
// What one download receives, tick by tick: the chunk read from the port, the buffer of all
// received text, the DL-100C handshake and the end test.

#include <QString>
#include <optional>

#include "link/series.h"
#include "link/serial_port.h"
#include "text/cp950.h"

namespace korvane::link {

// Control characters and markers of the download.
inline constexpr QChar kEot = QChar(4);
inline const QString kLevelHeader = QStringLiteral("A,01,Z,");
inline const QString kLevelEndLine = QStringLiteral("Z,&,\r\n");
inline const QByteArray kLevelAcknowledgement = QByteArray("\x06,R,\r\n", 6);
inline const QString kHandshakeWaiting = QStringLiteral("NO");
inline const QString kHandshakeGo = QStringLiteral("GO");

// Poll interval of a download for a series; none for a text that names no series (the
// interval then stays as it was).
std::optional<int> downloadPollInterval(Series series);

class DownloadSession {
 public:
  explicit DownloadSession(SerialPort& port);

  // A new download: empties the buffer; a DL-100C download waits for the level's header.
  void begin(Series series);

  // One poll. `seriesText` is the list text at this tick: only a text that is exactly the
  // DL-100C name takes part in the handshake. Returns true when the end of data has arrived,
  // once the remaining bytes have been flushed into the buffer. Throws Failure.
  bool tick(const QString& seriesText);
  // The download broke off before its end: a byte still waiting for the rest of its Big5
  // character joins the buffer (as an unreadable byte).
  void endEarly();

  const QString& receivedChunk() const { return receivedChunk_; }
  const QString& dataBuffer() const { return dataBuffer_; }
  const QString& levelHandshake() const { return levelHandshake_; }
  // The buffer with leading and trailing spaces removed: the text the workspace shows.
  QString resultText() const;
  // Bytes read from the port in this download, header or not.
  qint64 bytesReceived() const { return rawBytes_.size(); }
  // Every byte read from the port in this download, in arrival order, exactly as it came.
  const QByteArray& rawBytes() const { return rawBytes_; }
  // The size of the result text in code page 950: what the workspace keeps of the download.
  qint64 keptBytes() const;
  // Bytes that had no code page 950 reading; they stand as U+FFFD in the text.
  int undecodableBytes() const { return decoder_.undecodableByteCount(); }

 private:
  SerialPort& port_;
  text::Cp950Decoder decoder_;
  QString receivedChunk_;
  QString dataBuffer_;
  QString levelHandshake_;
  QByteArray rawBytes_;
};

}  // namespace korvane::link
