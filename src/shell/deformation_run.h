#pragma once
// One monitoring run as the deformation window asks for it: the epochs (date and source, as the
// surveyor listed them) and the options; what comes of it; the run itself, which reads every
// epoch's source, builds its network and hands them to the monitoring, on any thread. And how
// the window sees a run: started, it reports its stage and share done and ends with its outcome
// on the window's thread; it can be cancelled.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "analyse.h"
#include "deformation.h"
#include "workbench/threaded_runner.h"

namespace korvane::shell {

struct EpochEntry {
  QString date;    // YYYY-MM-DD
  QString source;  // "db:PATH" or a file korvane reads
};

struct DeformationRequest {
  std::vector<EpochEntry> epochs;
  deformation::DeformationOptions options;
};

struct DeformationOutcome {
  enum class Kind {
    Done,       // `result` holds the monitoring
    Failed,     // `problem` says why, naming the epoch or the benchmarks
    Cancelled,
  };
  Kind kind = Kind::Cancelled;
  std::shared_ptr<const deformation::DeformationResult> result;
  QString problem;
};

// The share of the run spent reading the epochs' sources; the monitoring takes the rest.
inline constexpr double kReadingShare = 0.1;

// Reads each epoch's source and runs the monitoring. Never throws: a source that cannot be read
// is a Failed outcome naming the epoch's date and source.
DeformationOutcome runDeformation(const DeformationRequest& request, const analysis::Progress& progress);

class DeformationRunner {
 public:
  struct Handlers {
    std::function<void(const QString& stage, double done)> progress;
    std::function<void(const DeformationOutcome& outcome)> finished;
  };

  virtual ~DeformationRunner() = default;
  // Starts a run; false (and nothing started) while a run is still going.
  virtual bool start(const DeformationRequest& request, Handlers handlers) = 0;
  // Asks the run to stop; it ends soon after with a Cancelled outcome.
  virtual void cancel() = 0;
  virtual bool isRunning() const = 0;
};

// Runs each monitoring on a thread of its own, so that the window never waits for it.
class ThreadedDeformationRunner
    : public workbench::ThreadedRunner<DeformationRunner, DeformationRequest, DeformationOutcome> {
 public:
  explicit ThreadedDeformationRunner(Job job = runDeformation) : ThreadedRunner(std::move(job)) {}
};

}  // namespace korvane::shell
