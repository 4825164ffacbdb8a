#include "workbench/network_analysis_runner.h"

namespace korvane::workbench {

ThreadedNetworkAnalysisRunner::ThreadedNetworkAnalysisRunner(Job job) : job_(std::move(job)) {}

bool ThreadedNetworkAnalysisRunner::start(const NetworkAnalysisRequest& request, Handlers handlers) {
  if (running_) return false;
  running_ = true;
  thread_.run([this, request, handlers = std::move(handlers)] {
    analysis::Progress progress;
    progress.cancel = &thread_.stopFlag();
    progress.report = [this, &handlers](std::string_view stage, double done) {
      thread_.post([progress = handlers.progress, stage = QString::fromUtf8(stage.data(), qsizetype(stage.size())),
                    done] {
        if (progress) progress(stage, done);
      });
    };
    NetworkAnalysisOutcome outcome = job_(request, progress);
    thread_.post([this, finished = handlers.finished, outcome = std::move(outcome)] {
      running_ = false;
      if (finished) finished(outcome);
    });
  });
  return true;
}

}  // namespace korvane::workbench
