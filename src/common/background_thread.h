#pragma once
// Work that must not freeze a window, on a thread of its own: one piece at a time, and what it
// hands back is called on the thread that owns the BackgroundThread (the window's), in order.
//
// The work learns that it should stop through `stopRequested()`, which it reads between its
// steps; the owner sets it with `requestStop()`. Destroying the BackgroundThread asks the work to
// stop and waits for it, and drops whatever the work posted that has not yet been called.

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

namespace korvane {

class BackgroundThread {
 public:
  BackgroundThread();
  ~BackgroundThread();
  BackgroundThread(const BackgroundThread&) = delete;
  BackgroundThread& operator=(const BackgroundThread&) = delete;

  // Starts `work` on a new thread once the previous work has ended (waiting for it if it is
  // still finishing); clears the stop request first.
  void run(std::function<void()> work);
  // From the work: calls `call` on the owner's thread, later, unless the BackgroundThread is
  // gone by then.
  void post(std::function<void()> call);

  void requestStop() { stop_.store(true); }
  const std::atomic<bool>& stopFlag() const { return stop_; }
  bool stopRequested() const { return stop_.load(); }
  // True from run() until the work has returned.
  bool isWorking() const { return thread_ && !thread_->isFinished(); }
  // Blocks until the work has returned (for tests and shutdown).
  void wait();

 private:
  std::unique_ptr<QObject> receiver_;  // lives on the owner's thread
  std::unique_ptr<QThread> thread_;
  std::atomic<bool> stop_{false};
};

}  // namespace korvane
