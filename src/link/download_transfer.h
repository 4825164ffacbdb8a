#pragma once
// The download command, its timer tick and its interrupt, as the window and the command line
// both run them.

#include <QString>

#include "common/messages.h"
#include "common/poll_timer.h"
#include "link/download_session.h"
#include "link/port_connection.h"
#include "link/transfer_surface.h"

namespace korvane::link {

// What a download needs of the window around it.
class DownloadSurface : public virtual TransferSurface {
 public:
  virtual void setDownloadBreakEnabled(bool enabled) = 0;
};

inline const QString kDownloadWaitingText = QStringLiteral(" DownLoad Now !! Please Waiting...");
inline const QString kDownloadFinished = QStringLiteral("下載完畢");
inline const QString kDownloadInterrupted = QStringLiteral("下載中斷");

// The notice that follows "下載完畢" when some received bytes were no code page 950 text.
QString undecodableBytesNotice(int count);

class DownloadTransfer {
 public:
  DownloadTransfer(PortConnection& connection, PollTimer& timer, DownloadSurface& surface);

  // The download command: configures and opens the port, clears the buffer and the workspace,
  // starts polling. Failures are shown; steps already done stay done.
  void start();
  // One tick of the poll timer. A tick that arrives while an earlier one is still running (its
  // message box open) does nothing, and the end of a download is handled once.
  void tick();
  // The interrupt command.
  void interrupt();

  bool isRunning() const { return timer_.isEnabled(); }
  const DownloadSession& session() const { return session_; }

 private:
  void finish();
  void fail(const QString& description);

  PortConnection& connection_;
  PollTimer& timer_;
  DownloadSurface& surface_;
  DownloadSession session_;
  bool inTick_ = false;
};

}  // namespace korvane::link
