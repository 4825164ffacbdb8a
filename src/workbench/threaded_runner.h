#pragma once
// A run of a long job (an analysis, a monitoring) on a thread of its own, as a window's runner
// interface `Base` asks for it: its progress and its outcome are handed to the window's thread,
// and a cancel sets the flag the job reads. `Base` declares Handlers (progress, finished) and the
// pure start, cancel and isRunning.

#include <QString>
#include <functional>
#include <string_view>

#include "analyse.h"
#include "common/background_thread.h"

namespace korvane::workbench {

template <typename Base, typename Request, typename Outcome>
class ThreadedRunner : public Base {
 public:
  using Job = std::function<Outcome(const Request&, const analysis::Progress&)>;
  using Handlers = typename Base::Handlers;

  explicit ThreadedRunner(Job job) : job_(std::move(job)) {}

  bool start(const Request& request, Handlers handlers) override {
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
      Outcome outcome = job_(request, progress);
      thread_.post([this, finished = handlers.finished, outcome = std::move(outcome)] {
        running_ = false;
        if (finished) finished(outcome);
      });
    });
    return true;
  }
  void cancel() override { thread_.requestStop(); }
  bool isRunning() const override { return running_; }

 private:
  Job job_;
  bool running_ = false;  // until the outcome has been handed over
  BackgroundThread thread_;
};

}  // namespace korvane::workbench
