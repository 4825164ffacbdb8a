#pragma once
// How the network analysis window sees a run of the analysis: started, it reports its stage and
// the share done, and ends with its outcome, all on the window's thread; it can be cancelled.
// The window knows nothing more of it, so a test may run it however it likes.

#include <functional>

#include "workbench/network_analysis_job.h"
#include "workbench/threaded_runner.h"

namespace korvane::workbench {

class NetworkAnalysisRunner {
 public:
  struct Handlers {
    std::function<void(const QString& stage, double done)> progress;
    std::function<void(const NetworkAnalysisOutcome& outcome)> finished;
  };

  virtual ~NetworkAnalysisRunner() = default;
  // Starts a run; false (and nothing started) while a run is still going.
  virtual bool start(const NetworkAnalysisRequest& request, Handlers handlers) = 0;
  // Asks the run to stop; it ends soon after with a Cancelled outcome.
  virtual void cancel() = 0;
  virtual bool isRunning() const = 0;
};

// Runs each analysis on a thread of its own, so that the window never waits for it.
class ThreadedNetworkAnalysisRunner
    : public ThreadedRunner<NetworkAnalysisRunner, NetworkAnalysisRequest, NetworkAnalysisOutcome> {
 public:
  explicit ThreadedNetworkAnalysisRunner(Job job = runNetworkAnalysis) : ThreadedRunner(std::move(job)) {}
};

}  // namespace korvane::workbench
