#pragma once
// The download command, its timer tick and its interrupt, as the window and the command line
// both run them.

#include <QString>

#include "common/messages.h"
#include "common/poll_timer.h"
#include "link/download_session.h"
#include "link/port_connection.h"
#include "link/raw_capture.h"
#include "link/transfer_surface.h"

namespace korvane::link {

// What a download needs of the window around it.
class DownloadSurface : public virtual TransferSurface {
 public:
  virtual void setDownloadBreakEnabled(bool enabled) = 0;
  // Bytes received so far by the running download; -1 when none runs any more.
  virtual void showDownloadProgress(qint64 bytesReceived) = 0;
};

inline const QString kDownloadWaitingText = QStringLiteral(" DownLoad Now !! Please Waiting...");
inline const QString kDownloadFinished = QStringLiteral("下載完畢");
inline const QString kDownloadInterrupted = QStringLiteral("下載中斷");

// The notice that follows "下載完畢" when some received bytes were no code page 950 text.
QString undecodableBytesNotice(int count);

// The message of a download whose line failed before the end of data arrived: `reason` is the
// failure's own description, `keptBytes` the size of the text kept.
QString brokenOffNotice(qint64 keptBytes, const QString& reason);

// How the last download ended.
enum class DownloadOutcome {
  None,         // no download has started (or the port could not be opened)
  Running,      // still receiving
  Finished,     // the end of data arrived
  Interrupted,  // the user interrupted it
  BrokenOff,    // the line failed before the end of data; what arrived is kept
};

class DownloadTransfer {
 public:
  DownloadTransfer(PortConnection& connection, PollTimer& timer, DownloadSurface& surface);

  // Where the raw bytes of each download go, as they arrive; none by default. The capture
  // is begun by every download that opens the port and finished when it ends.
  void setRawCapture(RawCapture* capture) { capture_ = capture; }

  // The download command: configures and opens the port, clears the buffer and the workspace,
  // starts polling. Failures are shown; steps already done stay done.
  void start();
  // One tick of the poll timer. A tick that arrives while an earlier one is still running (its
  // message box open) does nothing, and the end of a download is handled once. When the line
  // fails, everything received is kept: the workspace shows it, the port is closed and the
  // buttons go back to idle.
  void tick();
  // The interrupt command.
  void interrupt();

  bool isRunning() const { return timer_.isEnabled(); }
  DownloadOutcome outcome() const { return outcome_; }
  const DownloadSession& session() const { return session_; }

 private:
  void finish();
  void breakOff(const QString& reason);
  void captureNewBytes();
  void endCapture();

  PortConnection& connection_;
  PollTimer& timer_;
  DownloadSurface& surface_;
  DownloadSession session_;
  RawCapture* capture_ = nullptr;
  qint64 captured_ = 0;
  qint64 shownBytes_ = -1;
  DownloadOutcome outcome_ = DownloadOutcome::None;
  bool inTick_ = false;
};

}  // namespace korvane::link
