#pragma once
// The bytes of a download exactly as they came off the line (no decoding, no line-end changes),
// written to a file as they arrive, so that the capture survives whatever happens afterwards.

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <optional>

namespace korvane::link {

// The file in the program folder that keeps the raw bytes of the window's last download.
inline const QString kLastDownloadRawFile = QStringLiteral("last-download.raw");

class RawCapture {
 public:
  explicit RawCapture(QString path);

  // Creates the file, or empties it. A failure is kept (see failure()) and ends the capture.
  void begin();
  // Adds the bytes at the end of the file and flushes them out.
  void append(QByteArrayView bytes);
  // Closes the file.
  void finish();

  const QString& path() const { return path_; }
  // Why the file could not be written, naming it; nothing when all went well.
  const std::optional<QString>& failure() const { return failure_; }

 private:
  void fail(const QString& action);

  QString path_;
  QFile file_;
  std::optional<QString> failure_;
};

}  // namespace korvane::link
