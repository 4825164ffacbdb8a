#include "shell/deformation_run.h"

#include "chinese_sentences.h"

#include <algorithm>

#include "analysis_failure.h"
#include "app/epoch_sources.h"
#include "input_error.h"
#include "network.h"

namespace korvane::shell {
namespace {

QString inChinese(const char* failure) { return QString::fromStdString(analysis::failureInChinese(failure)); }

}  // namespace

namespace {

DeformationOutcome failed(const QString& problem) {
  DeformationOutcome outcome;
  outcome.kind = DeformationOutcome::Kind::Failed;
  outcome.problem = problem;
  return outcome;
}

}  // namespace

DeformationOutcome runDeformation(const DeformationRequest& request, const analysis::Progress& progress) {
  const auto report = [&](std::string_view stage, double done) {
    if (progress.report) progress.report(stage, done);
  };
  const auto pause = [&] {
    if (progress.cancel && progress.cancel->load()) throw analysis::AnalysisCancelled{};
  };
  try {
    std::vector<deformation::EpochInput> epochs;
    const int count = int(request.epochs.size());
    for (int i = 0; i < count; ++i) {
      const EpochEntry& entry = request.epochs[i];
      report("reading", kReadingShare * i / std::max(1, count));
      pause();
      try {
        analysis::NetworkRows rows = app::readEpochSource(entry.source);
        epochs.push_back({entry.date.toStdString(), entry.source.toStdString(), analysis::buildNetwork(rows)});
      } catch (const std::exception& error) {
        return failed(QStringLiteral("第 %1 期（%2，%3）無法讀取：%4")
                          .arg(i + 1)
                          .arg(entry.date, entry.source, inChinese(error.what())));
      }
    }
    analysis::Progress inner;
    inner.cancel = progress.cancel;
    inner.report = [&](std::string_view stage, double done) {
      report(stage, kReadingShare + (1.0 - kReadingShare) * done);
    };
    DeformationOutcome outcome;
    outcome.kind = DeformationOutcome::Kind::Done;
    outcome.result = std::make_shared<const deformation::DeformationResult>(
        deformation::analyseDeformation(std::move(epochs), request.options, inner));
    return outcome;
  } catch (const analysis::AnalysisCancelled&) {
    return {};
  } catch (const std::bad_alloc&) {
    return failed(QStringLiteral("記憶體不足，無法分析這麼多期的網形"));
  } catch (const std::exception& error) {
    return failed(inChinese(error.what()));
  }
}

}  // namespace korvane::shell
