#pragma once
// What happened on the line during one playback, shared between the playing thread and the test.
// Every member is safe to call from any thread.

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

namespace korvane::testing {

class SimulatorRecord {
 public:
  enum class Instrument { TotalStation, Level };

  // A playback begins. A total station listens from the start; a level from its header on.
  void begin(Instrument instrument);
  // The level is about to write its header: everything received so far came before it.
  // Returns the offset in received() where the level starts reading replies.
  qsizetype markHeader();
  // Playback is over (completed, failed or stopped).
  void finish();
  bool waitUntilFinished(std::chrono::milliseconds timeout);

  void addReceived(const char* data, qsizetype size);
  void addSent(const char* data, qsizetype size);
  // Keeps the first failure only.
  void fail(const std::string& message);

  // The next complete reply line at `cursor` (see takeLine), advancing `cursor`.
  std::optional<QByteArray> takeReplyLine(qsizetype& cursor) const;

  QByteArray received() const;
  qsizetype receivedSize() const;
  QByteArray sent() const;
  int acknowledgementCount() const;
  bool answeredBeforeHeader() const;
  std::string failure() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable finishedChanged_;
  bool begun_ = false;
  bool finished_ = false;
  Instrument instrument_ = Instrument::TotalStation;
  std::optional<qsizetype> listeningFrom_;
  QByteArray received_;
  QByteArray sent_;
  std::string failure_;
};

}  // namespace korvane::testing
