#pragma once
// The upload command, its timer tick and its interrupt: the workspace is sent from the top, one
// line per tick, and shows the lines not yet sent.

#include <QString>

#include "common/poll_timer.h"
#include "link/port_connection.h"
#include "link/transfer_surface.h"
#include "link/upload_records.h"

namespace korvane::link {

class UploadSurface : public virtual TransferSurface {
 public:
  virtual QString workspaceText() const = 0;
  virtual UploadOption uploadOption() const = 0;
  virtual void setUploadBreakEnabled(bool enabled) = 0;
  // Lines sent so far and lines still in the workspace; both -1 when no upload runs.
  virtual void showUploadProgress(int sent, int remaining) = 0;
  // Where the L14 conversion writes its scratch file.
  virtual QString programFolder() const = 0;
  virtual void yieldToEvents() = 0;
};

inline const QString kUploadFinished = QStringLiteral("上傳完畢");
inline const QString kUploadInterrupted = QStringLiteral("上傳中斷");

// Lines left in a workspace text (those with anything but spaces).
int remainingLines(const QString& workspace);

class UploadTransfer {
 public:
  UploadTransfer(PortConnection& connection, PollTimer& timer, UploadSurface& surface);

  void start();      // cUpload
  void tick();       // TimerUPload
  void interrupt();  // cUploadBreak

  bool isRunning() const { return timer_.isEnabled(); }
  const QString& uploadLine() const { return uploadLine_; }
  const QString& lastLineFlag() const { return lastLineFlag_; }
  const Gts200Blocks& blocks() const { return blocks_; }

 private:
  // One tick of each series; true when the upload has finished.
  bool tickGts600();
  bool tickGts200();
  void finishGts600();
  void finishGts200(const QString& rest);
  void endUpload();
  void send(const QString& text);
  void showProgress();

  PortConnection& connection_;
  PollTimer& timer_;
  UploadSurface& surface_;
  QString uploadLine_;
  QString lastLineFlag_;
  Gts200Blocks blocks_;
  int linesSent_ = 0;
  bool inTick_ = false;
};

}  // namespace korvane::link
